// Presentation with OpenGL: the frame as a texture on one quad, the window size
// kept to the picture, the redisplay timer and the reshape callback.
#include "platform/window/window_display.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "platform/runtime/flags.h"
#include "platform/screen/display_policy.h"
#include "platform/screen/frame_builder.h"
#include "platform/screen/window_settings.h"
#include "platform/screen/window_size_rule.h"
#include "platform/window/full_screen.h"
#include "platform/window/key_stream_order.h"
#include "platform/window/key_watcher.h"
#include "platform/window/window_facts.h"
#include "platform/window/window_hints.h"
#include "platform/window/x11_errors.h"

namespace platform {

namespace {

constexpr int display_rate = 60;
constexpr int timer_sleep_ms = 4;

// Window state; the window thread alone touches it.
Display* x_display = nullptr;
Window x_window = 0;
display_geometry geometry;
// The window needs its picture again: set by a reshape, and by the event
// filter as freeglut reads an exposure; cleared by the next drawing.
bool force_redraw = false;
bool in_display = false;
full_screen_switch full_screen;
window_size announced_shape{0, 0};
std::uint64_t passes_drawn = 0;
std::uint64_t sequence_uploaded = 0;
GLuint texture = 0;
window_size texture_size{};

int redisplay_interval_ms() { return std::max(1, 1000 / display_rate - timer_sleep_ms); }

// Hands the frame's pixels to GL; only called for a frame not uploaded yet.
void upload(const frame& f) {
    if (texture == 0) glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // 0xAARRGGBB words are B, G, R, A bytes in memory on this machine.
    const window_size size{f.width, f.height};
    if (size != texture_size) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, f.width, f.height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                     f.pixels.data());
        texture_size = size;
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, f.width, f.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                        f.pixels.data());
    }
    sequence_uploaded = f.sequence;
}

void draw(const display_rect& rect, window_size window) {
    glViewport(0, 0, window.width, window.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // y runs down from the window's top edge, as in the picture.
    glOrtho(0.0, window.width, window.height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const GLint filter = rect.filter == texture_filter::linear ? GL_LINEAR : GL_NEAREST;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    const auto x0 = static_cast<GLfloat>(rect.x), y0 = static_cast<GLfloat>(rect.y);
    const auto x1 = static_cast<GLfloat>(rect.x + rect.width), y1 = static_cast<GLfloat>(rect.y + rect.height);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x0, y0);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(x1, y0);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(x1, y1);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(x0, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void keep_window_size(window_size frame_size, picture_scaling scaling) {
    const std::optional<window_size> wanted =
        window_size_request(geometry, frame_size, scaling, window_config().snap_back.load() != 0,
                            [] { return read_window_facts(x_display, x_window, full_screen.own_display_active()); });
    if (wanted) {
        glutReshapeWindow(wanted->width, wanted->height);
        glutPostRedisplay();
    }
    // The manager keeps to the shape while the user drags; an unscaled
    // picture has no shape to keep.
    const window_size shape = scaling == picture_scaling::none ? window_size{0, 0} : frame_size;
    if (shape != announced_shape) {
        announce_picture_shape(x_display, x_window, shape);
        announced_shape = shape;
    }
}

// repaint: the window needs its picture again (a reshape, an exposure).
void present_frame(const frame& f, bool repaint) {
    const window_size frame_size{f.width, f.height};
    const picture_scaling scaling = window_config().scaling_mode.load();
    keep_window_size(frame_size, scaling);
    // While paused no newer frame is shown: the texture keeps the picture
    // last presented, and that picture is painted again whenever the window
    // needs it, so the held screen stays what the user saw. Nothing is drawn
    // that is not presented: the back buffer takes up a new window size only
    // after a swap.
    const bool paused = flags().paused.load() != 0;
    if (paused && !repaint) return;
    if (!paused && f.sequence != sequence_uploaded) upload(f);
    draw(compute_display_rect(geometry.current, frame_size, scaling), geometry.current);
    glutSwapBuffers();
}

void apply_new_title() {
    const std::unique_ptr<std::string> title = take_new_window_title();
    if (title) glutSetWindowTitle(title->c_str());
}

} // namespace

void display_frame() {
    // A window destroyed by another client is not drawn into any more; the
    // close request that its destruction raised ends the process.
    if (in_display || main_window_gone()) return;
    in_display = true;
    // The pass count first: the builder publishes a frame before it counts
    // its pass, so the newest frame taken after the count is at least the
    // frame of that pass. Taken the other way round, a frame published
    // between the two reads would be counted as drawn and shown a pass late.
    const std::uint64_t passes = frames().building_passes();
    const frame* f = frames().newest_frame();
    const bool repaint = force_redraw;
    if (f != nullptr && (passes != passes_drawn || repaint)) {
        force_redraw = false;
        passes_drawn = passes;
        present_frame(*f, repaint);
    }
    in_display = false;
}

void redisplay_timer(int) {
    // Nothing is asked of a window that another client has destroyed.
    const bool window_standing = !main_window_gone();
    if (window_standing) apply_new_title();
    window_key_watcher().drain();
    // A Pause or Break that no key has followed.
    window_key_order().hand_on_all();
    if (window_standing) glutPostRedisplay();
    std::this_thread::sleep_for(std::chrono::milliseconds(timer_sleep_ms));
    glutTimerFunc(static_cast<unsigned>(redisplay_interval_ms()), redisplay_timer, 0);
}

void on_window_reshape(int width, int height) {
    record_reshape(geometry, {width, height});
    force_redraw = true;
}

void start_presentation(Display* display, Window window) {
    x_display = display;
    x_window = window;
}

void note_window_exposed() { force_redraw = true; }

void toggle_full_screen() {
    if (main_window_gone()) return;
    // The sizes on the way in and out are the switch's, not the user's.
    note_full_screen_switch(geometry);
    full_screen.toggle(x_display, x_window);
}

} // namespace platform

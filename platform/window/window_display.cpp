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
#include "platform/window/key_stream_order.h"
#include "platform/window/key_watcher.h"
#include "platform/window/x11_errors.h"

namespace platform {

namespace {

constexpr int display_rate = 60;
constexpr int timer_sleep_ms = 4;

// Window state; the window thread alone touches it.
display_geometry geometry;
bool force_redraw = false;
bool in_display = false;
bool full_screen = false;
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

void present_frame(const frame& f) {
    const window_size frame_size{f.width, f.height};
    const picture_scaling scaling = window_config().scaling_mode.load();
    if (!full_screen) {
        const std::optional<window_size> wanted =
            window_size_request(geometry, frame_size, scaling, window_config().snap_back.load() != 0);
        if (wanted) {
            glutReshapeWindow(wanted->width, wanted->height);
            glutPostRedisplay();
        }
    }
    const display_rect rect = compute_display_rect(geometry.current, frame_size, scaling);
    if (f.sequence != sequence_uploaded) upload(f);
    draw(rect, geometry.current);
    // While paused the window keeps the picture last presented.
    if (flags().paused.load() == 0) glutSwapBuffers();
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
    if (f != nullptr && (passes != passes_drawn || force_redraw)) {
        force_redraw = false;
        passes_drawn = passes;
        present_frame(*f);
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

void toggle_full_screen() {
    glutFullScreenToggle();
    full_screen = !full_screen;
}

} // namespace platform

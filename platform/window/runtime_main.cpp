// Start-up: the display check, the platform threads, the window and its callbacks.
#include "platform/window/runtime_main.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>

#include "platform/keys/keyboard.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/standard_streams.h"
#include "platform/runtime/working_directory.h"
#include "platform/screen/display_policy.h"
#include "platform/screen/window_settings.h"
#include "platform/threads/platform_threads.h"
#include "platform/window/key_watcher.h"
#include "platform/window/message_box.h"
#include "platform/window/window_display.h"
#include "platform/window/window_events.h"
#include "platform/window/window_keys.h"
#include "platform/window/x11_errors.h"
#include "platform/window/x11_event_filter.h"

namespace platform {

namespace {

void ignore_mouse_button(int, int, int, int) {}
void ignore_mouse_motion(int, int) {}
void ignore_mouse_wheel(int, int, int, int) {}

// The close box, should one ever reach freeglut past the event filter: it
// then destroys the window, and the close request still ends the process.
void on_window_closed() { report_window_event(window_event::close_box); }

std::string initial_title() {
    const std::unique_ptr<std::string> title = take_new_window_title();
    return title ? *title : std::string("Untitled");
}

void load_gl_extensions() {
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    if (result != GLEW_OK) {
        hooks().message_box("Alert", reinterpret_cast<const char*>(glewGetErrorString(result)), box_buttons::ok);
    }
}

void register_callbacks() {
    glutDisplayFunc(display_frame);
    glutTimerFunc(first_redisplay_ms, redisplay_timer, 0);
    glutKeyboardFunc(translate_key_char);
    glutKeyboardUpFunc(translate_key_char_up);
    glutSpecialFunc(translate_special_key);
    glutSpecialUpFunc(translate_special_key_up);
    glutMouseFunc(ignore_mouse_button);
    glutMotionFunc(ignore_mouse_motion);
    glutPassiveMotionFunc(ignore_mouse_motion);
    glutReshapeFunc(on_window_reshape);
    glutMouseWheelFunc(ignore_mouse_wheel);
    glutCloseFunc(on_window_closed);
}

[[noreturn]] void run_window(Display* watcher_display) {
    int argc = 1;
    char program_name[] = "wave_winding";
    char* argv[] = {program_name, nullptr};
    glutInitErrorFunc(on_toolkit_error);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    if (glutGet(GLUT_DISPLAY_MODE_POSSIBLE) == 0) {
        end_with_failure("the X display offers no double-buffered RGBA mode with a depth buffer");
    }
    glutInitWindowSize(initial_window_size.width, initial_window_size.height);
    // Without a window manager the window would sit at (-1, -1), its edge
    // off the screen; the top-left corner keeps every size on it.
    glutInitWindowPosition(0, 0);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutCreateWindow(initial_title().c_str());

    // freeglut draws into the X window itself: the current GLX drawable.
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    watch_main_window(window);
    start_presentation(display, window);
    install_event_filter(display, window);
    window_key_watcher().watch(watcher_display, window);
    set_message_box_owner(window);
    set_full_screen_switch(toggle_full_screen);

    load_gl_extensions();
    register_callbacks();
    glutMainLoop();
    // freeglut leaves its loop only when it has lost the window; the frame
    // thread ends the process on the close request.
    for (;;) hooks().park();
}

} // namespace

int runtime_main(void (*program_entry)()) {
    // First of all, so that nothing opened below takes a standard number.
    open_closed_standard_streams();
    // The program reads no files, but it runs where its executable lies,
    // whatever folder it was started from; a folder that cannot be entered
    // leaves it where it is.
    enter_executable_folder();
    XInitThreads();
    install_x11_error_handlers();
    // A display connection that breaks must end the process through the
    // handler above, with its message, not silently by SIGPIPE on a write.
    std::signal(SIGPIPE, SIG_IGN);
    // glutInit ends the process itself when it cannot open the display; look
    // first, so that the user learns why. The connection stays open (it
    // becomes the key watcher's): closing the only client would make some
    // servers reset just as freeglut connects.
    Display* watcher_display = XOpenDisplay(nullptr);
    if (watcher_display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        const std::string which = name != nullptr ? "\"" + std::string(name) + "\"" : "(DISPLAY is not set)";
        end_with_failure("cannot open the X display " + which + "; the program needs a graphical display");
    }
    prepare_runtime();
    hooks().message_box = show_message_box;
    platform_threads threads;
    try {
        threads = start_platform_threads(program_entry);
    } catch (const std::system_error& error) {
        end_with_failure(std::string("cannot start a thread: ") + error.what());
    }
    threads.program.detach();
    threads.timer.detach();
    threads.frame.detach();
    run_window(watcher_display);
}

} // namespace platform

// The full-screen switch: the manager's full-screen state, or the window laid
// over the screen where no manager offers one.
#include "platform/window/full_screen.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/window/x11_properties.h"
#include "platform/window/x11_errors.h"

namespace platform {

namespace {

constexpr long net_wm_state_remove = 0;
constexpr long net_wm_state_add = 1;
constexpr long source_application = 1;

// The window that the manager names as its own in _NET_SUPPORTING_WM_CHECK,
// if it still exists: a manager that has gone leaves the property behind.
bool manager_running(Display* display, Window root) {
    const std::optional<std::vector<long>> check =
        read_property_items(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    const Window manager_window = check && check->size() == 1 ? static_cast<Window>((*check)[0]) : 0;
    if (manager_window == 0) return false;
    // A manager that has ended leaves the property behind, naming a window
    // that no longer exists.
    XWindowAttributes attributes{};
    return !raises_x_error(display, [&] { XGetWindowAttributes(display, manager_window, &attributes); });
}

// Whether the running window manager offers _NET_WM_STATE_FULLSCREEN.
bool manager_offers_full_screen(Display* display) {
    const Window root = DefaultRootWindow(display);
    if (!manager_running(display, root)) return false;
    const Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", True);
    const std::optional<std::vector<long>> supported = read_property_items(display, root, "_NET_SUPPORTED", XA_ATOM);
    if (fullscreen == None || !supported) return false;
    return std::find(supported->begin(), supported->end(), static_cast<long>(fullscreen)) != supported->end();
}

} // namespace

void full_screen_switch::toggle(Display* display, Window window) {
    wanted_ = !wanted_;
    if (wanted_) by_manager_ = manager_offers_full_screen(display);
    if (by_manager_) ask_manager(display, window, wanted_);
    else if (wanted_) cover_screen(display, window);
    else restore_window(display, window);
    XFlush(display);
}

void full_screen_switch::ask_manager(Display* display, Window window, bool full) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = full ? net_wm_state_add : net_wm_state_remove;
    message.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    message.xclient.data.l[2] = 0;
    message.xclient.data.l[3] = source_application;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &message);
}

void full_screen_switch::cover_screen(Display* display, Window window) {
    // The place and size the window has now at the server: every request of
    // this connection before this one has been carried out by then.
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned border = 0, depth = 0;
    XGetGeometry(display, window, &root, &x, &y, &saved_width_, &saved_height_, &border, &depth);
    XTranslateCoordinates(display, window, root, 0, 0, &saved_x_, &saved_y_, &child);
    unsigned screen_width = 0, screen_height = 0;
    XGetGeometry(display, root, &root, &x, &y, &screen_width, &screen_height, &border, &depth);
    XMoveResizeWindow(display, window, 0, 0, screen_width, screen_height);
    XRaiseWindow(display, window);
}

void full_screen_switch::restore_window(Display* display, Window window) {
    if (saved_width_ == 0 || saved_height_ == 0) return;
    XMoveResizeWindow(display, window, saved_x_, saved_y_, saved_width_, saved_height_);
}

} // namespace platform

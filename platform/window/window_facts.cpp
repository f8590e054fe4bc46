// Reads the window's size, its manager's state and the screen's usable area.
#include "platform/window/window_facts.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/window/x11_properties.h"

namespace platform {

namespace {

window_size client_size(Display* display, Window window) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth)) return {};
    return {static_cast<int>(width), static_cast<int>(height)};
}

bool held_by_manager(Display* display, Window window) {
    const std::optional<std::vector<long>> state = read_property_items(display, window, "_NET_WM_STATE", XA_ATOM);
    if (!state) return false;
    const std::vector<Atom> atoms(state->begin(), state->end());
    return state_holds_size(atoms, XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False),
                            XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False),
                            XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
}

// The work area of the current desktop, where the manager publishes one;
// else the whole root window.
window_size work_area(Display* display, Window root) {
    const window_size whole = client_size(display, root);
    const std::optional<std::vector<long>> areas = read_property_items(display, root, "_NET_WORKAREA", XA_CARDINAL);
    if (!areas || areas->size() < 4) return whole;
    std::size_t desktop = 0;
    const std::optional<std::vector<long>> current = read_property_items(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    if (current && !current->empty() && (*current)[0] >= 0) desktop = static_cast<std::size_t>((*current)[0]);
    if (4 * desktop + 4 > areas->size()) desktop = 0;
    const window_size area{static_cast<int>((*areas)[4 * desktop + 2]), static_cast<int>((*areas)[4 * desktop + 3])};
    if (area.width <= 0 || area.height <= 0) return whole;
    return {std::min(area.width, whole.width), std::min(area.height, whole.height)};
}

frame_extents frame_of(Display* display, Window window) {
    const std::optional<std::vector<long>> extents =
        read_property_items(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (!extents || extents->size() < 4) return {};
    return {(*extents)[0], (*extents)[1], (*extents)[2], (*extents)[3]};
}

} // namespace

bool state_holds_size(std::span<const Atom> state, Atom maximized_vert, Atom maximized_horz, Atom fullscreen) {
    return std::any_of(state.begin(), state.end(), [&](Atom atom) {
        return atom != None && (atom == maximized_vert || atom == maximized_horz || atom == fullscreen);
    });
}

window_size usable_client_area(window_size area, frame_extents frame) {
    const auto less = [](int side, long first, long second) {
        return static_cast<int>(std::max(0L, side - std::max(0L, first) - std::max(0L, second)));
    };
    return {less(area.width, frame.left, frame.right), less(area.height, frame.top, frame.bottom)};
}

window_facts read_window_facts(Display* display, Window window, bool own_full_screen) {
    window_facts facts;
    facts.actual = client_size(display, window);
    facts.held = own_full_screen || held_by_manager(display, window);
    facts.screen = usable_client_area(work_area(display, DefaultRootWindow(display)), frame_of(display, window));
    return facts;
}

} // namespace platform

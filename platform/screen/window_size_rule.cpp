// The window-size rule. Aspect ratios are singles; the products and quotients
// that give a new side are taken in long double with the aspect as the single
// value and truncated toward zero, so following a width of 800 for a
// 640 x 480 picture gives a height of 599.
#include "platform/screen/window_size_rule.h"

#include <cstdlib>

namespace platform {

namespace {

float aspect_of(window_size size) {
    return static_cast<float>(static_cast<long double>(size.width) / static_cast<long double>(size.height));
}

int trunc_to_int(long double value) { return static_cast<int>(value); }

bool has_area(window_size size) { return size.width > 0 && size.height > 0; }

window_size follow_width(window_size window, float aspect) {
    return {window.width, trunc_to_int(static_cast<long double>(window.width) / static_cast<long double>(aspect))};
}

window_size follow_height(window_size window, float aspect) {
    return {trunc_to_int(static_cast<long double>(window.height) * static_cast<long double>(aspect)), window.height};
}

// The window brought back to the picture's shape, following the dimension
// that the user changed more.
window_size corrected_size(const display_geometry& g, float aspect) {
    const window_size w = g.current;
    const window_size p = g.previous;
    if (w.height == p.height) return follow_width(w, aspect);
    if (w.width == p.width) return follow_height(w, aspect);
    if (std::abs(w.height - p.height) < std::abs(w.width - p.width)) return follow_width(w, aspect);
    return follow_height(w, aspect);
}

// Whether the reshape to look at is a user's resize, one that the rule may
// correct. Looks at it once.
bool take_user_resize(display_geometry& g) {
    if (!g.reshape_pending) return false;
    g.reshape_pending = false;
    if (g.restoring) {
        // Back from maximized or full screen: the size the window comes back to.
        g.restoring = false;
        return false;
    }
    return true;
}

} // namespace

void record_reshape(display_geometry& geometry, window_size new_size) {
    geometry.previous = geometry.current;
    geometry.current = new_size;
    geometry.reshape_pending = true;
}

void note_full_screen_switch(display_geometry& geometry) { geometry.restoring = true; }

bool has_picture_shape(window_size size, float aspect) {
    return follow_width(size, aspect) == size || follow_height(size, aspect) == size;
}

window_size fit_to_screen(window_size size, window_size screen, float aspect) {
    if (!has_area(screen) || (size.width <= screen.width && size.height <= screen.height)) return size;
    const window_size full_height = follow_height(screen, aspect);
    if (full_height.width <= screen.width) return full_height;
    return follow_width(screen, aspect);
}

std::optional<window_size> window_size_request(display_geometry& g, window_size frame, picture_scaling scaling,
                                               bool snap_back, const window_facts_source& facts_source) {
    if (!has_area(frame) || !has_area(g.current)) return std::nullopt;
    const bool changed = frame != g.last_frame;
    if (!changed && !g.reshape_pending) return std::nullopt;

    const window_facts facts = facts_source();
    if (facts.held) {
        // The rule rests, as in the platform's own full-screen display; a new
        // picture size stays to be followed once the window is free again.
        g.reshape_pending = false;
        g.restoring = true;
        return std::nullopt;
    }
    if (facts.actual != g.current) {
        // The window has a newer size already; its reshape is on its way.
        g.reshape_pending = false;
        return std::nullopt;
    }
    const bool user_resize = take_user_resize(g);
    g.last_frame = frame;

    const float aspect = aspect_of(frame);
    const float window_aspect = aspect_of(g.current);
    if (user_resize && scaling != picture_scaling::none && window_aspect != g.last_requested_aspect &&
        window_aspect != aspect && !has_picture_shape(g.current, aspect)) {
        const window_size wanted = fit_to_screen(corrected_size(g, aspect), facts.screen, aspect);
        if (!has_area(wanted) || wanted == g.current) return std::nullopt;
        g.last_requested_aspect = aspect_of(wanted);
        return wanted;
    }
    if (g.current != frame && ((snap_back && user_resize) || changed)) return frame;
    return std::nullopt;
}

} // namespace platform

// The window-size logic. Aspect ratios are singles; the products and
// quotients that give a new side are taken in long double with the aspect as
// the single value and truncated toward zero, so following a width of 800 for
// a 640 x 480 picture gives a height of 599.
#include "platform/screen/display_policy.h"

#include <cstdlib>

namespace platform {

namespace {

float aspect_of(window_size size) {
    return static_cast<float>(static_cast<long double>(size.width) / static_cast<long double>(size.height));
}

int trunc_to_int(long double value) { return static_cast<int>(value); }

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

} // namespace

void record_reshape(display_geometry& geometry, window_size new_size) {
    geometry.previous = geometry.current;
    geometry.current = new_size;
}

std::optional<window_size> window_size_request(display_geometry& g, window_size frame, picture_scaling scaling,
                                               bool snap_back) {
    if (frame.width <= 0 || frame.height <= 0 || g.current.width <= 0 || g.current.height <= 0) return std::nullopt;
    const bool changed = frame != g.last_frame;
    g.last_frame = frame;
    const float aspect = aspect_of(frame);
    const float window_aspect = aspect_of(g.current);
    if (scaling != picture_scaling::none && window_aspect != g.last_requested_aspect && window_aspect != aspect) {
        const window_size wanted = corrected_size(g, aspect);
        if (wanted.width > 0 && wanted.height > 0) {
            g.last_requested_aspect = aspect_of(wanted);
            return wanted;
        }
        return std::nullopt;
    }
    if (g.current != frame && (snap_back || changed)) return frame;
    return std::nullopt;
}

display_rect compute_display_rect(window_size window, window_size frame, picture_scaling scaling) {
    if (window == frame || scaling == picture_scaling::none) {
        return {0, 0, frame.width, frame.height, texture_filter::nearest};
    }
    const texture_filter filter =
        scaling == picture_scaling::stretch ? texture_filter::nearest : texture_filter::linear;
    return {0, 0, window.width, window.height, filter};
}

} // namespace platform

// The window-size logic of the display side: how the window follows a new
// picture size, how it is brought back to the picture's shape after the user
// resizes it, and where in the window the picture is drawn. Pure: the window
// code feeds it sizes and acts on the answers.
#pragma once

#include <optional>

namespace platform {

struct window_size {
    int width = 0;
    int height = 0;
    bool operator==(const window_size&) const = default;
};

// How the picture is fitted to a window of another size. The routine's
// number is kept as it is; a number outside the three scales smoothly.
enum class picture_scaling : int { none = 0, stretch = 1, smooth = 2 };

inline constexpr window_size initial_window_size{640, 400};
inline constexpr float initial_requested_aspect = 1.6f;

// What the display side knows about the window between two drawings.
struct display_geometry {
    window_size current = initial_window_size;  // from the last reshape
    window_size previous = initial_window_size; // before the last reshape
    window_size last_frame = initial_window_size;
    float last_requested_aspect = initial_requested_aspect;
};

// A reshape event: the current size becomes the previous one.
void record_reshape(display_geometry& geometry, window_size new_size);

// The client size to ask the window for before drawing a frame of this size,
// or nothing. Updates the last frame size and the last requested aspect.
std::optional<window_size> window_size_request(display_geometry& geometry, window_size frame, picture_scaling scaling,
                                               bool snap_back);

enum class texture_filter { nearest, linear };

struct display_rect {
    int x = 0; // from the window's left edge
    int y = 0; // from the window's top edge
    int width = 0;
    int height = 0;
    texture_filter filter = texture_filter::nearest;
    bool operator==(const display_rect&) const = default;
};

// Where the frame goes in a window of the given size: 1:1 when the sizes
// agree; otherwise at its own size from the top-left corner (none), or over
// the whole window taking the nearest pixel (stretch) or filtered (smooth).
display_rect compute_display_rect(window_size window, window_size frame, picture_scaling scaling);

} // namespace platform

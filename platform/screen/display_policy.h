// Sizes and shapes shared by the display side: the window's client size, how
// the picture is fitted to a window of another size and where in the window
// it is drawn. Pure: the window code feeds it sizes and acts on the answers.
// The window-size rule itself is in window_size_rule.h.
#pragma once

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

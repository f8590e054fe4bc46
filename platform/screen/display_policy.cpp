// Where the picture is drawn in the window.
#include "platform/screen/display_policy.h"

namespace platform {

display_rect compute_display_rect(window_size window, window_size frame, picture_scaling scaling) {
    if (window == frame || scaling == picture_scaling::none) {
        return {0, 0, frame.width, frame.height, texture_filter::nearest};
    }
    const texture_filter filter =
        scaling == picture_scaling::stretch ? texture_filter::nearest : texture_filter::linear;
    return {0, 0, window.width, window.height, filter};
}

} // namespace platform

// Pause and Break held until the keys typed before them have been handed on.
#include "platform/window/key_stream_order.h"

namespace platform {

namespace {

constexpr std::uint32_t place_mask = 0x7FFFFFFFu;
constexpr std::uint32_t half_range = 0x40000000u;

} // namespace

bool comes_before(stream_place a, stream_place b) {
    const std::uint32_t distance = (static_cast<std::uint32_t>(b) - static_cast<std::uint32_t>(a)) & place_mask;
    return distance != 0 && distance < half_range;
}

stream_place key_stream_order::next_place() {
    const std::lock_guard lock(mutex_);
    const auto place = static_cast<stream_place>(next_ & place_mask);
    next_ = (next_ + 1) & place_mask;
    return place;
}

void key_stream_order::hold(window_event event, bool key_down, stream_place place) {
    const std::lock_guard lock(mutex_);
    held_.push_back({event, key_down, place});
}

std::optional<key_stream_order::held_event> key_stream_order::take_oldest(std::optional<stream_place> place) {
    const std::lock_guard lock(mutex_);
    if (held_.empty() || (place && !comes_before(held_.front().place, *place))) return std::nullopt;
    const held_event taken = held_.front();
    held_.pop_front();
    return taken;
}

// The lock is not held while an event is handed on: the keyboard's handling
// takes no part in the stream's order.
void key_stream_order::hand_on_before(stream_place place) {
    while (const std::optional<held_event> taken = take_oldest(place))
        report_window_event(taken->event, taken->key_down);
}

void key_stream_order::hand_on_all() {
    while (const std::optional<held_event> taken = take_oldest(std::nullopt))
        report_window_event(taken->event, taken->key_down);
}

key_stream_order& window_key_order() {
    static key_stream_order order;
    return order;
}

} // namespace platform

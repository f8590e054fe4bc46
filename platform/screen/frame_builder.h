// Frames: the page turned into opaque 32-bit colours through its palette, on
// the frame thread, and handed to the window thread without a lock.
//
// Three slots take part: one the window draws, one complete and waiting, one
// being built. The builder swaps its finished slot with the waiting one, the
// window swaps its slot with the waiting one when a newer frame waits; so
// the builder always has room, the window always gets the newest complete
// frame, and neither ever touches the slot the other holds.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/screen/page.h"

namespace platform {

struct frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, row by row from the top
    std::uint64_t sequence = 0;        // 1 for the first frame built, then 2, 3, ...; 0: none yet
};

class frame_builder {
public:
    frame_builder();
    frame_builder(const frame_builder&) = delete;
    frame_builder& operator=(const frame_builder&) = delete;

    // One building pass over the page (frame thread). Makes a new frame only
    // when the pixels or the first 16 palette entries differ from those of
    // the last frame built, or when `generation` (the screen-mode counter)
    // differs from the one seen then. True when a new frame was made.
    bool build_frame(const drawing_page& page, std::uint64_t generation);

    // A pass under the screen-mode hand-over: nothing is built while a mode
    // change is under way. True when the pass ran.
    bool run_building_pass();

    // Building passes run so far, frames made or not.
    std::uint64_t building_passes() const { return passes_.load(); }

    // Window thread: the newest complete frame, or nullptr when none has been
    // built yet. The frame stays untouched by the builder until the next call.
    const frame* newest_frame();

private:
    static constexpr int slot_mask = 3;
    static constexpr int fresh_bit = 4;

    bool page_unchanged(const drawing_page& page, std::uint64_t generation) const;
    void keep_copy(const drawing_page& page, std::uint64_t generation);
    void convert(const drawing_page& page, frame& out) const;

    std::array<frame, 3> slots_;
    int building_ = 0;            // frame thread only
    int showing_ = 1;             // window thread only
    std::atomic<int> waiting_{2}; // slot index, with fresh_bit while the window has not taken it
    std::atomic<std::uint64_t> passes_{0};
    std::uint64_t next_sequence_ = 1;

    // Change detection: the page as it was at the last frame built.
    bool have_copy_ = false;
    std::uint64_t kept_generation_ = 0;
    std::vector<std::uint8_t> kept_pixels_;
    std::array<std::uint32_t, 16> kept_palette_{};
};

// The builder that the frame thread fills and the window shows.
frame_builder& frames();

} // namespace platform

// Frame building with change detection and the lock-free three-slot hand-over.
#include "platform/screen/frame_builder.h"

#include <algorithm>
#include <cstring>

#include "platform/screen/screen_mode.h"
#include "platform/screen/unsynchronised_read.h"

namespace platform {

frame_builder::frame_builder() = default;

bool frame_builder::page_unchanged(const drawing_page& page, std::uint64_t generation) const {
    if (!have_copy_ || generation != kept_generation_) return false;
    if (page.pixels.size() != kept_pixels_.size()) return false;
    const unsynchronised_read_scope drawing_goes_on;
    if (std::memcmp(page.pixels.data(), kept_pixels_.data(), kept_pixels_.size()) != 0) return false;
    return std::equal(kept_palette_.begin(), kept_palette_.end(), page.page_palette.begin());
}

void frame_builder::keep_copy(const drawing_page& page, std::uint64_t generation) {
    const unsynchronised_read_scope drawing_goes_on;
    kept_pixels_.assign(page.pixels.begin(), page.pixels.end());
    std::copy_n(page.page_palette.begin(), kept_palette_.size(), kept_palette_.begin());
    kept_generation_ = generation;
    have_copy_ = true;
}

void frame_builder::convert(const drawing_page& page, frame& out) const {
    // Converted from the kept copy: the program thread may be drawing into
    // the page meanwhile, and the frame must be the picture that was compared.
    out.width = page.width;
    out.height = page.height;
    out.pixels.resize(kept_pixels_.size());
    for (std::size_t i = 0; i < kept_pixels_.size(); ++i) {
        const std::uint8_t p = kept_pixels_[i];
        out.pixels[i] = p < kept_palette_.size() ? kept_palette_[p] : page.page_palette[p];
    }
}

bool frame_builder::build_frame(const drawing_page& page, std::uint64_t generation) {
    if (page_unchanged(page, generation)) {
        passes_.fetch_add(1);
        return false;
    }
    keep_copy(page, generation);
    frame& out = slots_[building_];
    convert(page, out);
    out.sequence = next_sequence_++;
    // Publish: the finished slot becomes the waiting one; the slot that was
    // waiting (never the one the window holds) is the next to build into.
    const int previous = waiting_.exchange(building_ | fresh_bit);
    building_ = previous & slot_mask;
    // Counted after the publication, so a window that sees the pass also
    // finds its frame.
    passes_.fetch_add(1);
    return true;
}

bool frame_builder::run_building_pass() {
    if (!try_begin_building_pass()) return false;
    build_frame(active_page(), mode_generation());
    end_building_pass();
    return true;
}

const frame* frame_builder::newest_frame() {
    if ((waiting_.load() & fresh_bit) != 0) {
        const int previous = waiting_.exchange(showing_);
        showing_ = previous & slot_mask;
    }
    const frame& shown = slots_[showing_];
    return shown.sequence == 0 ? nullptr : &shown;
}

frame_builder& frames() {
    static frame_builder builder;
    return builder;
}

} // namespace platform

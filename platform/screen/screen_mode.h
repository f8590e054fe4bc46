// The screen-mode change and its hand-over with the frame builder.
//
// A mode change asks; the builder, which announces each pass before it
// looks, grants between two passes: once the change has seen the builder
// outside a pass, no new pass starts until the new page is in place. So no
// frame is ever built from a page that is being released or filled.
#pragma once

#include <cstdint>

namespace platform {

// Screen-mode change; only mode 12 is known here, any other raises error 5
// and changes nothing. Waits for the frame builder to be between two passes
// while it swaps the page in.
void set_screen_mode(int mode);

// Replaces the active page by a fresh initial text page (start-up, and before
// each headless run).
void reset_active_page();

// A counter that changes with every screen-mode change: the frame builder
// resets its change detection when it sees a new value.
std::uint64_t mode_generation();

// The builder's side: try_begin_building_pass before a pass (false while a
// mode change is under way), end_building_pass after it, and whether the
// builder runs at all (before it does, a change waits for nothing).
bool try_begin_building_pass();
void end_building_pass();
void set_frame_builder_running(bool running);

} // namespace platform

// Text output on the drawing page: the text cursor, printing with wrap and
// scroll, print zones and the fit check.
//
// Each operation has a form that works on a given page (the line entry prints
// onto its scratch copy) and a form for the active page.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/screen/page.h"

namespace platform {

inline constexpr int print_zone_width = 14;

void locate_cursor(drawing_page& page, std::int32_t row, std::int32_t column);
void set_color(drawing_page& page, std::uint32_t foreground);
void print_string(drawing_page& page, std::string_view text, bool newline);
void newline_if_no_fit(drawing_page& page, std::string_view text);
void tab_to_next_zone(drawing_page& page);
void set_text_window(drawing_page& page, std::int32_t top, std::int32_t bottom);

inline void locate_cursor(std::int32_t row, std::int32_t column) { locate_cursor(active_page(), row, column); }
inline void set_color(std::uint32_t foreground) { set_color(active_page(), foreground); }
inline void print_string(std::string_view text, bool newline) { print_string(active_page(), text, newline); }
inline void newline_if_no_fit(std::string_view text) { newline_if_no_fit(active_page(), text); }
inline void tab_to_next_zone() { tab_to_next_zone(active_page()); }
inline void set_text_window(std::int32_t top, std::int32_t bottom) { set_text_window(active_page(), top, bottom); }

} // namespace platform

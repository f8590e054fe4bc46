// The routine, statement by statement. Each statement carries its source line
// number, and the event check that follows it (a single read of
// event_pending when nothing is pending) names that number.
//
// Every expression is evaluated in extended precision (long double, a 64-bit
// mantissa) in the written order, and rounded to a Single only where it is
// stored in a variable or passed as a Single argument.
#include "winding/winding_program.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/entry/closing_prompt.h"
#include "platform/entry/line_entry.h"
#include "platform/keys/keyboard.h"
#include "platform/keys/read_key.h"
#include "platform/runtime/event_check.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/float_exception.h"
#include "platform/runtime/fpu_control.h"
#include "platform/runtime/parking.h"
#include "platform/runtime/string_comparison.h"
#include "platform/runtime/temp_strings.h"
#include "platform/screen/integer_arguments.h"
#include "platform/screen/line_drawing.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/screen/viewport.h"
#include "platform/screen/window_settings.h"
#include "platform/text/number_text.h"
#include "platform/text/text_output.h"
#include "winding/counted_loop.h"
#include "winding/loop_termination.h"
#include "winding/winding_variables.h"

namespace winding {

using platform::end_of_statement;
using platform::integer_argument;
using ext = long double;

namespace {

constexpr std::string_view window_caption = "DC MOTOR WINDINGS: TWO LAYER, MULTIPLEX WAVE WINDING";
constexpr std::string_view credit_line = "K. Varbo (1993), R. Velisk (2017), PLM Orvik, MALDOR";
constexpr std::string_view web_line = " windings-tool.example";

// The mark of the temporary texts, taken at the start of the routine.
std::size_t text_mark = 0;

// A variable's Single widened to the extended type in which expressions are
// evaluated, and an expression's value rounded to a Single where it is stored
// or passed.
ext widen(float value) { return static_cast<ext>(value); }
float to_single(ext value) { return static_cast<float>(value); }

// The whole part: floor of the value rounded to a double.
float whole_part(ext value) { return static_cast<float>(std::floor(static_cast<double>(value))); }

// Twice the whole part of half the value: equal to the value exactly when it
// is an even whole number (an infinity gives itself back). Every step is exact.
float twice_whole_half(float value) {
    const double half = static_cast<double>(widen(value) / 2);
    return to_single(static_cast<ext>(std::floor(half)) + static_cast<ext>(std::floor(half)));
}

void release_texts() { platform::release_temp_strings(text_mark); }

// A print statement's piece: the fit check, then the piece with no newline.
void print_piece(std::string_view piece) {
    platform::newline_if_no_fit(piece);
    platform::print_string(piece, false);
}

// The number text of a Single followed by one blank.
std::string_view number_piece(float value) {
    return platform::make_temp_string(platform::single_to_string(value) + " ");
}

void end_line() { platform::print_string(platform::empty_text, true); }

void line(ext x1, ext y1, ext x2, ext y2) {
    platform::draw_line(to_single(x1), to_single(y1), to_single(x2), to_single(y2));
}

// A statement with an entry: the prompt and the entry of one Single. When the
// entry returned because a stop was requested (the window was closed while
// it waited), the routine parks at once: the rest of the statement, the
// release of its texts and its check do not run, and no later statement does.
void entry_statement(int statement, std::string_view prompt, float& target) {
    platform::print_string(prompt, false);
    platform::input_targets[0] = &target;
    platform::input_types[0] = platform::single_type_word;
    platform::input_values(1, true);
    if (platform::flags().stop_requested.load() != 0) platform::stop_and_wait();
    release_texts();
    end_of_statement(statement);
}

// Statements 2 to 12: the screen and the window.
void set_up(winding_variables& v) {
    v.origin_x = 86;
    end_of_statement(2);
    v.origin_y = 70;
    end_of_statement(3);
    platform::set_screen_mode(12);
    end_of_statement(5);
    platform::set_resize_policy(0, 2);
    end_of_statement(9);
    platform::set_window_title(platform::make_temp_string(std::string(window_caption)));
    release_texts();
    end_of_statement(12);
}

// Statements 15 to 21: the three entries on row 4; p right after the first.
void enter_data(winding_variables& v) {
    platform::locate_cursor(4, 12);
    end_of_statement(15);
    entry_statement(16, "Number of poles: ", v.pole_count);
    v.pole_pairs = to_single(widen(v.pole_count) / 2);
    end_of_statement(17);
    platform::locate_cursor(4, 33);
    end_of_statement(18);
    // "od" is the program's own text, as its users know it; it stays.
    entry_statement(19, "Number od slots: z=", v.slot_count);
    platform::locate_cursor(4, 56);
    end_of_statement(20);
    entry_statement(21, "Multiplex: m=", v.multiplex);
}

// Statements 27 to 33: the slot spacing and the pitches, then three empty lines.
void compute_pitches(winding_variables& v) {
    v.slot_spacing = to_single(500 / widen(v.slot_count));
    end_of_statement(27);
    // The sum z + m keeps its 64-bit mantissa into the division.
    const ext sum = widen(v.slot_count) + widen(v.multiplex);
    v.winding_pitch = to_single(sum / widen(v.pole_pairs));
    end_of_statement(28);
    ext quotient = widen(v.slot_count) / 2;
    quotient = quotient / widen(v.pole_pairs);
    v.first_pitch = whole_part(quotient);
    end_of_statement(29);
    v.second_pitch = to_single(widen(v.winding_pitch) - widen(v.first_pitch));
    end_of_statement(30);
    for (int statement = 31; statement <= 33; ++statement) {
        end_line();
        release_texts();
        end_of_statement(statement);
    }
}

// Statement 35: y2 must be a whole number; an infinite or NaN y2 passes.
bool pitch_test_fails(const winding_variables& v) {
    const double whole = std::floor(static_cast<double>(v.second_pitch));
    const float difference = to_single(static_cast<ext>(static_cast<double>(v.second_pitch)) - whole);
    return std::fabs(difference) > 0;
}

// Statement 36: 2p must be an even whole number; 0, -0 and infinities pass.
bool pole_test_fails(const winding_variables& v) { return !(v.pole_count == twice_whole_half(v.pole_count)); }

// Statements 35 and 36; false sends the routine to the rejection path.
bool data_accepted(const winding_variables& v) {
    if (pitch_test_fails(v)) {
        end_of_statement(35);
        return false;
    }
    if (pole_test_fails(v)) {
        end_of_statement(36);
        return false;
    }
    // Data that pass both tests but whose diagram or label loops would never
    // end are refused the same way, before anything of the diagram is drawn.
    return diagram_loops_end(v);
}

// Statements 38 to 48: the clearing and the loop over the coil positions.
void draw_coils(winding_variables& v) {
    platform::clear_screen();
    end_of_statement(38);
    counted_loop coils(-widen(v.winding_pitch), v.slot_count, 1);
    while (coils.head(v.coil_index)) {
        end_of_statement(40);
        const ext side_x = widen(v.origin_x) + widen(v.coil_index) * widen(v.slot_spacing);
        line(side_x, widen(v.origin_y) + 200, side_x, widen(v.origin_y) + 100);
        end_of_statement(41);
        line(side_x, widen(v.origin_y) + 100,
             widen(v.origin_x) + (widen(v.coil_index) + widen(v.first_pitch) / 2) * widen(v.slot_spacing),
             widen(v.origin_y) + 50);
        end_of_statement(42);
        line(widen(v.origin_x) +
                 (widen(v.coil_index) + widen(v.first_pitch) + widen(v.second_pitch) / 2) * widen(v.slot_spacing),
             widen(v.origin_y) + 250,
             widen(v.origin_x) +
                 (widen(v.coil_index) + widen(v.first_pitch) + widen(v.second_pitch)) * widen(v.slot_spacing),
             widen(v.origin_y) + 200);
        end_of_statement(44);
        const ext lead_x =
            widen(v.origin_x) +
            (widen(v.coil_index) + widen(v.first_pitch) - widen(v.second_pitch) / 2) * widen(v.slot_spacing);
        line(lead_x, widen(v.origin_y) + 250, lead_x, widen(v.origin_y) + 270);
        end_of_statement(45);
        line(widen(v.origin_x) + 0, widen(v.origin_y) + 270, widen(v.origin_x) + 639, widen(v.origin_y) + 270);
        end_of_statement(46);
        line(widen(v.origin_x) + 0, widen(v.origin_y) + 290, widen(v.origin_x) + 639, widen(v.origin_y) + 290);
        end_of_statement(47);
        const ext divider_x = lead_x + widen(v.slot_spacing) / 2;
        line(divider_x, widen(v.origin_y) + 270, divider_x, widen(v.origin_y) + 290);
        end_of_statement(48);
        coils.advance(v.coil_index);
    }
}

// Statements 51 to 61: the parts of the dashed diagonals, drawn part by part.
void draw_dashed_diagonals(winding_variables& v) {
    v.dash_steps = 20;
    end_of_statement(51);
    v.back_dash_dx = to_single(widen(v.first_pitch) * widen(v.slot_spacing) / 2 / (widen(v.dash_steps) + 1));
    end_of_statement(52);
    v.back_dash_dy = to_single(50 / (widen(v.dash_steps) + 1));
    end_of_statement(53);
    v.front_dash_dx = to_single(widen(v.second_pitch) * widen(v.slot_spacing) / 2 / (widen(v.dash_steps) + 1));
    end_of_statement(55);
    v.front_dash_dy = to_single(50 / (widen(v.dash_steps) + 1));
    end_of_statement(56);
    counted_loop parts(0, v.dash_steps, 2);
    while (parts.head(v.dash_index)) {
        end_of_statement(58);
        counted_loop positions(-widen(v.first_pitch), v.slot_count, 1);
        while (positions.head(v.coil_index)) {
            end_of_statement(59);
            const ext j = v.dash_index;
            const ext apex_x =
                widen(v.origin_x) + (widen(v.coil_index) + widen(v.first_pitch) / 2) * widen(v.slot_spacing);
            line(apex_x + j * widen(v.back_dash_dx), widen(v.origin_y) + 50 + j * widen(v.back_dash_dy),
                 apex_x + (j + 1) * widen(v.back_dash_dx), widen(v.origin_y) + 50 + (j + 1) * widen(v.back_dash_dy));
            end_of_statement(60);
            const ext side_x = widen(v.origin_x) + widen(v.coil_index) * widen(v.slot_spacing);
            line(side_x + j * widen(v.front_dash_dx), widen(v.origin_y) + 200 + j * widen(v.front_dash_dy),
                 side_x + (j + 1) * widen(v.front_dash_dx), widen(v.origin_y) + 200 + (j + 1) * widen(v.front_dash_dy));
            end_of_statement(61);
            positions.advance(v.coil_index);
        }
        parts.advance(v.dash_index);
    }
}

// Statements 65 to 67: the 2p + 1 dashed pole boundaries.
void draw_pole_boundaries(winding_variables& v) {
    counted_loop boundaries(0, widen(v.pole_pairs) + widen(v.pole_pairs), 1);
    while (boundaries.head(v.coil_index)) {
        end_of_statement(65);
        counted_loop dashes(0, 14, 1);
        while (dashes.head(v.dash_index)) {
            end_of_statement(66);
            const ext boundary_x = widen(v.origin_x) + widen(v.coil_index) * widen(v.slot_spacing) *
                                                           widen(v.slot_count) / 2 / widen(v.pole_pairs);
            line(boundary_x, widen(v.origin_y) + 30 + widen(v.dash_index) * 20, boundary_x,
                 widen(v.origin_y) + 40 + widen(v.dash_index) * 20);
            end_of_statement(67);
            dashes.advance(v.dash_index);
        }
        boundaries.advance(v.coil_index);
    }
}

// One piece of the results line: a label and a number.
void result_piece(int statement, std::string_view label, float value, bool zone_jump) {
    print_piece(label);
    print_piece(number_piece(value));
    if (zone_jump) platform::tab_to_next_zone();
    release_texts();
    end_of_statement(statement);
}

// Statements 71 to 80: the results on row 4.
void print_results(const winding_variables& v) {
    platform::locate_cursor(4, 12);
    end_of_statement(71);
    result_piece(72, "p' = ", to_single(widen(v.pole_pairs) + widen(v.pole_pairs)), true);
    platform::locate_cursor(4, 25);
    end_of_statement(73);
    result_piece(74, "z = ", v.slot_count, true);
    platform::locate_cursor(4, 38);
    end_of_statement(75);
    result_piece(76, "m = ", v.multiplex, true);
    platform::locate_cursor(4, 51);
    end_of_statement(77);
    result_piece(78, "y1 = ", v.first_pitch, true);
    platform::locate_cursor(4, 64);
    end_of_statement(79);
    result_piece(80, "y2 = ", v.second_pitch, false);
}

// Statements 84 to 90: the credit line and the web line; the newline after the
// web line scrolls the whole page up one text row.
void print_credits() {
    platform::locate_cursor(28, 16);
    end_of_statement(84);
    platform::set_color(15);
    end_of_statement(85);
    print_piece(credit_line);
    end_line();
    release_texts();
    end_of_statement(86);
    platform::locate_cursor(29, 30);
    end_of_statement(88);
    platform::set_color(15);
    end_of_statement(89);
    print_piece(web_line);
    end_line();
    release_texts();
    end_of_statement(90);
}

// Statements 93 to 96: blank the margins left of x 85 and right of x 587.
void trim_margins(const winding_variables& v) {
    platform::set_viewport(0, integer_argument(widen(v.origin_y) + 0), 84, integer_argument(widen(v.origin_y) + 300));
    end_of_statement(93);
    platform::clear_screen();
    end_of_statement(94);
    platform::set_viewport(588, integer_argument(widen(v.origin_y) + 0), 639,
                           integer_argument(widen(v.origin_y) + 300));
    end_of_statement(95);
    platform::clear_screen();
    end_of_statement(96);
}

// Statements 98 to 117: the slot numbers over the coil sides, even ones on
// row 13 and odd ones on row 14.
void label_slots(winding_variables& v) {
    counted_loop slots(1, v.slot_count, 1);
    while (slots.head(v.slot_number)) {
        end_of_statement(98);
        // The label's column: slot n lies (n - 1) * 62 / z text columns along
        // the 62 that the diagram's 500 pixels span, counted from column 11,
        // which holds the diagram's left end (x 86). Evaluated in this order.
        const ext slots_before = widen(v.slot_number) - 1;
        const ext columns_per_slot = 62 / widen(v.slot_count);
        const ext columns_along = slots_before * columns_per_slot;
        const ext column = columns_along + 11;
        v.label_column = whole_part(column);
        end_of_statement(103);
        if (v.slot_number == twice_whole_half(v.slot_number)) {
            end_of_statement(104);
            v.label_row = 13;
            end_of_statement(105);
            platform::locate_cursor(integer_argument(v.label_row), integer_argument(v.label_column));
            end_of_statement(106);
        } else {
            v.label_row = 14;
            end_of_statement(108);
            platform::locate_cursor(integer_argument(v.label_row), integer_argument(v.label_column));
            end_of_statement(109);
        }
        if (v.slot_number < 10) {
            end_of_statement(111);
            print_piece(number_piece(v.slot_number));
            end_line();
            release_texts();
            end_of_statement(112);
            platform::locate_cursor(integer_argument(v.label_row), integer_argument(v.label_column));
            end_of_statement(113);
            print_piece("0");
            end_line();
            release_texts();
            end_of_statement(114);
        } else {
            platform::locate_cursor(integer_argument(v.label_row), integer_argument(widen(v.label_column) - 1));
            end_of_statement(116);
            print_piece(number_piece(v.slot_number));
            end_line();
            release_texts();
            end_of_statement(117);
        }
        slots.advance(v.slot_number);
    }
}

// Statement 123: a label and a jump back to it while no key waits. A pass
// checks twice: once at the label, and once as the jump back is taken (a
// conditional's check runs when its condition holds); a pass that finds a
// key leaves without the second.
void final_key_wait() {
    for (;;) {
        end_of_statement(123);
        const bool no_key = platform::strings_equal(platform::read_key(), platform::empty_text) != 0;
        release_texts();
        if (!no_key) return;
        end_of_statement(123);
    }
}

// Statements 129 to 133: "Wrong Data Entry!" under the entries, then the end.
[[noreturn]] void reject_data() {
    end_of_statement(129);
    platform::locate_cursor(15, 30);
    end_of_statement(130);
    platform::set_color(15);
    end_of_statement(131);
    print_piece("Wrong Data Entry!");
    end_line();
    release_texts();
    end_of_statement(133);
    platform::end_program();
}

} // namespace

[[noreturn]] void winding_program() {
    // Prologue: a 64-bit mantissa for every expression, the handler of the
    // arithmetic-exception signal, the mark of the temporary texts, and the
    // 20 cells set to 0.
    platform::set_extended_precision();
    platform::install_float_exception_handler();
    text_mark = platform::temp_string_mark();
    winding_variables& v = allocate_variables();

    set_up(v);
    enter_data(v);
    compute_pitches(v);
    if (!data_accepted(v)) reject_data();
    draw_coils(v);
    draw_dashed_diagonals(v);
    draw_pole_boundaries(v);
    print_results(v);
    print_credits();
    trim_margins(v);
    label_slots(v);
    final_key_wait();
    platform::end_program();
}

void program_thread_entry() { winding_program(); }

} // namespace winding

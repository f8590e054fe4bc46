// The line entry, driven headlessly: echo and validation key by key, the
// taking back of refused keys and Backspace (byte-for-byte page checks, wraps
// at column 80 and scrolls included), Tab, code 7, Enter, type-ahead, the
// stop request, a pending error, no memory for the page copies, and a
// randomized run over every byte value and extended keys.
#include <gtest/gtest.h>

#include <locale.h>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/entry/line_entry.h"
#include "platform/entry/number_syntax.h"
#include "platform/keys/key_buffer.h"
#include "platform/keys/key_translation.h"
#include "platform/keys/keyboard.h"
#include "platform/keys/read_key.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/event_check.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/parking.h"
#include "platform/screen/glyphs.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/text/text_output.h"
#include "support/page_testing.h"

using namespace platform;
using testing_support::row_text;

namespace {

std::uint32_t bits(float v) { return std::bit_cast<std::uint32_t>(v); }

// The page as it stands: pixels, text cursor and pending wrap.
struct page_picture {
    std::vector<std::uint8_t> pixels;
    text_position cursor;
    std::uint8_t wrap = 0;
};

page_picture picture_of(const drawing_page& page) { return {page.pixels, page.text_cursor, page.pending_wrap}; }

// One look at the entry while it waits for a key: after 0, 1, 2, ... keys.
struct entry_look {
    std::string text;
    std::uint32_t value_bits = 0;
    page_picture page;
};

void expect_same_picture(const page_picture& a, const page_picture& b, const std::string& what) {
    EXPECT_TRUE(a.pixels == b.pixels) << what << ": pixels differ";
    EXPECT_EQ(a.cursor.row, b.cursor.row) << what;
    EXPECT_EQ(a.cursor.column, b.cursor.column) << what;
    EXPECT_EQ(a.wrap, b.wrap) << what;
}

// The 128 pixels of a text cell.
std::vector<std::uint8_t> cell_pixels(const drawing_page& page, int row, int column) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < cell_height; ++i)
        for (int j = 0; j < cell_width; ++j)
            out.push_back(page.at(cell_width * (column - 1) + j, cell_height * (row - 1) + i));
    return out;
}

std::vector<std::uint8_t> cell_pixels(const page_picture& picture, int row, int column) {
    drawing_page page;
    init_mode12_page(page);
    page.pixels = picture.pixels;
    return cell_pixels(page, row, column);
}

// A cell holding `code` in 15 on 0, with or without the cursor block over it.
std::vector<std::uint8_t> glyph_cell(std::uint8_t code, bool under_block) {
    std::vector<std::uint8_t> out;
    const std::uint8_t* shape = glyph(code);
    for (int k = 0; k < glyph_bytes; ++k) {
        const std::uint8_t plain = shape[k] != 0 ? 15 : 0;
        out.push_back(under_block ? static_cast<std::uint8_t>(plain ^ 15) : plain);
    }
    return out;
}

struct entry_setup {
    int row = 4;
    int prompt_column = 24;
    std::string prompt = "2p = ";
    bool wait_after = true;                 // wait for a key after the entry, so the run ends at key_waiting
    std::function<void()> before = nullptr; // runs just before input_values
};

struct entry_run {
    run_result result;
    std::vector<entry_look> looks;
    float target = 123.0f;
    page_picture before_call;
};

// One entry after a prompt, with a look at every wait for a key.
entry_run run_entry(const key_script& keys, entry_setup setup = {}, run_options options = {}) {
    entry_run run;
    options.keys = keys;
    auto outer_poll = options.on_poll;
    options.on_poll = [&](poll_site site) {
        if (site == poll_site::entry_wait && line_entry_inspection::current_entry()) {
            run.looks.push_back({std::string(line_entry_inspection::current_entry()->entry_text), bits(run.target),
                                 picture_of(active_page())});
        }
        if (outer_poll) outer_poll(site);
    };
    run.result = run_headless(
        [&] {
            set_screen_mode(12);
            locate_cursor(setup.row, setup.prompt_column);
            print_string(setup.prompt, false);
            input_targets[0] = &run.target;
            input_types[0] = single_type_word;
            if (setup.before) setup.before();
            run.before_call = picture_of(active_page());
            input_values(1, true);
            if (flags().stop_requested.load() != 0) stop_and_wait();
            if (!setup.wait_after) return;
            while (read_key().empty()) {
            }
        },
        std::move(options));
    return run;
}

key_script key_bytes(const std::string& bytes) {
    key_script keys;
    for (char c : bytes) keys.push_back(tap(key_event::character(static_cast<std::uint8_t>(c))));
    return keys;
}

class LineEntry : public ::testing::Test {
protected:
    void TearDown() override { line_entry_inspection::limit_page_copies(-1); }
};

} // namespace

TEST_F(LineEntry, ExamplesKeyByKey) {
    struct example {
        std::string keys;
        std::string refused; // the keys taken back, in order
        std::string screen;  // the entry on row 4 from column 29
        float value;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<example> examples = {
        {"12", "", "12", 12.0f},
        {"-3", "", "-3", -3.0f},
        {"1.5", "", "1.5", 1.5f},
        {"1E5", "", "1E5", 100000.0f},
        {"1.E5", "E", "1.5", 1.5f},
        {".5", "", ".5", 0.5f},
        {"0.5", "", "0.5", 0.5f},
        {"00", "0", "0", 0.0f},
        {"05", "5", "0", 0.0f},
        {"+1", "+", "1", 1.0f},
        {"1e-3", "", "1e-3", 0.00100000005f},
        {"1D2", "D", "12", 12.0f},
        {"&H1F", "", "&H1F", 31.0f},
        {"3.5E38", "8", "3.5E3", 3500.0f},
        {"1E-46", "6", "1E-4", 9.99999975E-5f},
        {"123456789", "", "123456789", 123456792.0f},
        {"1.234567890", "90", "1.2345678", 1.23456776f},
        {"", "", "", 0.0f},
        {"-", "", "-", 0.0f},
        {"-0", "", "-0", 0.0f},
        {"-0.", "", "-0.", -0.0f},
        {"1E", "", "1E", 1.0f},
        {"1E-", "", "1E-", 1.0f},
        {"0.0E5", "E", "0.05", 0.0500000007f},
        {"1,5", ",", "15", 15.0f},
        {"\"7\"8", "8", "\"7\"", 7.0f},
        {"3.4E38", "", "3.4E38", 3.39999995E+38f},
        {"3.4028236E38", "", "3.4028236E38", inf},
        {"1E-45", "", "1E-45", 1.40129846E-45f},
        {"1.3E-45", "5", "1.3E-4", 1.30000000E-4f},
        {"&B", "B", "&", 0.0f},
        {"&HFFFFFFFFFFFFFFFF", "", "&HFFFFFFFFFFFFFFFF", 18446744073709551616.0f},
    };
    for (const example& e : examples) {
        SCOPED_TRACE("keys: [" + e.keys + "]");
        const entry_run run = run_entry(typed(e.keys + "\r"));
        EXPECT_EQ(run.result.end, run_end::key_waiting);
        ASSERT_EQ(run.looks.size(), e.keys.size() + 1);
        std::string refused;
        for (std::size_t k = 0; k < e.keys.size(); ++k) {
            if (run.looks[k + 1].text == run.looks[k].text) refused.push_back(e.keys[k]);
        }
        EXPECT_EQ(refused, e.refused);
        const drawing_page& page = active_page();
        EXPECT_EQ(row_text(page, 4).substr(23), "2p = " + e.screen + std::string(52 - e.screen.size(), ' '));
        EXPECT_EQ(bits(run.target), bits(e.value)) << "stored " << run.target;
        EXPECT_EQ(page.text_cursor.row, 5);
        EXPECT_EQ(page.text_cursor.column, 1);
        EXPECT_EQ(page.pending_wrap, 0);
    }
}

TEST_F(LineEntry, RefusedKeysAndBackspaceLeaveThePageAsBefore) {
    // After "1.5": Escape, a blank, a comma, D, a plus sign, a quote, 255, 0
    // and 200 are echoed and taken back; Backspace then leaves "1.".
    const std::string refused = std::string("\x1b ,D+\"\xff") + '\0' + "\xc8";
    const entry_run run = run_entry(key_bytes("1.5" + refused + "\b"), {.wait_after = false});
    ASSERT_EQ(run.looks.size(), 3 + refused.size() + 2);
    for (std::size_t k = 0; k < refused.size(); ++k) {
        expect_same_picture(run.looks[3 + k + 1].page, run.looks[3].page, "refused key " + std::to_string(k));
        EXPECT_EQ(run.looks[3 + k + 1].text, "1.5");
        EXPECT_EQ(run.looks[3 + k + 1].value_bits, bits(1.5f));
    }
    const entry_look& after_backspace = run.looks.back();
    EXPECT_EQ(after_backspace.text, "1.");
    EXPECT_EQ(after_backspace.value_bits, bits(1.0f));
    expect_same_picture(after_backspace.page, run.looks[2].page, "Backspace after 1.5");
    // The cursor block stands after "1.", at column 31.
    EXPECT_EQ(cell_pixels(after_backspace.page, 4, 31), glyph_cell(' ', true));
    EXPECT_EQ(cell_pixels(after_backspace.page, 4, 30), glyph_cell('.', false));
}

TEST_F(LineEntry, KeysThatChangeNothing) {
    // Backspace on an empty entry; after "12": Tab, extended keys, the ignored
    // codes and code 7.
    key_script keys = key_bytes("\b12\t");
    for (std::uint8_t code : {extended::up, extended::del, extended::f1, extended::home, std::uint8_t{0x77}})
        keys.push_back(tap(key_event::extended_key(code)));
    keys = keys + key_bytes(std::string("\n\x0b\x0c\x1c\x1d\x1e\x1f\x07"));
    const entry_run run = run_entry(keys, {.wait_after = false});
    ASSERT_EQ(run.looks.size(), keys.size() + 1);
    expect_same_picture(run.looks[1].page, run.looks[0].page, "Backspace on an empty entry");
    for (std::size_t k = 4; k < run.looks.size(); ++k) {
        expect_same_picture(run.looks[k].page, run.looks[3].page, "key " + std::to_string(k - 1));
        EXPECT_EQ(run.looks[k].text, "12");
        EXPECT_EQ(run.looks[k].value_bits, bits(12.0f));
    }
    EXPECT_EQ(cell_pixels(run.looks.back().page, 4, 31), glyph_cell(' ', true));
    EXPECT_EQ(run.looks.back().page.cursor.column, 31);
}

TEST_F(LineEntry, CtrlAltHIsAltsExtendedKeyAndTakesNothingBack) {
    // With Ctrl and Alt held, H gives Alt's extended key, which the entry
    // passes over; Ctrl's code 8 would have taken back the 2.
    const key_event ctrl = key_event::modifier(modifier_key::left_ctrl);
    const key_event alt = key_event::modifier(modifier_key::left_alt);
    const key_script keys =
        typed("12") + key_script{press(ctrl), press(alt), tap(key_event::character('h')), release(alt), release(ctrl)} +
        typed("\r");
    const entry_run run = run_entry(keys);
    EXPECT_EQ(run.result.end, run_end::key_waiting);
    EXPECT_EQ(row_text(active_page(), 4).substr(23, 8), "2p = 12 ");
    EXPECT_EQ(bits(run.target), bits(12.0f)) << "stored " << run.target;
}

TEST_F(LineEntry, WrapAtColumn80) {
    // From column 69 the 12th byte lands in column 80: the cursor stays there
    // with a pending wrap and the block covers that byte.
    const entry_run run =
        run_entry(typed("123456789012x\a3x\b\b\b\r"), {.row = 4, .prompt_column = 65, .prompt = "m = "});
    ASSERT_EQ(run.looks.size(), 20u);
    const entry_look& twelve = run.looks[12];
    EXPECT_EQ(twelve.page.cursor.column, 80);
    EXPECT_EQ(twelve.page.wrap, 1);
    EXPECT_EQ(cell_pixels(twelve.page, 4, 80), glyph_cell('2', true));
    // A refused key and code 7 leave it so.
    expect_same_picture(run.looks[13].page, twelve.page, "refused key after column 80");
    expect_same_picture(run.looks[14].page, twelve.page, "code 7 after column 80");
    // The 13th byte starts row 5, the block moves to column 2.
    const entry_look& thirteen = run.looks[15];
    EXPECT_EQ(thirteen.text, "1234567890123");
    EXPECT_EQ(thirteen.page.cursor.row, 5);
    EXPECT_EQ(thirteen.page.cursor.column, 2);
    EXPECT_EQ(cell_pixels(thirteen.page, 5, 1), glyph_cell('3', false));
    EXPECT_EQ(cell_pixels(thirteen.page, 5, 2), glyph_cell(' ', true));
    EXPECT_EQ(cell_pixels(thirteen.page, 4, 80), glyph_cell('2', false));
    expect_same_picture(run.looks[16].page, thirteen.page, "refused key on row 5");
    // Backspace over the 13th byte gives back the page of 12 bytes exactly.
    expect_same_picture(run.looks[17].page, twelve.page, "Backspace back to column 80");
    expect_same_picture(run.looks[18].page, run.looks[11].page, "Backspace to 11 bytes");
    // Enter after the byte in column 80 moves to column 1 of row 5.
    const drawing_page& page = active_page();
    EXPECT_EQ(row_text(page, 4).substr(64), "m = 1234567890  ");
    EXPECT_EQ(page.text_cursor.row, 5);
    EXPECT_EQ(page.text_cursor.column, 1);
    EXPECT_EQ(bits(run.target), bits(1234567890.0f));
}

TEST_F(LineEntry, EnterRightAfterColumn80MovesOneRow) {
    const entry_run run = run_entry(typed("123456789012\a\r"), {.row = 4, .prompt_column = 65, .prompt = "m = "});
    const drawing_page& page = active_page();
    EXPECT_EQ(page.text_cursor.row, 5);
    EXPECT_EQ(page.text_cursor.column, 1);
    EXPECT_EQ(row_text(page, 5), std::string(80, ' '));
}

TEST_F(LineEntry, EntryEndingInColumn79) {
    // 11 bytes from column 69 leave the cursor on column 80 without a wrap: a
    // refused key is echoed there and taken back, the next byte goes there.
    const entry_run run =
        run_entry(typed("12345678901x2"), {.row = 4, .prompt_column = 65, .prompt = "m = ", .wait_after = false});
    ASSERT_EQ(run.looks.size(), 14u);
    EXPECT_EQ(run.looks[11].page.cursor.column, 80);
    EXPECT_EQ(run.looks[11].page.wrap, 0);
    expect_same_picture(run.looks[12].page, run.looks[11].page, "refused key echoed in column 80");
    EXPECT_EQ(cell_pixels(run.looks[12].page, 4, 80), glyph_cell(' ', true));
    EXPECT_EQ(run.looks[13].page.cursor.column, 80);
    EXPECT_EQ(run.looks[13].page.wrap, 1);
    EXPECT_EQ(cell_pixels(run.looks[13].page, 4, 80), glyph_cell('2', true));
}

TEST_F(LineEntry, TakingBackAfterAScrollRestoresTheUnscrolledPage) {
    // An entry from row 29, column 75 scrolls the text window at its 7th
    // byte; Backspace gives back the page as it was before the scroll.
    entry_setup setup{.row = 29, .prompt_column = 71, .prompt = "z = ", .wait_after = false};
    setup.before = [] {
        drawing_page& page = active_page();
        const text_position at = page.text_cursor;
        locate_cursor(1, 1);
        print_string("top row", false);
        locate_cursor(28, 1);
        print_string("row 28", false);
        locate_cursor(30, 1);
        print_string("row 30", false);
        locate_cursor(at.row, at.column);
    };
    const entry_run run = run_entry(typed("1234567x\b"), setup);
    ASSERT_EQ(run.looks.size(), 10u);
    const page_picture& scrolled = run.looks[7].page;
    EXPECT_EQ(scrolled.cursor.row, 29);
    EXPECT_EQ(scrolled.cursor.column, 2);
    EXPECT_EQ(cell_pixels(scrolled, 27, 1), glyph_cell('r', false)); // row 28 moved up
    EXPECT_EQ(cell_pixels(scrolled, 28, 79), glyph_cell('5', false));
    EXPECT_EQ(cell_pixels(scrolled, 29, 1), glyph_cell('7', false));
    EXPECT_EQ(cell_pixels(scrolled, 30, 1), glyph_cell('r', false)); // row 30 never moves
    expect_same_picture(run.looks[8].page, scrolled, "refused key after the scroll");
    expect_same_picture(run.looks[9].page, run.looks[6].page, "Backspace over the scrolling byte");
    EXPECT_EQ(run.looks[6].page.cursor.column, 80);
    EXPECT_EQ(run.looks[6].page.wrap, 1);
}

TEST_F(LineEntry, QuotedEntries) {
    struct quoted {
        std::string keys;
        std::string text;
        float value;
    };
    for (const quoted& q : std::vector<quoted>{{"\"5\"6", "\"5\"", 5.0f},
                                               {"\"", "\"", 0.0f},
                                               {"\"-0.\"", "\"-0.\"", -0.0f},
                                               {"\"1,2\"", "\"12\"", 12.0f},
                                               {"\"&o17\"\"", "\"&o17\"", 15.0f},
                                               {"1\"", "1", 1.0f}}) {
        SCOPED_TRACE(q.keys);
        const entry_run run = run_entry(typed(q.keys), {.wait_after = false});
        EXPECT_EQ(run.looks.back().text, q.text);
        EXPECT_EQ(bits(run.target), bits(q.value));
    }
}

TEST_F(LineEntry, LimitsKeyByKey) {
    struct limit {
        std::string accepted;
        char refused;
    };
    const std::vector<limit> limits = {
        {"3.402823E38", '\0'},
        {"3.402824E3", '8'},
        {"1.401298E-45", '\0'},
        {"1.401297E-4", '5'},
        {"0." + std::string(43, '0'), '0'},
        {"12345678.0", '0'},
        {"0.12345678", '9'},
        {"&H" + std::string(16, 'f'), 'f'},
        {"&O1" + std::string(21, '7'), '7'},
        {"&O2" + std::string(20, '7'), '7'},
        {"123456789012", '\0'},
    };
    for (const limit& l : limits) {
        SCOPED_TRACE(l.accepted);
        std::string keys = l.accepted;
        if (l.refused != '\0') keys.push_back(l.refused);
        const entry_run run = run_entry(typed(keys), {.wait_after = false});
        EXPECT_EQ(run.looks.back().text, l.accepted);
        for (std::size_t k = 1; k <= l.accepted.size(); ++k) EXPECT_EQ(run.looks[k].text, l.accepted.substr(0, k));
    }
}

TEST_F(LineEntry, TypeAheadAcrossThreeEntries) {
    float poles = -1, slots = -1, multiplicity = -1;
    run_options options;
    options.typed_ahead = typed("4\r21\r1\r");
    const run_result result = run_headless(
        [&] {
            set_screen_mode(12);
            struct prompt {
                int column;
                const char* text;
                float* target;
            };
            for (const prompt& p :
                 {prompt{24, "2p = ", &poles}, prompt{48, "z = ", &slots}, prompt{65, "m = ", &multiplicity}}) {
                locate_cursor(4, p.column);
                print_string(p.text, false);
                input_targets[0] = p.target;
                input_types[0] = single_type_word;
                input_values(1, true);
            }
            while (read_key().empty()) {
            }
        },
        options);
    EXPECT_EQ(result.end, run_end::key_waiting);
    EXPECT_EQ(bits(poles), bits(4.0f));
    EXPECT_EQ(bits(slots), bits(21.0f));
    EXPECT_EQ(bits(multiplicity), bits(1.0f));
    const std::string row = row_text(active_page(), 4);
    EXPECT_EQ(row.substr(23, 6), "2p = 4");
    EXPECT_EQ(row.substr(47, 6), "z = 21");
    EXPECT_EQ(row.substr(64, 5), "m = 1");
}

TEST_F(LineEntry, StopRequestReturnsAtTheNextPoll) {
    run_options options;
    int entry_polls = 0;
    options.on_poll = [&](poll_site site) {
        if (site == poll_site::entry_wait && ++entry_polls == 3) flags().stop_requested.store(1);
    };
    const entry_run run = run_entry(typed("12345"), {}, options);
    EXPECT_EQ(run.result.end, run_end::parked);
    EXPECT_EQ(bits(run.target), bits(12.0f));
    const drawing_page& page = active_page();
    // No newline; the cursor block stays after "12"; nothing after it was typed.
    EXPECT_EQ(page.text_cursor.row, 4);
    EXPECT_EQ(page.text_cursor.column, 31);
    EXPECT_EQ(cell_pixels(page, 4, 31), glyph_cell(' ', true));
    EXPECT_EQ(run.result.keys_left, 3u);
}

TEST_F(LineEntry, PendingErrorAtTheCallDoesNothing) {
    run_options options;
    options.typed_ahead = typed("5\r");
    entry_setup setup{.wait_after = false};
    setup.before = [] { raise_error(illegal_function_call); };
    const entry_run run = run_entry({}, setup, options);
    EXPECT_EQ(bits(run.target), bits(123.0f));
    EXPECT_TRUE(run.looks.empty());
    EXPECT_EQ(key_buffer().waiting(), 2);
    EXPECT_TRUE(active_page().pixels == run.before_call.pixels);
}

TEST_F(LineEntry, NoMemoryForAPageCopyIsCritical) {
    struct failure {
        int copies_allowed;
        const char* caption;
    };
    for (const failure& f : {failure{0, "Critical Error #16"}, failure{1, "Critical Error #17"}}) {
        SCOPED_TRACE(f.caption);
        line_entry_inspection::limit_page_copies(f.copies_allowed);
        const entry_run run = run_entry(typed("5\r"));
        line_entry_inspection::limit_page_copies(-1);
        EXPECT_EQ(run.result.end, run_end::process_ended);
        ASSERT_EQ(run.result.boxes.size(), 1u);
        EXPECT_EQ(run.result.boxes[0].caption, f.caption);
        EXPECT_EQ(run.result.boxes[0].text, "Out of memory");
        EXPECT_EQ(run.result.boxes[0].buttons, box_buttons::ok);
        EXPECT_TRUE(active_page().pixels == run.before_call.pixels) << "nothing of the entry is drawn";
        EXPECT_EQ(bits(run.target), bits(123.0f));
    }
}

TEST_F(LineEntry, WrongCallFormIsAnIllegalFunctionCall) {
    float value = 7.0f;
    run_headless(
        [&] {
            set_screen_mode(12);
            input_targets[0] = &value;
            input_types[0] = 0x10000010;
            input_values(1, true);
        },
        {});
    EXPECT_EQ(flags().error_pending.load(), illegal_function_call);
    EXPECT_EQ(bits(value), bits(7.0f));
}

namespace {

// The value of an entry text, worked out apart from the entry's own
// conversion: the C library's strtof in a C locale object for decimals.
std::uint32_t reference_value_bits(const std::string& entry_text, locale_t c_locale) {
    std::string number = entry_text;
    if (!number.empty() && number[0] == '"') {
        number.erase(0, 1);
        const std::size_t close = number.find('"');
        if (close != std::string::npos) number.erase(close);
    }
    if (number.empty() || number == "-" || number == "0" || number == "-0") return bits(0.0f);
    if (number[0] == '&') {
        const std::string digits = number.size() > 2 ? number.substr(2) : "";
        if (digits.empty()) return bits(0.0f);
        const int base = (number[1] == 'H' || number[1] == 'h') ? 16 : 8;
        return bits(static_cast<float>(std::strtoull(digits.c_str(), nullptr, base)));
    }
    char* end = nullptr;
    const float value = strtof_l(number.c_str(), &end, c_locale);
    return bits(end == number.c_str() ? 0.0f : value);
}

// The page that an entry must show: its snapshot with the text printed over
// it from its start and the cursor block at the cursor. Drawn into `page`,
// whose buffer is reused from look to look.
void draw_expected_page(const line_entry_inspection::entry_view& entry, drawing_page& page) {
    static_cast<page_state&>(page) = *entry.snapshot;
    page.pixels.resize(entry.snapshot->pixels.size());
    std::copy(entry.snapshot->pixels.begin(), entry.snapshot->pixels.end(), page.pixels.begin());
    page.text_cursor = entry.start;
    page.pending_wrap = entry.start_wrap;
    for (char c : entry.entry_text) print_string(page, std::string_view(&c, 1), false);
    const int x0 = cell_width * (page.text_cursor.column - 1), y0 = cell_height * (page.text_cursor.row - 1);
    for (int i = 0; i < cell_height; ++i)
        for (int j = 0; j < cell_width; ++j) page.at(x0 + j, y0 + i) ^= 15;
}

} // namespace

TEST_F(LineEntry, RandomKeysKeepTheEntryInvariants) {
    std::mt19937 random(1108);
    const std::string number_keys = "0123456789012345.-+EeDd&HhOoFf\",";
    key_script keys;
    int sequences = 0;
    while (sequences < 2500) {
        const auto pick = static_cast<unsigned>(random() % 100);
        if (pick < 45) {
            keys.push_back(
                tap(key_event::character(static_cast<std::uint8_t>(number_keys[random() % number_keys.size()]))));
        } else if (pick < 55) {
            keys.push_back(tap(key_event::character(8)));
        } else if (pick < 57) {
            keys.push_back(tap(key_event::character(9)));
        } else if (pick < 62) {
            keys.push_back(tap(key_event::extended_key(static_cast<std::uint8_t>(random() % 256))));
        } else if (pick < 67) {
            keys.push_back(tap(key_event::character(13)));
            ++sequences;
        } else {
            const auto code = static_cast<std::uint8_t>(random() % 256);
            keys.push_back(tap(key_event::character(code)));
            if (code == 13) ++sequences;
        }
    }

    locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
    ASSERT_NE(c_locale, nullptr);
    float target = 0.0f;
    long looks = 0;
    int entries = 0;
    drawing_page want;
    std::size_t longest = 0;
    int wrapped_looks = 0;  // a byte in column 80 with the wrap pending
    int next_row_looks = 0; // the text went on past the start row (or scrolled it)
    run_options options;
    options.keys = keys;
    options.on_poll = [&](poll_site site) {
        if (site != poll_site::entry_wait) return;
        const auto entry = line_entry_inspection::current_entry();
        ASSERT_TRUE(entry);
        const std::string text(entry->entry_text);
        ++looks;
        for (std::size_t k = 0; k <= text.size(); ++k) {
            ASSERT_TRUE(entry_text_passes(text.substr(0, k))) << "[" << text << "] at " << k;
        }
        ASSERT_LE(text.size(), 60u);
        ASSERT_EQ(bits(target), reference_value_bits(text, c_locale)) << "[" << text << "]";
        ASSERT_TRUE(entry->cursor_shown);
        ASSERT_EQ(entry->pending_blanks, 0);
        draw_expected_page(*entry, want);
        const drawing_page& got = active_page();
        ASSERT_TRUE(got.pixels == want.pixels) << "[" << text << "] entry " << entries;
        ASSERT_EQ(got.text_cursor.row, want.text_cursor.row);
        ASSERT_EQ(got.text_cursor.column, want.text_cursor.column);
        ASSERT_EQ(got.pending_wrap, want.pending_wrap);
        longest = std::max(longest, text.size());
        wrapped_looks += got.pending_wrap != 0;
        next_row_looks += got.text_cursor.row != entry->start.row;
    };
    // Entries start on row 4 like the routine's, at the right edge, and on
    // the bottom rows where wrapping scrolls the window.
    struct start {
        int row, column;
    };
    const std::vector<start> starts = {{4, 29}, {4, 52}, {4, 69}, {4, 80}, {29, 70}, {29, 80}, {30, 75}, {1, 1}};
    const run_result result = run_headless(
        [&] {
            set_screen_mode(12);
            for (std::size_t n = 0;; ++n) {
                const start s = starts[n % starts.size()];
                locate_cursor(s.row, s.column);
                input_targets[0] = &target;
                input_types[0] = single_type_word;
                ++entries;
                input_values(1, true);
            }
        },
        options);
    freelocale(c_locale);
    EXPECT_EQ(result.end, run_end::entry_waiting);
    EXPECT_EQ(result.keys_left, 0u);
    EXPECT_GT(entries, 2500);
    // The random keys reached the cases that matter: long texts, wraps, scrolls.
    EXPECT_GE(longest, 12u);
    EXPECT_GT(wrapped_looks, 0);
    EXPECT_GT(next_row_looks, 0);
    EXPECT_GT(looks, static_cast<long>(keys.size()) / 2);
}

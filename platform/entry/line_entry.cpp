// The line entry of a number.
//
// At the call the page is copied twice: the snapshot keeps the screen as the
// caller left it, and the scratch copy is where the screen is rebuilt when a
// key is taken back. A rebuild reprints the accepted text over the snapshot
// on the scratch copy and then copies the scratch pixels onto the page in one
// go, so the page never shows the snapshot without the entry on it.
#include "platform/entry/line_entry.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "platform/entry/decimal_conversion.h"
#include "platform/entry/number_syntax.h"
#include "platform/keys/keyboard.h"
#include "platform/keys/read_key.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/program_activity.h"
#include "platform/runtime/temp_strings.h"
#include "platform/text/text_output.h"

namespace platform {

std::array<float*, 1> input_targets{};
std::array<std::uint32_t, 1> input_types{};

namespace {

constexpr int entry_poll_milliseconds = 10;
constexpr std::size_t tab_width = 8;

constexpr std::uint8_t bell_key = 7;
constexpr std::uint8_t backspace_key = 8;
constexpr std::uint8_t tab_key = 9;
constexpr std::uint8_t enter_key = 13;
constexpr std::uint8_t blank_key = 32;

bool is_ignored_key(std::uint8_t key) { return (key >= 10 && key <= 12) || (key >= 28 && key <= 31); }

struct entry_state {
    entry_state(drawing_page& on_page, float* into) : page(on_page), target(into) {}

    drawing_page& page;
    float* target;
    std::unique_ptr<drawing_page> snapshot;
    std::unique_ptr<drawing_page> scratch;
    text_position start{};
    std::uint8_t start_wrap = 0;
    std::string entry_text;
    int pending_blanks = 0;
    bool cursor_shown = false;
};

entry_state* running_entry = nullptr;
int page_copies_allowed = -1;

// Clears the inspection pointer however the entry ends.
class running_entry_scope {
public:
    explicit running_entry_scope(entry_state& entry) { running_entry = &entry; }
    ~running_entry_scope() { running_entry = nullptr; }
    running_entry_scope(const running_entry_scope&) = delete;
    running_entry_scope& operator=(const running_entry_scope&) = delete;
};

// A full copy of the page, pixels and state; empty when no memory is left.
std::unique_ptr<drawing_page> copy_page(const drawing_page& page) {
    try {
        if (page_copies_allowed == 0) throw std::bad_alloc();
        if (page_copies_allowed > 0) --page_copies_allowed;
        return std::make_unique<drawing_page>(page);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void copy_pixels(const drawing_page& from, drawing_page& to) {
    if (from.pixels.size() != to.pixels.size()) return;
    std::copy(from.pixels.begin(), from.pixels.end(), to.pixels.begin());
}

// XORs the cell at the text cursor with the foreground colour; a second
// call restores the cell exactly.
void toggle_cursor_block(drawing_page& page) {
    const int x0 = cell_width * (page.text_cursor.column - 1);
    const int y0 = cell_height * (page.text_cursor.row - 1);
    if (x0 < 0 || y0 < 0 || x0 + cell_width > page.width || y0 + cell_height > page.height) return;
    if (page.pixels.size() < static_cast<std::size_t>(page.width) * page.height) return;
    for (int i = 0; i < cell_height; ++i) {
        std::uint8_t* out = page.row(y0 + i) + x0;
        for (int j = 0; j < cell_width; ++j) {
            out[j] = static_cast<std::uint8_t>((out[j] ^ page.foreground_color) & page.color_mask);
        }
    }
}

void print_byte(drawing_page& page, char byte) { print_string(page, std::string_view(&byte, 1), false); }

// Tests a text and stores its value: +0 first, then the value when the text
// passes, so the target always holds the value of the last text that passed.
// The value is made from the measure that the test took.
bool test_and_store(entry_state& entry, std::string_view text) {
    *entry.target = 0.0f;
    const std::optional<std::string> number = number_text_of(text);
    if (!number) return false;
    const std::optional<number_measure> measure = measure_number_text(*number);
    if (!measure) return false;
    *entry.target = number_text_value(*number, *measure);
    return true;
}

// Reprints the accepted text over the snapshot on the scratch copy, exactly
// as it was typed (wraps and scrolls included), and puts the result on the
// page in one copy.
void rebuild(entry_state& entry) {
    drawing_page& scratch = *entry.scratch;
    copy_pixels(*entry.snapshot, scratch);
    scratch.text_cursor = entry.start;
    scratch.pending_wrap = entry.start_wrap;
    for (char byte : entry.entry_text) print_byte(scratch, byte);
    copy_pixels(scratch, entry.page);
    entry.page.text_cursor = scratch.text_cursor;
    entry.page.pending_wrap = scratch.pending_wrap;
    test_and_store(entry, entry.entry_text);
}

// Code 7 only sounds: print_string pauses and draws nothing. A pending wrap
// is kept out of its way, since print_string would otherwise start the next
// row for the one-byte text and leave the cursor (and the newline of Enter)
// a row too low.
void sound_bell(entry_state& entry) {
    const std::uint8_t wrap = entry.page.pending_wrap;
    entry.page.pending_wrap = 0;
    print_byte(entry.page, static_cast<char>(bell_key));
    entry.page.pending_wrap = wrap;
}

void type_byte(entry_state& entry, std::uint8_t key) {
    if (entry.entry_text.size() >= entry_text_limit) {
        test_and_store(entry, entry.entry_text);
        return;
    }
    std::string candidate = entry.entry_text;
    candidate.push_back(static_cast<char>(key));
    print_byte(entry.page, static_cast<char>(key));
    if (test_and_store(entry, candidate)) {
        entry.entry_text = std::move(candidate);
    } else {
        rebuild(entry);
    }
}

void handle_key(entry_state& entry, std::uint8_t key) {
    if (key == backspace_key) {
        if (entry.entry_text.empty()) return;
        entry.entry_text.pop_back();
        rebuild(entry);
    } else if (key == tab_key) {
        entry.pending_blanks = static_cast<int>(tab_width - entry.entry_text.size() % tab_width);
        test_and_store(entry, entry.entry_text);
    } else if (key == bell_key) {
        sound_bell(entry);
        test_and_store(entry, entry.entry_text);
    } else if (is_ignored_key(key)) {
        test_and_store(entry, entry.entry_text);
    } else {
        type_byte(entry, key);
    }
}

} // namespace

void input_values(int count, bool newline) {
    if (error_is_pending()) return;
    // Only one Single target is known to this entry.
    if (count != 1 || input_targets[0] == nullptr || input_types[0] != single_type_word) {
        raise_error(illegal_function_call);
        return;
    }
    activity_scope entering(program_activity::entering);

    entry_state entry(active_page(), input_targets[0]);
    entry.snapshot = copy_page(entry.page);
    if (!entry.snapshot) raise_critical_error(out_of_memory_snapshot);
    entry.scratch = copy_page(entry.page);
    if (!entry.scratch) raise_critical_error(out_of_memory_scratch);
    entry.start = entry.page.text_cursor;
    entry.start_wrap = entry.page.pending_wrap;
    running_entry_scope running(entry);
    const std::size_t mark = temp_string_mark();

    *entry.target = 0.0f;
    test_and_store(entry, entry.entry_text);

    for (;;) {
        if (!entry.cursor_shown) {
            toggle_cursor_block(entry.page);
            entry.cursor_shown = true;
        }
        bool one_byte = false;
        std::uint8_t key = 0;
        if (entry.pending_blanks > 0) {
            // The blanks of a Tab come in as typed keys, without a poll.
            --entry.pending_blanks;
            one_byte = true;
            key = blank_key;
        } else {
            poll_sleep(poll_site::entry_wait, entry_poll_milliseconds);
            const std::string_view read = read_key();
            one_byte = read.size() == 1;
            if (one_byte) key = static_cast<std::uint8_t>(read[0]);
            release_temp_strings(mark);
        }
        // The cursor block stays on the screen when the entry is stopped.
        if (flags().stop_requested.load() != 0) return;
        if (!one_byte) continue;

        toggle_cursor_block(entry.page);
        entry.cursor_shown = false;
        if (key == enter_key) {
            if (newline) print_string(entry.page, empty_text, true);
            return;
        }
        handle_key(entry, key);
    }
}

namespace line_entry_inspection {

std::optional<entry_view> current_entry() {
    if (running_entry == nullptr) return std::nullopt;
    const entry_state& e = *running_entry;
    return entry_view{e.entry_text, e.start, e.start_wrap, e.snapshot.get(), e.pending_blanks, e.cursor_shown};
}

void limit_page_copies(int copies_allowed) { page_copies_allowed = copies_allowed; }

} // namespace line_entry_inspection

} // namespace platform

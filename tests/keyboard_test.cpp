// Keys from the window's events through the translation table and the key
// buffer to read_key: what each key gives, the full buffer, modifiers and
// locks, Alt with Enter, Pause and Break, and the text comparisons.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "platform/keys/key_buffer.h"
#include "platform/keys/key_translation.h"
#include "platform/keys/keyboard.h"
#include "platform/keys/read_key.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/string_comparison.h"
#include "platform/runtime/temp_strings.h"

using namespace platform;

namespace {

class KeyInput : public ::testing::Test {
protected:
    void SetUp() override { reset_runtime(); }
    void TearDown() override {
        set_full_screen_switch(nullptr);
        reset_runtime();
    }
};

void tap_key(key_event key) {
    handle_key_down(key);
    handle_key_up(key);
}

key_event ch(char c) { return key_event::character(static_cast<std::uint8_t>(c)); }

// read_key's result as an owned string, with the temporary released.
std::string next_key() {
    const std::size_t mark = temp_string_mark();
    std::string key(read_key());
    release_temp_strings(mark);
    return key;
}

std::string two_bytes(int first, int second) {
    return std::string{static_cast<char>(first), static_cast<char>(second)};
}

struct key_case {
    const char* name;
    std::vector<modifier_key> held; // pressed in this order before the key
    key_event key;
    std::string expected; // "" when nothing is queued
};

// Holds the modifiers, taps the key, and lets the modifiers go again.
void tap_with(const std::vector<modifier_key>& held, key_event key) {
    for (modifier_key m : held) handle_key_down(key_event::modifier(m));
    tap_key(key);
    for (auto m = held.rbegin(); m != held.rend(); ++m) handle_key_up(key_event::modifier(*m));
}

// From a fresh start: the case's key, with its modifiers held, reads as
// expected and queues nothing more.
void expect_key_reads(const key_case& c) {
    SCOPED_TRACE(c.name);
    reset_runtime();
    tap_with(c.held, c.key);
    EXPECT_EQ(next_key(), c.expected);
    EXPECT_EQ(next_key(), "");
}

TEST_F(KeyInput, EachKeyReadsAsItsCharacterOrANulAndItsExtendedCode) {
    const key_case cases[] = {
        {"Enter", {}, ch('\r'), "\r"},
        {"Escape", {}, ch('\x1b'), "\x1b"},
        {"Backspace", {}, ch('\b'), "\b"},
        {"Tab", {}, ch('\t'), "\t"},
        {"Shift+Tab", {modifier_key::left_shift}, ch('\t'), two_bytes(0, 15)},
        {"Up", {}, key_event::extended_key(extended::up), two_bytes(0, 72)},
        {"Down", {}, key_event::extended_key(extended::down), two_bytes(0, 80)},
        {"Left", {}, key_event::extended_key(extended::left), two_bytes(0, 75)},
        {"Right", {}, key_event::extended_key(extended::right), two_bytes(0, 77)},
        {"F1", {}, key_event::extended_key(extended::f1), two_bytes(0, 59)},
        {"Shift+F1", {modifier_key::right_shift}, key_event::extended_key(extended::f1), two_bytes(0, 0x54)},
        {"Delete", {}, key_event::extended_key(0x53), two_bytes(0, 83)},
        {"Ctrl+E", {modifier_key::left_ctrl}, ch('e'), "\x05"},
        {"Ctrl+Enter", {modifier_key::right_ctrl}, ch('\r'), "\n"},
        {"Alt+A", {modifier_key::left_alt}, ch('a'), two_bytes(0, 0x1E)},
        {"Alt+.", {modifier_key::right_alt}, ch('.'), two_bytes(0, 0x34)},
        {"Shift+E", {modifier_key::left_shift}, ch('E'), "E"},
        {"Ctrl+.", {modifier_key::left_ctrl}, ch('.'), ""},
        {"Ctrl+1", {modifier_key::left_ctrl}, ch('1'), ""},
        {"Alt+Escape", {modifier_key::left_alt}, ch('\x1b'), ""},
        {"Alt+space", {modifier_key::left_alt}, ch(' '), ""},
        {"NUL", {}, ch('\0'), std::string(1, '\0')},
        {"code 200 (no table row)", {}, key_event::character(200), "\xC8"},
    };
    for (const key_case& c : cases) expect_key_reads(c);
}

TEST_F(KeyInput, WithSeveralModifiersAltGoesBeforeCtrlAndCtrlBeforeShift) {
    // Each key gives something else with each of the modifiers it is held
    // with, so only the column the keyboard picks decides what is read. The
    // order of pressing does not count.
    using enum modifier_key;
    const key_event f1 = key_event::extended_key(extended::f1);
    const key_case cases[] = {
        // Alt gives the extended key 23 hex, Ctrl code 8 (Backspace).
        {"Ctrl+Alt+H", {left_ctrl, left_alt}, ch('h'), two_bytes(0, 0x23)},
        {"Alt+Ctrl+H", {right_alt, right_ctrl}, ch('h'), two_bytes(0, 0x23)},
        // Alt gives nothing, Ctrl code 1B hex.
        {"Ctrl+Alt+Escape", {left_ctrl, right_alt}, ch('\x1b'), ""},
        // Alt gives the extended key 78 hex, Ctrl nothing.
        {"Ctrl+Alt+1", {right_ctrl, left_alt}, ch('1'), two_bytes(0, 0x78)},
        {"Ctrl+Alt+Up", {left_ctrl, left_alt}, key_event::extended_key(extended::up), two_bytes(0, 0x98)},
        {"Shift+Alt+A", {left_shift, left_alt}, ch('A'), two_bytes(0, 0x1E)},
        {"Shift+Alt+F1", {right_shift, right_alt}, f1, two_bytes(0, 0x68)},
        {"Shift+Ctrl+Alt+F1", {left_shift, left_ctrl, left_alt}, f1, two_bytes(0, 0x68)},
        {"Alt+Ctrl+Shift+F1", {left_alt, left_ctrl, left_shift}, f1, two_bytes(0, 0x68)},
        {"Shift+Ctrl+E", {left_shift, left_ctrl}, ch('E'), "\x05"},
        {"Shift+Ctrl+F1", {right_shift, left_ctrl}, f1, two_bytes(0, 0x5E)},
        {"Ctrl+Shift+F1", {right_ctrl, left_shift}, f1, two_bytes(0, 0x5E)},
        // Shift gives the extended key F hex, Ctrl the extended key 94 hex.
        {"Shift+Ctrl+Tab", {right_shift, right_ctrl}, ch('\t'), two_bytes(0, 0x94)},
    };
    for (const key_case& c : cases) expect_key_reads(c);
}

TEST_F(KeyInput, DigitsSignsPointAndExponentLettersReadAsThemselves) {
    const std::string keys = "0123456789.-+Ee";
    for (char c : keys) tap_key(ch(c));
    std::string read;
    for (std::size_t k = 0; k < keys.size(); ++k) read += next_key();
    EXPECT_EQ(read, keys);
}

TEST_F(KeyInput, AFullBufferDropsTheSixteenthKeyAndKeepsTheOrder) {
    EXPECT_EQ(key_buffer().head(), 30);
    EXPECT_EQ(key_buffer().tail(), 30);
    // Twice round, so that the offsets wrap from 60 back to 30.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const std::string keys = round == 0 ? "abcdefghijklmnop" : "ABCDEFGHIJKLMNOP";
        for (char c : keys) tap_key(ch(c));
        EXPECT_EQ(key_buffer().waiting(), 15);
        std::string read;
        for (int k = 0; k < 16; ++k) read += next_key();
        EXPECT_EQ(read, keys.substr(0, 15));
        EXPECT_TRUE(key_buffer().empty());
    }
}

TEST_F(KeyInput, AHeldKeyQueuesOneEntryPerAutoRepeatUntilTheBufferIsFull) {
    for (int repeat = 0; repeat < 20; ++repeat) handle_key_down(ch('7'));
    handle_key_up(ch('7'));
    EXPECT_EQ(key_buffer().waiting(), 15);
    std::string read;
    for (int k = 0; k < 16; ++k) read += next_key();
    EXPECT_EQ(read, std::string(15, '7'));
}

TEST_F(KeyInput, ModifierAndLockKeysAloneQueueNothing) {
    const key_event alone[] = {
        key_event::modifier(modifier_key::left_shift), key_event::modifier(modifier_key::right_shift),
        key_event::modifier(modifier_key::left_ctrl),  key_event::modifier(modifier_key::right_ctrl),
        key_event::modifier(modifier_key::left_alt),   key_event::modifier(modifier_key::right_alt),
        key_event::lock(lock_key::caps_lock),          key_event::lock(lock_key::num_lock),
    };
    for (const key_event& key : alone) tap_key(key);
    EXPECT_TRUE(key_buffer().empty());
    EXPECT_EQ(flags().paused.load(), 0);
    EXPECT_EQ(flags().event_pending.load(), 0);
    // Released modifiers no longer change a key.
    tap_key(ch('e'));
    EXPECT_EQ(next_key(), "e");
}

TEST_F(KeyInput, AltEnterSwitchesFullScreenAndQueuesNothing) {
    int switches = 0;
    set_full_screen_switch([&] { ++switches; });
    handle_key_down(key_event::modifier(modifier_key::left_alt));
    tap_key(ch('\r'));
    handle_key_up(key_event::modifier(modifier_key::left_alt));
    EXPECT_EQ(switches, 1);
    EXPECT_TRUE(key_buffer().empty());
    tap_key(ch('\r'));
    EXPECT_EQ(switches, 1);
    EXPECT_EQ(next_key(), "\r");
}

TEST_F(KeyInput, PauseHoldsUntilAKeyThatIsNotQueued) {
    tap_key(key_event::pause());
    EXPECT_EQ(flags().paused.load() & 1, 1);
    EXPECT_EQ(flags().event_pending.load(), 1);
    EXPECT_TRUE(key_buffer().empty());
    tap_key(ch('x'));
    EXPECT_EQ(flags().paused.load() & 1, 0);
    EXPECT_TRUE(key_buffer().empty());
    tap_key(ch('y'));
    EXPECT_EQ(next_key(), "y");

    // A modifier key ends a pause too, and Num Lock turned on with Ctrl held is Pause.
    handle_key_down(key_event::modifier(modifier_key::left_ctrl));
    handle_key_down(key_event::lock(lock_key::num_lock));
    EXPECT_EQ(flags().paused.load() & 1, 1);
    handle_key_up(key_event::lock(lock_key::num_lock));
    handle_key_up(key_event::modifier(modifier_key::left_ctrl));
    tap_key(key_event::modifier(modifier_key::right_shift));
    EXPECT_EQ(flags().paused.load() & 1, 0);
    EXPECT_TRUE(key_buffer().empty());
}

TEST_F(KeyInput, BreakFinishesTheProgramAndQueuesNothing) {
    tap_key(key_event::break_key());
    EXPECT_EQ(flags().program_finished.load(), 1);
    EXPECT_TRUE(key_buffer().empty());
}

TEST_F(KeyInput, ReadKeyTakesNothingWhileAnErrorIsPending) {
    tap_key(ch('7'));
    raise_error(illegal_function_call);
    EXPECT_EQ(next_key(), "");
    EXPECT_EQ(key_buffer().waiting(), 1);
    flags().error_pending.store(0);
    EXPECT_EQ(next_key(), "7");
}

TEST_F(KeyInput, ReadKeyGivesATemporaryTextReleasedWithItsStatement) {
    tap_key(key_event::extended_key(extended::up));
    const std::size_t mark = temp_string_mark();
    const std::string_view key = read_key();
    EXPECT_EQ(key, two_bytes(0, 72));
    EXPECT_EQ(live_temp_strings(), mark + 1);
    release_temp_strings(mark);
    EXPECT_EQ(live_temp_strings(), mark);
    // Nothing waiting: the empty text, and no temporary made.
    EXPECT_EQ(read_key(), "");
    EXPECT_EQ(live_temp_strings(), mark);
}

TEST_F(KeyInput, StringComparisonsGiveMinusOneForTrue) {
    const std::string nul(1, '\0');
    const std::string up = two_bytes(0, 72), down = two_bytes(0, 80);
    EXPECT_EQ(strings_equal("", ""), -1);
    EXPECT_EQ(strings_equal("a", ""), 0);
    EXPECT_EQ(strings_equal(nul, ""), 0);  // a NUL byte is not the empty text
    EXPECT_EQ(strings_equal(up, down), 0); // same length, other bytes
    EXPECT_EQ(strings_equal(up, two_bytes(0, 72)), -1);
    EXPECT_EQ(strings_differ(up, ""), -1);
    EXPECT_EQ(strings_differ("", ""), 0);
    EXPECT_EQ(strings_differ(up, down), -1);
    EXPECT_EQ(strings_differ("e", "e"), 0);
}

} // namespace

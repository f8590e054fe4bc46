// Keys as freeglut reports them, turned into the keyboard's key events.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <optional>
#include <utility>

#include "platform/headless/headless_runtime.h"
#include "platform/keys/key_buffer.h"
#include "platform/keys/key_translation.h"
#include "platform/runtime/flags.h"
#include "platform/window/key_watcher.h"
#include "platform/window/window_keys.h"
#include "platform/window/x11_event_filter.h"

using namespace platform;

namespace {

using queued = std::optional<std::pair<int, int>>;

// The one key that reached the key buffer, or nothing; fails on more.
queued take_queued() {
    const std::optional<key_slot> slot = key_buffer().pop();
    EXPECT_TRUE(key_buffer().empty()) << "more than one key queued";
    if (!slot) return std::nullopt;
    return std::pair<int, int>{slot->character, slot->scan};
}

// A typed character as freeglut reports it, down and up.
void type_char(unsigned char delivered, int glut_modifiers) {
    const key_event key = char_key_event(delivered, glut_modifiers);
    handle_key_down(key);
    handle_key_up(key);
}

} // namespace

TEST(WindowKeys, ModifiersAreShiftCtrlAndAltOnly) {
    EXPECT_EQ(shift_ctrl_alt(GLUT_ACTIVE_SUPER | GLUT_ACTIVE_CTRL), GLUT_ACTIVE_CTRL);
    EXPECT_EQ(shift_ctrl_alt(GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_ALT | GLUT_ACTIVE_SUPER),
              GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_ALT);
    EXPECT_EQ(shift_ctrl_alt(GLUT_ACTIVE_SUPER), 0);
}

TEST(WindowKeys, TypedCharacters) {
    struct char_case {
        unsigned char delivered;
        int modifiers;
        key_event expected;
    };
    const int ctrl = GLUT_ACTIVE_CTRL, shift = GLUT_ACTIVE_SHIFT, alt = GLUT_ACTIVE_ALT;
    const char_case cases[] = {
        {'a', 0, key_event::character('a')},
        {'A', shift, key_event::character('A')},
        {5, ctrl, key_event::character('e')}, // Ctrl+E arrives as 5
        {5, ctrl | shift, key_event::character('E')},
        {1, ctrl, key_event::character('a')},
        {26, ctrl, key_event::character('z')},
        {10, ctrl, key_event::character(13)}, // Ctrl with line feed is Enter
        {10, 0, key_event::character(10)},
        {13, 0, key_event::character(13)},
        {5, alt, key_event::character(5)}, // only Ctrl maps control codes
        {27, ctrl, key_event::character(27)},
        {127, 0, key_event::extended_key(extended::del)},
        {127, ctrl, key_event::extended_key(extended::del)},
        {'5', shift, key_event::character('5')},
    };
    for (const char_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << int(c.delivered) << " modifiers " << c.modifiers);
        EXPECT_EQ(char_key_event(c.delivered, c.modifiers), c.expected);
    }
}

TEST(WindowKeys, SpecialKeys) {
    struct special_case {
        int glut_key;
        std::optional<key_event> expected;
    };
    const special_case cases[] = {
        {GLUT_KEY_F1, key_event::extended_key(0x3B)},
        {GLUT_KEY_F5, key_event::extended_key(0x3F)},
        {GLUT_KEY_F10, key_event::extended_key(0x44)},
        {GLUT_KEY_F11, key_event::extended_key(0x85)},
        {GLUT_KEY_F12, key_event::extended_key(0x86)},
        {GLUT_KEY_LEFT, key_event::extended_key(0x4B)},
        {GLUT_KEY_UP, key_event::extended_key(0x48)},
        {GLUT_KEY_RIGHT, key_event::extended_key(0x4D)},
        {GLUT_KEY_DOWN, key_event::extended_key(0x50)},
        {GLUT_KEY_PAGE_UP, key_event::extended_key(0x49)},
        {GLUT_KEY_PAGE_DOWN, key_event::extended_key(0x51)},
        {GLUT_KEY_HOME, key_event::extended_key(0x47)},
        {GLUT_KEY_END, key_event::extended_key(0x4F)},
        {GLUT_KEY_INSERT, key_event::extended_key(0x52)},
        // The keypad's Delete with Num Lock off: the Delete key, as the main one.
        {GLUT_KEY_DELETE, key_event::extended_key(0x53)},
        {GLUT_KEY_SHIFT_L, key_event::modifier(modifier_key::left_shift)},
        {GLUT_KEY_SHIFT_R, key_event::modifier(modifier_key::right_shift)},
        {GLUT_KEY_CTRL_L, key_event::modifier(modifier_key::left_ctrl)},
        {GLUT_KEY_CTRL_R, key_event::modifier(modifier_key::right_ctrl)},
        {GLUT_KEY_ALT_L, key_event::modifier(modifier_key::left_alt)},
        {GLUT_KEY_ALT_R, key_event::modifier(modifier_key::right_alt)},
        {GLUT_KEY_NUM_LOCK, std::nullopt},
        {GLUT_KEY_BEGIN, std::nullopt},
        {GLUT_KEY_SUPER_L, std::nullopt},
    };
    for (const special_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "glut key " << c.glut_key);
        EXPECT_EQ(special_key_event(c.glut_key), c.expected);
    }
}

TEST(WindowKeys, KeysAreLookedUpWithoutCtrl) {
    struct state_case {
        unsigned state;
        bool tab_key;
        unsigned expected;
    };
    const state_case cases[] = {
        {ControlMask, false, 0},
        {ControlMask | ShiftMask, false, ShiftMask},
        {ControlMask | LockMask | Mod1Mask | Mod2Mask, false, LockMask | Mod1Mask | Mod2Mask},
        {ShiftMask, false, ShiftMask},
        {ShiftMask | ControlMask, true, 0},
        {ShiftMask | Mod2Mask, true, Mod2Mask},
    };
    for (const state_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << (c.tab_key ? " Tab" : ""));
        EXPECT_EQ(key_lookup_state(c.state, c.tab_key), c.expected);
    }
}

// With Ctrl held, the key's own character (as X gives it for the state
// without Ctrl) is translated in its Ctrl column.
TEST(WindowKeys, CtrlCombinationsQueueTheEntryOfTheKeyPressed) {
    struct ctrl_case {
        const char* key;
        unsigned char delivered;
        bool shift;
        queued expected;
    };
    const ctrl_case cases[] = {
        {"Enter", '\r', false, std::pair{0x0A, 0x1C}},
        {"Backspace", '\b', false, std::pair{0x7F, 0x0E}},
        {"Tab", '\t', false, std::pair{0x00, 0x94}},
        {"Shift+Tab", '\t', true, std::pair{0x00, 0x94}},
        {"space", ' ', false, std::pair{0x20, 0x39}},
        {"2", '2', false, std::pair{0x00, 0x03}},
        {"Shift+2", '@', true, std::pair{0x00, 0x03}},
        {"6", '6', false, std::pair{0x1E, 0x07}},
        {"-", '-', false, std::pair{0x1F, 0x0C}},
        {"E", 'e', false, std::pair{0x05, 0x12}},
        {"Shift+E", 'E', true, std::pair{0x05, 0x12}},
        {"Z", 'z', false, std::pair{0x1A, 0x2C}},
        {"Escape", 27, false, std::pair{0x1B, 0x01}},
        {"Delete", 127, false, std::pair{0x00, 0x93}},
        {"1", '1', false, std::nullopt},
        {"3", '3', false, std::nullopt},
        {"7", '7', false, std::nullopt},
        {"8", '8', false, std::nullopt},
        {"0", '0', false, std::nullopt},
        {".", '.', false, std::nullopt},
        {"+", '+', true, std::nullopt},
    };
    for (const ctrl_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Ctrl+" << c.key);
        reset_runtime();
        handle_key_down(key_event::modifier(modifier_key::right_ctrl));
        if (c.shift) handle_key_down(key_event::modifier(modifier_key::left_shift));
        // freeglut reports the modifiers of the looked-up state: no Ctrl.
        type_char(c.delivered, c.shift ? GLUT_ACTIVE_SHIFT : 0);
        EXPECT_EQ(take_queued(), c.expected);
    }
    reset_runtime();
}

TEST(WindowKeys, HeldModifiersFollowTheKeymap) {
    constexpr KeyCode shift_l = 50, shift_r = 62, ctrl_l = 37, ctrl_r = 105, alt_l = 64;
    const modifier_keycodes codes{shift_l, shift_r, ctrl_l, ctrl_r, alt_l, 0};
    const auto keymap_with = [](std::initializer_list<KeyCode> down, char(&keymap)[32]) {
        for (char& byte : keymap) byte = 0;
        for (KeyCode code : down) keymap[code / 8] = static_cast<char>(keymap[code / 8] | (1 << (code % 8)));
    };
    char keymap[32];
    reset_runtime();

    // Ctrl let go while the window had no focus: no longer held.
    handle_key_down(key_event::modifier(modifier_key::left_ctrl));
    keymap_with({}, keymap);
    sync_held_modifiers(keymap, codes);
    type_char('a', 0);
    EXPECT_EQ(take_queued(), queued(std::pair{'a', 0x1E}));

    // Right Ctrl pressed meanwhile and still down: held. Keycode 0 (a key
    // that the map lacks) is never down, whatever bit 0 of the keymap says.
    keymap_with({0, ctrl_r}, keymap);
    sync_held_modifiers(keymap, codes);
    type_char('a', 0);
    EXPECT_EQ(take_queued(), queued(std::pair{0x01, 0x1E}));

    // The keymap with Alt down: Alt's column wins over Ctrl's.
    keymap_with({ctrl_r, alt_l}, keymap);
    sync_held_modifiers(keymap, codes);
    type_char('a', 0);
    EXPECT_EQ(take_queued(), queued(std::pair{0x00, 0x1E}));

    // A key that the keymap shows down during a pause does not end it.
    keymap_with({}, keymap);
    sync_held_modifiers(keymap, codes);
    handle_key_down(key_event::pause());
    keymap_with({shift_l}, keymap);
    sync_held_modifiers(keymap, codes);
    EXPECT_EQ(flags().paused.load() & 1, 1);
    type_char('a', GLUT_ACTIVE_SHIFT); // ends the pause, not queued
    EXPECT_EQ(flags().paused.load() & 1, 0);
    EXPECT_EQ(take_queued(), std::nullopt);
    type_char('\t', GLUT_ACTIVE_SHIFT);
    EXPECT_EQ(take_queued(), queued(std::pair{0x00, 0x0F}));
    reset_runtime();
}

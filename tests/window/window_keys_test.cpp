// Keys as freeglut reports them, turned into the keyboard's key events.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include "platform/key_translation.h"
#include "platform/window/window_keys.h"

using namespace platform;

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
        {5, ctrl, key_event::character('e')},           // Ctrl+E arrives as 5
        {5, ctrl | shift, key_event::character('E')},
        {1, ctrl, key_event::character('a')},
        {26, ctrl, key_event::character('z')},
        {10, ctrl, key_event::character(13)},           // Ctrl with line feed is Enter
        {10, 0, key_event::character(10)},
        {13, 0, key_event::character(13)},
        {5, alt, key_event::character(5)},              // only Ctrl maps control codes
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

// freeglut's key callbacks and the mapping of their codes to key events.
#include "platform/window/window_keys.h"

#include <GL/freeglut.h>

#include "platform/keys/key_translation.h"
#include "platform/window/key_stream_order.h"
#include "platform/window/key_watcher.h"

namespace platform {

namespace {

constexpr unsigned char line_feed = 10;
constexpr unsigned char carriage_return = 13;
constexpr unsigned char delete_code = 127;

// `place` is the key's place in the window's key stream, which the event
// filter gave freeglut as the key's x position.
void pass_on(key_event key, bool down, stream_place place) {
    window_key_watcher().drain();
    // A Pause or Break typed before this key goes first; one typed after it waits.
    window_key_order().hand_on_before(place);
    if (down) handle_key_down(key);
    else handle_key_up(key);
}

void pass_on_char(unsigned char key, bool down, stream_place place) {
    pass_on(char_key_event(key, shift_ctrl_alt(glutGetModifiers())), down, place);
}

void pass_on_special(int key, bool down, stream_place place) {
    const std::optional<key_event> event = special_key_event(key);
    if (event) pass_on(*event, down, place);
}

} // namespace

int shift_ctrl_alt(int glut_modifiers) {
    return glut_modifiers & (GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_CTRL | GLUT_ACTIVE_ALT);
}

key_event char_key_event(unsigned char key, int modifiers) {
    unsigned code = key;
    if ((modifiers & GLUT_ACTIVE_CTRL) != 0) {
        if (code == line_feed) code = carriage_return;
        else if (code >= 1 && code <= 26) code += (modifiers & GLUT_ACTIVE_SHIFT) != 0 ? 64 : 96;
    }
    if (code == delete_code) return key_event::extended_key(extended::del);
    return key_event::character(static_cast<std::uint8_t>(code));
}

std::optional<key_event> special_key_event(int glut_key) {
    if (glut_key >= GLUT_KEY_F1 && glut_key <= GLUT_KEY_F10)
        return key_event::extended_key(static_cast<std::uint8_t>(extended::f1 + (glut_key - GLUT_KEY_F1)));
    switch (glut_key) {
        case GLUT_KEY_F11: return key_event::extended_key(extended::f11);
        case GLUT_KEY_F12: return key_event::extended_key(extended::f12);
        case GLUT_KEY_LEFT: return key_event::extended_key(extended::left);
        case GLUT_KEY_UP: return key_event::extended_key(extended::up);
        case GLUT_KEY_RIGHT: return key_event::extended_key(extended::right);
        case GLUT_KEY_DOWN: return key_event::extended_key(extended::down);
        case GLUT_KEY_PAGE_UP: return key_event::extended_key(extended::page_up);
        case GLUT_KEY_PAGE_DOWN: return key_event::extended_key(extended::page_down);
        case GLUT_KEY_HOME: return key_event::extended_key(extended::home);
        case GLUT_KEY_END: return key_event::extended_key(extended::end);
        case GLUT_KEY_INSERT: return key_event::extended_key(extended::insert);
        // The keypad's Delete (Num Lock off); the main Delete key comes as
        // the character 127.
        case GLUT_KEY_DELETE: return key_event::extended_key(extended::del);
        case GLUT_KEY_SHIFT_L: return key_event::modifier(modifier_key::left_shift);
        case GLUT_KEY_SHIFT_R: return key_event::modifier(modifier_key::right_shift);
        case GLUT_KEY_CTRL_L: return key_event::modifier(modifier_key::left_ctrl);
        case GLUT_KEY_CTRL_R: return key_event::modifier(modifier_key::right_ctrl);
        case GLUT_KEY_ALT_L: return key_event::modifier(modifier_key::left_alt);
        case GLUT_KEY_ALT_R: return key_event::modifier(modifier_key::right_alt);
        default: return std::nullopt;
    }
}

void translate_key_char(unsigned char key, int place, int) { pass_on_char(key, true, place); }
void translate_key_char_up(unsigned char key, int place, int) { pass_on_char(key, false, place); }
void translate_special_key(int key, int place, int) { pass_on_special(key, true, place); }
void translate_special_key_up(int key, int place, int) { pass_on_special(key, false, place); }

} // namespace platform

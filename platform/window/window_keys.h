// Keys as freeglut reports them, turned into key events for the keyboard.
#pragma once

#include <optional>

#include "platform/keys/keyboard.h"

namespace platform {

// The Shift, Ctrl and Alt bits of glutGetModifiers (freeglut adds a Super bit
// with Num Lock on, and reports Caps Lock as Shift).
int shift_ctrl_alt(int glut_modifiers);

// A typed character with the modifiers of that moment: Ctrl with 10 gives 13,
// Ctrl with 1..26 the letter (upper case with Shift), 127 the Delete key.
// The event filter has freeglut look keys up without Ctrl, so it reports the
// key's own character without Ctrl, and Ctrl reaches the keyboard through its
// held keys; the control codes are mapped for any that still come.
key_event char_key_event(unsigned char key, int modifiers);

// A special key: the function keys, arrows, Home, End, Page Up, Page Down
// and Insert as extended codes, the six modifier keys as modifiers; nothing
// for the others.
std::optional<key_event> special_key_event(int glut_key);

// freeglut's keyboard, keyboard-up, special and special-up callbacks; x
// carries the key's place in the window's key stream (key_stream_order.h).
void translate_key_char(unsigned char key, int x, int y);
void translate_key_char_up(unsigned char key, int x, int y);
void translate_special_key(int key, int x, int y);
void translate_special_key_up(int key, int x, int y);

} // namespace platform

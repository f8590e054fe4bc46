// The held keys and the translation of key-downs into key buffer entries.
#include "platform/keys/keyboard.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/keys/key_buffer.h"
#include "platform/keys/key_translation.h"
#include "platform/runtime/flags.h"

namespace platform {

namespace {

constexpr std::uint8_t enter_code = 13;

// The held keys are touched by the window and frame threads only; the program
// thread never takes this lock.
std::mutex held_lock;
std::vector<key_event> held_keys;
std::function<void()> full_screen_switch;

bool is_held(key_event key) { return std::find(held_keys.begin(), held_keys.end(), key) != held_keys.end(); }

bool either_held(modifier_key left, modifier_key right) {
    return is_held(key_event::modifier(left)) || is_held(key_event::modifier(right));
}

// The column of the held modifiers: Alt goes before Ctrl, Ctrl before Shift.
modifier_column held_column() {
    if (either_held(modifier_key::left_alt, modifier_key::right_alt)) return modifier_column::alt;
    if (either_held(modifier_key::left_ctrl, modifier_key::right_ctrl)) return modifier_column::ctrl;
    if (either_held(modifier_key::left_shift, modifier_key::right_shift)) return modifier_column::shift;
    return modifier_column::none;
}

// The pair that a translated value stands for.
key_slot slot_for(std::uint16_t value, std::uint8_t scan) {
    if (value >= 256) return {0, static_cast<std::uint8_t>(value / 256)};
    return {static_cast<std::uint8_t>(value), scan};
}

} // namespace

void handle_key_down(key_event key) {
    std::lock_guard guard(held_lock);
    if (!is_held(key)) held_keys.push_back(key);
    runtime_flags& f = flags();

    if (key.kind == key_kind::break_key) {
        f.program_finished.store(1);
        return;
    }
    const bool ctrl = either_held(modifier_key::left_ctrl, modifier_key::right_ctrl);
    const bool num_lock_on = key.kind == key_kind::lock && key.code == static_cast<std::uint8_t>(lock_key::num_lock);
    if (key.kind == key_kind::pause || (num_lock_on && ctrl)) {
        f.paused.fetch_or(pause_hold_bit);
        f.event_pending.store(1);
        return;
    }
    if ((f.paused.load() & pause_hold_bit) != 0) {
        f.paused.fetch_and(static_cast<std::uint8_t>(~pause_hold_bit));
        return;
    }
    const bool alt = either_held(modifier_key::left_alt, modifier_key::right_alt);
    if (alt && key.kind == key_kind::character && key.code == enter_code) {
        if (full_screen_switch) full_screen_switch();
        return;
    }
    if (key.kind != key_kind::character && key.kind != key_kind::extended) return;

    key_slot slot{};
    if (key.kind == key_kind::character) {
        const key_translation_row& row = key_translation_table[key.code];
        slot = {key.code, row.scan};
        if (row.scan != 0) {
            const std::uint16_t value = row.value[static_cast<int>(held_column())];
            if (value == 0) return;
            slot = slot_for(value, row.scan);
        }
    } else {
        const key_translation_row& row = key_translation_table[extended_row(key.code)];
        slot = {0, key.code};
        if (row.value[0] != 0) {
            const std::uint16_t value = row.value[static_cast<int>(held_column())];
            if (value == 0) return;
            slot = slot_for(value, key.code);
        }
    }
    key_buffer().push(slot);
}

void handle_key_up(key_event key) {
    std::lock_guard guard(held_lock);
    held_keys.erase(std::remove(held_keys.begin(), held_keys.end(), key), held_keys.end());
}

void set_key_held(key_event key, bool held) {
    std::lock_guard guard(held_lock);
    if (held && !is_held(key)) held_keys.push_back(key);
    if (!held) held_keys.erase(std::remove(held_keys.begin(), held_keys.end(), key), held_keys.end());
}

void reset_keyboard() {
    std::lock_guard guard(held_lock);
    held_keys.clear();
    key_buffer().clear();
}

void set_full_screen_switch(std::function<void()> toggle) {
    std::lock_guard guard(held_lock);
    full_screen_switch = std::move(toggle);
}

} // namespace platform

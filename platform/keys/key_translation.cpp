#include "platform/keys/key_translation.h"

#include <string_view>

namespace platform {

namespace {

constexpr std::uint16_t ext(std::uint8_t code) { return static_cast<std::uint16_t>(code * 256); }

using table = std::array<key_translation_row, translation_rows>;

constexpr void set_row(table& t, int index, std::uint8_t scan, std::uint16_t none, std::uint16_t shift,
                       std::uint16_t ctrl, std::uint16_t alt) {
    t[index] = key_translation_row{scan, {none, shift, ctrl, alt}};
}

// Printable keys of the US layout: the character with and without Shift, its
// scan code, and what Ctrl and Alt give (PC BIOS keyboard codes).
struct key_cap {
    char plain;
    char shifted;
    std::uint8_t scan;
    std::uint16_t ctrl;
    std::uint16_t alt;
};

constexpr key_cap key_caps[] = {
    {'1', '!', 0x02, 0, ext(0x78)},    {'2', '@', 0x03, ext(0x03), ext(0x79)}, {'3', '#', 0x04, 0, ext(0x7A)},
    {'4', '$', 0x05, 0, ext(0x7B)},    {'5', '%', 0x06, 0, ext(0x7C)},         {'6', '^', 0x07, 0x1E, ext(0x7D)},
    {'7', '&', 0x08, 0, ext(0x7E)},    {'8', '*', 0x09, 0, ext(0x7F)},         {'9', '(', 0x0A, 0, ext(0x80)},
    {'0', ')', 0x0B, 0, ext(0x81)},    {'-', '_', 0x0C, 0x1F, ext(0x82)},      {'=', '+', 0x0D, 0, ext(0x83)},
    {'[', '{', 0x1A, 0x1B, ext(0x1A)}, {']', '}', 0x1B, 0x1D, ext(0x1B)},      {';', ':', 0x27, 0, ext(0x27)},
    {'\'', '"', 0x28, 0, ext(0x28)},   {'`', '~', 0x29, 0, ext(0x29)},         {'\\', '|', 0x2B, 0x1C, ext(0x2B)},
    {',', '<', 0x33, 0, ext(0x33)},    {'.', '>', 0x34, 0, ext(0x34)},         {'/', '?', 0x35, 0, ext(0x35)},
};

// Scan codes of the letters a..z.
constexpr std::uint8_t letter_scan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                          0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

constexpr table make_table() {
    table t{};
    set_row(t, 0x08, 0x0E, 0x08, 0x08, 0x7F, ext(0x0E));
    set_row(t, 0x09, 0x0F, 0x09, ext(0x0F), ext(0x94), 0);
    set_row(t, 0x0D, 0x1C, 0x0D, 0x0D, 0x0A, 0);
    set_row(t, 0x1B, 0x01, 0x1B, 0x1B, 0x1B, 0);
    set_row(t, 0x20, 0x39, 0x20, 0x20, 0x20, 0);
    for (const key_cap& k : key_caps) {
        const auto plain = static_cast<std::uint8_t>(k.plain);
        const auto shifted = static_cast<std::uint8_t>(k.shifted);
        // A character is delivered with Shift already applied, so each of the
        // two characters has its own row; both give themselves with or
        // without Shift.
        set_row(t, plain, k.scan, plain, plain, k.ctrl, k.alt);
        set_row(t, shifted, k.scan, shifted, shifted, k.ctrl, k.alt);
    }
    for (int i = 0; i < 26; ++i) {
        const auto lower = static_cast<std::uint8_t>('a' + i);
        const auto upper = static_cast<std::uint8_t>('A' + i);
        const auto control = static_cast<std::uint16_t>(i + 1);
        set_row(t, lower, letter_scan[i], lower, lower, control, ext(letter_scan[i]));
        set_row(t, upper, letter_scan[i], upper, upper, control, ext(letter_scan[i]));
    }
    // Extended keys. F1..F10 with Shift, Ctrl and Alt give the codes 54,
    // 5E and 68 hex onwards.
    for (int f = 0; f <= extended::f10 - extended::f1; ++f) {
        const auto code = static_cast<std::uint8_t>(extended::f1 + f);
        set_row(t, extended_row(code), code, ext(code), ext(static_cast<std::uint8_t>(0x54 + f)),
                ext(static_cast<std::uint8_t>(0x5E + f)), ext(static_cast<std::uint8_t>(0x68 + f)));
    }
    set_row(t, extended_row(extended::f11), 0x57, ext(extended::f11), ext(extended::f11), ext(0x89), ext(0x8B));
    set_row(t, extended_row(extended::f12), 0x58, ext(extended::f12), ext(extended::f12), ext(0x8A), ext(0x8C));
    struct cursor_key {
        std::uint8_t code, ctrl, alt;
    };
    constexpr cursor_key cursor_keys[] = {
        {extended::up, 0x8D, 0x98},      {extended::down, 0x91, 0xA0},      {extended::left, 0x73, 0x9B},
        {extended::right, 0x74, 0x9D},   {extended::home, 0x77, 0x97},      {extended::end, 0x75, 0x9F},
        {extended::page_up, 0x84, 0x99}, {extended::page_down, 0x76, 0xA1}, {extended::insert, 0x92, 0xA2},
        {extended::del, 0x93, 0xA3},
    };
    for (const cursor_key& k : cursor_keys) {
        set_row(t, extended_row(k.code), k.code, ext(k.code), ext(k.code), ext(k.ctrl), ext(k.alt));
    }
    return t;
}

} // namespace

const std::array<key_translation_row, translation_rows> key_translation_table = make_table();

} // namespace platform

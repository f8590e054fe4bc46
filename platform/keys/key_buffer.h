// The emulated keyboard ring: a head and a tail offset and 16 two-byte slots
// at offsets 30 to 61, as the PC BIOS keeps them; at most 15 keys wait.
//
// One writer (the window side) and one reader (the program thread). The
// writer stores both bytes of a slot before it advances the tail, the reader
// reads both before it advances the head; the offsets are atomics, so no lock
// is needed.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

namespace platform {

struct key_slot {
    std::uint8_t character = 0;
    std::uint8_t scan = 0;
};

class key_buffer_ring {
public:
    static constexpr std::uint8_t first_offset = 30;
    static constexpr std::uint8_t end_offset = 62;
    static constexpr int slot_bytes = 2;
    static constexpr int ring_bytes = end_offset - first_offset; // 16 slots

    // Adds a key at the tail; false (and the key dropped) when 15 wait.
    bool push(key_slot key);
    // Takes the key at the head, if any.
    std::optional<key_slot> pop();
    bool empty() const { return head_.load() == tail_.load(); }
    int waiting() const;
    void clear();

    std::uint8_t head() const { return head_.load(); }
    std::uint8_t tail() const { return tail_.load(); }

private:
    static std::uint8_t step(std::uint8_t offset) {
        const auto next = static_cast<std::uint8_t>(offset + slot_bytes);
        return next == end_offset ? first_offset : next;
    }

    std::atomic<std::uint8_t> head_{first_offset};
    std::atomic<std::uint8_t> tail_{first_offset};
    // The bytes at offsets 0 to 63, of which the slots take 30 to 61.
    std::array<std::atomic<std::uint8_t>, end_offset + slot_bytes> bytes_{};
};

key_buffer_ring& key_buffer();

} // namespace platform

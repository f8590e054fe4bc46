#include "platform/keys/key_buffer.h"

namespace platform {

bool key_buffer_ring::push(key_slot key) {
    const std::uint8_t tail = tail_.load();
    const std::uint8_t next = step(tail);
    if (next == head_.load()) return false;
    bytes_[tail].store(key.character);
    bytes_[tail + 1].store(key.scan);
    tail_.store(next);
    return true;
}

std::optional<key_slot> key_buffer_ring::pop() {
    const std::uint8_t head = head_.load();
    if (head == tail_.load()) return std::nullopt;
    key_slot key{bytes_[head].load(), bytes_[head + 1].load()};
    head_.store(step(head));
    return key;
}

int key_buffer_ring::waiting() const {
    const int h = head_.load(), t = tail_.load();
    return ((t - h + ring_bytes) % ring_bytes) / slot_bytes;
}

void key_buffer_ring::clear() {
    for (auto& b : bytes_) b.store(0);
    head_.store(first_offset);
    tail_.store(first_offset);
}

key_buffer_ring& key_buffer() {
    static key_buffer_ring ring;
    return ring;
}

} // namespace platform

#include "platform/runtime/fpu_control.h"

namespace platform {

namespace {

unsigned short read_control_word() {
    unsigned short word = 0;
#if defined(__x86_64__) || defined(__i386__)
    asm volatile("fnstcw %0" : "=m"(word));
#endif
    return word;
}

void write_control_word(unsigned short word) {
#if defined(__x86_64__) || defined(__i386__)
    asm volatile("fldcw %0" : : "m"(word));
#else
    (void)word;
#endif
}

constexpr unsigned short precision_mask = 0x0300;
constexpr unsigned short precision_extended = 0x0300;

} // namespace

void set_extended_precision() {
    write_control_word(static_cast<unsigned short>((read_control_word() & ~precision_mask) | precision_extended));
}

int x87_precision_field() { return (read_control_word() & precision_mask) >> 8; }

} // namespace platform

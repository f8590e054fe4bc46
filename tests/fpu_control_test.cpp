// The routine's floating-point set-up: set_extended_precision selects a
// 64-bit mantissa and leaves rounding and exception masks alone, and the
// arithmetic-exception signal goes to on_float_exception.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

#include "platform/runtime/errors.h"
#include "platform/runtime/float_exception.h"
#include "platform/runtime/fpu_control.h"

using namespace platform;

namespace {

unsigned short control_word() {
    unsigned short word = 0;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

void load_control_word(unsigned short word) { asm volatile("fldcw %0" : : "m"(word)); }

// Restores the thread's control word whatever a test did to it.
class FpuPrecision : public ::testing::Test {
protected:
    void SetUp() override { saved_ = control_word(); }
    void TearDown() override { load_control_word(saved_); }

private:
    unsigned short saved_ = 0;
};

// 2^24 + 1 + 2^-30, summed on the x87 unit: the sum needs 55 bits of
// mantissa, so in double precision the 2^-30 is lost and in extended
// precision it is kept.
long double sum_beyond_double() {
    volatile float big = 16777216.0f;
    volatile long double one = 1.0L;
    volatile long double tiny = std::ldexp(1.0L, -30);
    return static_cast<long double>(big) + one + tiny;
}

constexpr unsigned short precision_bits = 0x0300;

TEST_F(FpuPrecision, SelectsTheExtendedMantissaAndKeepsRoundingAndMasks) {
    // Start from double precision (field 2) with rounding toward zero and
    // every exception masked.
    const unsigned short start = 0x0E7F;
    load_control_word(start);
    ASSERT_EQ(x87_precision_field(), 2);
    const long double in_double = sum_beyond_double();
    EXPECT_EQ(in_double, 16777217.0L);

    set_extended_precision();
    EXPECT_EQ(x87_precision_field(), 3);
    EXPECT_EQ(control_word(), static_cast<unsigned short>(start | precision_bits));
    const long double in_extended = sum_beyond_double();
    EXPECT_EQ(in_extended - 16777217.0L, std::ldexp(1.0L, -30));

    // Single precision to extended, with rounding to nearest.
    load_control_word(0x007F);
    ASSERT_EQ(x87_precision_field(), 0);
    set_extended_precision();
    EXPECT_EQ(control_word(), 0x037F);
}

TEST(FloatExceptionHandler, IsInstalledForTheArithmeticExceptionSignal) {
    install_float_exception_handler();
    const auto previous = std::signal(SIGFPE, SIG_DFL);
    EXPECT_EQ(previous, &on_float_exception);
}

} // namespace

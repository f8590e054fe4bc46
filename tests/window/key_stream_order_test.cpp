// Pause and Break handed on in their place among the other keys of the window.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <optional>
#include <string>

#include "platform/headless/headless_runtime.h"
#include "platform/keys/key_buffer.h"
#include "platform/keys/keyboard.h"
#include "platform/runtime/flags.h"
#include "platform/window/key_stream_order.h"
#include "platform/window/x11_event_filter.h"

using namespace platform;

namespace {

// A key as the window thread passes it on: what was held from before it first.
void key_at(key_stream_order& order, char character, stream_place place) {
    order.hand_on_before(place);
    handle_key_down(key_event::character(static_cast<std::uint8_t>(character)));
    handle_key_up(key_event::character(static_cast<std::uint8_t>(character)));
}

std::string queued_characters() {
    std::string text;
    while (const std::optional<key_slot> slot = key_buffer().pop()) text.push_back(static_cast<char>(slot->character));
    return text;
}

class KeyStreamOrder : public ::testing::Test {
protected:
    void SetUp() override { reset_runtime(); }
    void TearDown() override { reset_runtime(); }

    key_stream_order order;
};

} // namespace

TEST_F(KeyStreamOrder, AKeyTypedBeforePauseIsQueuedAndTheKeyAfterItOnlyEndsThePause) {
    // "4", Pause, "9", Enter read from the stream in one burst, before
    // freeglut reports the first of them.
    const stream_place four = order.next_place();
    const stream_place pause_down = order.next_place();
    order.hold(window_event::pause_key, true, pause_down);
    const stream_place pause_up = order.next_place();
    order.hold(window_event::pause_key, false, pause_up);
    const stream_place nine = order.next_place();
    const stream_place enter = order.next_place();

    key_at(order, '4', four);
    EXPECT_EQ(flags().paused.load(), 0) << "the Pause typed after the 4 was handed on before it";
    key_at(order, '9', nine);
    key_at(order, '\r', enter);
    EXPECT_EQ(queued_characters(), "4\r");
    EXPECT_EQ(flags().paused.load(), 0);
}

TEST_F(KeyStreamOrder, APauseThatNoKeyFollowsIsHandedOnAtTheTick) {
    const stream_place four = order.next_place();
    order.hold(window_event::pause_key, true, order.next_place());
    key_at(order, '4', four);
    EXPECT_EQ(flags().paused.load(), 0);
    order.hand_on_all();
    EXPECT_EQ(flags().paused.load(), 1);
    EXPECT_EQ(flags().event_pending.load(), 1);
    EXPECT_EQ(queued_characters(), "4");
}

TEST_F(KeyStreamOrder, BreakIsHandedOnInItsPlace) {
    order.hold(window_event::break_key, true, order.next_place());
    const stream_place after = order.next_place();
    EXPECT_EQ(flags().program_finished.load(), 0);
    key_at(order, 'x', after);
    EXPECT_EQ(flags().program_finished.load(), 1);
}

TEST(KeyStreamPlaces, CountOnAcrossTheWrapOf31Bits) {
    EXPECT_TRUE(comes_before(0, 1));
    EXPECT_FALSE(comes_before(1, 0));
    EXPECT_FALSE(comes_before(7, 7));
    EXPECT_TRUE(comes_before(0x7FFFFFFF, 0)) << "the place after the largest is 0";
    EXPECT_FALSE(comes_before(0, 0x7FFFFFFF));
    EXPECT_TRUE(comes_before(0x7FFFFFF0, 5));
}

TEST(PauseOrBreak, TheKeysThatFreeglutDoesNotReport) {
    constexpr unsigned pause_code = 127;
    struct key_case {
        unsigned keycode;
        unsigned state;
        unsigned break_code;
        std::optional<window_event> expected;
    };
    const key_case cases[] = {
        {127, 0, 127, window_event::pause_key},
        {127, ShiftMask, 127, window_event::pause_key},
        {127, ControlMask, 127, window_event::break_key}, // Ctrl with Pause is Break
        {127, 0, 0, window_event::pause_key},             // a map with no Break at all
        {127, ControlMask, 0, window_event::break_key},
        {110, 0, 110, window_event::break_key}, // a key of its own for Break
        {38, 0, 127, std::nullopt},
        {38, ControlMask, 127, std::nullopt},
        {0, 0, 0, std::nullopt},
    };
    for (const key_case& c : cases) {
        EXPECT_EQ(pause_or_break(c.keycode, c.state, pause_code, c.break_code), c.expected)
            << "keycode " << c.keycode << " state " << c.state << " break code " << c.break_code;
    }
    EXPECT_EQ(pause_or_break(0, 0, 0, 0), std::nullopt) << "a map without Pause";
}

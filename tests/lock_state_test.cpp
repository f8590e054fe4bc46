// The lock keys as the frame thread polls them: a lock that turns on is a
// key-down (which ends a pause), one that turns off a key-up, and Num Lock
// turned on with Ctrl held is Pause. None of it reaches the key buffer.
#include <gtest/gtest.h>

#include "platform/headless/headless_runtime.h"
#include "platform/keys/key_buffer.h"
#include "platform/keys/key_event.h"
#include "platform/keys/keyboard.h"
#include "platform/keys/lock_state.h"
#include "platform/runtime/flags.h"

using namespace platform;

TEST(LockKeyReporter, LockTurnedOnIsAKeyDownThatEndsAPause) {
    reset_runtime();
    lock_key_reporter reporter;
    runtime_flags& f = flags();
    f.paused.store(1);
    reporter.poll({false, false});
    EXPECT_EQ(f.paused.load(), 1);
    reporter.poll({true, false}); // Caps Lock turned on
    EXPECT_EQ(f.paused.load(), 0);
    f.paused.store(1);
    reporter.poll({true, false}); // still on: nothing reported
    EXPECT_EQ(f.paused.load(), 1);
    reporter.poll({false, false}); // turned off: a key-up, which ends nothing
    EXPECT_EQ(f.paused.load(), 1);
    reporter.poll({true, false});
    EXPECT_EQ(f.paused.load(), 0);
    EXPECT_TRUE(key_buffer().empty());
    reset_runtime();
}

TEST(LockKeyReporter, NumLockTurnedOnWithCtrlHeldIsPause) {
    reset_runtime();
    lock_key_reporter reporter;
    runtime_flags& f = flags();
    reporter.poll({false, true}); // Num Lock on without Ctrl: only a lock key
    EXPECT_EQ(f.paused.load(), 0);
    reporter.poll({false, false});
    handle_key_down(key_event::modifier(modifier_key::left_ctrl));
    reporter.poll({false, true});
    EXPECT_EQ(f.paused.load(), 1);
    EXPECT_EQ(f.event_pending.load(), 1);
    EXPECT_TRUE(key_buffer().empty());
    reset_runtime();
}

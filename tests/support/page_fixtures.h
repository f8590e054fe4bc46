// Fixtures that more than one test file builds on: a mode 12 page of the
// test's own for line drawing, the viewport and clearing, and the runtime reset
// around the set-up calls of the page and the window.
#pragma once

#include <gtest/gtest.h>

#include <limits>

#include "platform/headless/headless_runtime.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/screen/line_drawing.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"

namespace testing_support {

// Coordinates that lie on no pixel.
inline constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();
inline constexpr float infinity = std::numeric_limits<float>::infinity();

// A fresh mode 12 page with no error pending; no line observer is left
// behind for the next test.
class Mode12PageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::reset_flags();
        platform::init_mode12_page(page);
    }
    void TearDown() override {
        platform::set_line_observer({});
        platform::reset_flags();
    }
    platform::drawing_page page;
};

// The whole runtime reset before and after; afterwards the default hooks are
// back and the frame builder counts as stopped.
class PageSetUp : public ::testing::Test {
protected:
    void SetUp() override { platform::reset_runtime(); }
    void TearDown() override {
        platform::install_default_hooks();
        platform::set_frame_builder_running(false);
        platform::reset_runtime();
    }
};

} // namespace testing_support

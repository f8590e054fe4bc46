// What the window-size rule is told of the window: whether the manager's
// state holds its size, and how much of the screen a client area may take.
#include <gtest/gtest.h>

#include <vector>

#include "platform/window/window_facts.h"

using namespace platform;

TEST(WindowFacts, MaximizedOrFullScreenHoldsTheSize) {
    constexpr Atom vert = 301, horz = 302, full = 303, hidden = 304, above = 305;
    struct state_case {
        std::vector<Atom> state;
        bool held;
    };
    const state_case cases[] = {
        {{}, false},
        {{hidden}, false},
        {{above, hidden}, false},
        {{vert, horz}, true},
        {{vert}, true}, // maximized in one direction only
        {{horz}, true},
        {{full}, true},
        {{above, full}, true},
        {{None}, false},
    };
    for (const state_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state.size() << " atoms");
        EXPECT_EQ(state_holds_size(c.state, vert, horz, full), c.held);
    }
    // A manager without full screen has no atom for it: None never matches.
    EXPECT_FALSE(state_holds_size(std::vector<Atom>{None}, vert, horz, None));
}

TEST(WindowFacts, UsableClientAreaIsTheWorkAreaLessTheFrame) {
    EXPECT_EQ(usable_client_area({1024, 768}, {}), (window_size{1024, 768}));
    EXPECT_EQ(usable_client_area({1600, 1170}, {1, 1, 20, 5}), (window_size{1598, 1145}));
    // Nonsense from a manager bounds nothing below zero.
    EXPECT_EQ(usable_client_area({100, 50}, {-5, 0, 60, 0}), (window_size{100, 0}));
    EXPECT_EQ(usable_client_area({100, 50}, {80, 80, 0, 0}), (window_size{0, 50}));
}

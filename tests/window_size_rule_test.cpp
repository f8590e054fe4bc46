// The window-size rule: following a new picture size, the aspect correction
// after a user resize, and the window settling, whatever order the window
// system's answers come in, under a manager that holds or refuses sizes and
// across the full-screen switch.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <variant>
#include <vector>

#include "platform/screen/window_size_rule.h"

using namespace platform;

namespace {

constexpr window_size picture{640, 480};
constexpr picture_scaling smooth = picture_scaling::smooth;
constexpr float picture_aspect = 640.0f / 480.0f;

// The request for a window that has the size last reported, is not held, on
// a screen of any size.
std::optional<window_size> window_size_request(display_geometry& g, window_size frame, picture_scaling scaling,
                                               bool snap_back) {
    return platform::window_size_request(g, frame, scaling, snap_back, [&g] { return window_facts{g.current}; });
}

// The window as it stands once the first 640 x 480 frame has brought it from
// 640 x 400 to the picture's size.
display_geometry after_first_frame() {
    display_geometry g;
    EXPECT_EQ(window_size_request(g, picture, smooth, false), picture);
    record_reshape(g, picture);
    EXPECT_EQ(window_size_request(g, picture, smooth, false), std::nullopt);
    return g;
}

} // namespace

TEST(WindowSizeRule, FirstFrameOfAnotherSizeBringsTheWindowToItWhateverSnapBack) {
    for (bool snap_back : {false, true}) {
        for (picture_scaling scaling : {picture_scaling::none, picture_scaling::stretch, picture_scaling::smooth}) {
            display_geometry g;
            EXPECT_EQ(window_size_request(g, picture, scaling, snap_back), picture);
            EXPECT_EQ(g.last_frame, picture);
            // The 640 x 400 window has aspect 1.6, the initial requested one, so
            // no aspect correction is made and the aspect is left as it was.
            EXPECT_EQ(g.last_requested_aspect, 1.6f);
        }
    }
}

TEST(WindowSizeRule, UserResizeIsBroughtBackToThePictureShapeFollowingTheBiggerChange) {
    struct resize_case {
        window_size dragged_to;
        window_size requested;
    };
    const resize_case cases[] = {
        {{800, 480}, {800, 599}},   // width followed: 800 / 1.33333337f truncates to 599
        {{640, 600}, {800, 600}},   // height followed: 600 * 1.33333337f truncates to 800
        {{700, 700}, {933, 700}},   // height changed by 220, width by 60: height followed
        {{660, 900}, {1200, 900}},  // height changed more
        {{1000, 500}, {1000, 749}}, // width changed more
        {{320, 480}, {320, 239}},   // shrinking truncates the same way
        // Width and height changed by the same amount: the height is followed
        // (following the width would give 700 x 524, 580 x 434, 700 x 524).
        {{700, 540}, {720, 540}}, // both grown by 60: 540 * 1.33333337f truncates to 720
        {{580, 420}, {560, 420}}, // both shrunk by 60: 420 * 1.33333337f truncates to 560
        {{700, 420}, {560, 420}}, // 60 wider and 60 shorter
    };
    for (const resize_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dragged_to.width << " x " << c.dragged_to.height);
        display_geometry g = after_first_frame();
        record_reshape(g, c.dragged_to);
        EXPECT_EQ(window_size_request(g, picture, smooth, false), c.requested);
        const float expected_aspect = static_cast<float>(static_cast<long double>(c.requested.width) /
                                                         static_cast<long double>(c.requested.height));
        EXPECT_EQ(g.last_requested_aspect, expected_aspect);
        // Once the window has the size asked for, nothing more is asked.
        record_reshape(g, c.requested);
        EXPECT_EQ(window_size_request(g, picture, smooth, false), std::nullopt);
    }
}

TEST(WindowSizeRule, WindowWithTheInitialRequestedAspectKeepsItsSize) {
    display_geometry g = after_first_frame();
    record_reshape(g, {768, 480});
    EXPECT_EQ(window_size_request(g, picture, smooth, false), std::nullopt);
    // With snap_back the window returns to the picture's size instead.
    display_geometry snapping = after_first_frame();
    record_reshape(snapping, {768, 480});
    EXPECT_EQ(window_size_request(snapping, picture, smooth, true), picture);
}

TEST(WindowSizeRule, NoAspectCorrectionWithoutScaling) {
    display_geometry g = after_first_frame();
    record_reshape(g, {800, 480});
    EXPECT_EQ(window_size_request(g, picture, picture_scaling::none, false), std::nullopt);
    display_geometry snapping = after_first_frame();
    record_reshape(snapping, {800, 480});
    EXPECT_EQ(window_size_request(snapping, picture, picture_scaling::none, true), picture);
}

// A size that was not granted is asked for once: asking again at every
// drawing fights a window manager that keeps its own size.
TEST(WindowSizeRule, DoesNotAskAgainWhenTheRequestedSizeWasNotGranted) {
    display_geometry g = after_first_frame();
    record_reshape(g, {800, 480});
    EXPECT_EQ(window_size_request(g, picture, smooth, false), (window_size{800, 599}));
    // No reshape came: the window still has an aspect that is neither.
    for (int drawing = 0; drawing < 5; ++drawing) EXPECT_EQ(window_size_request(g, picture, smooth, false), std::nullopt);
    EXPECT_EQ(g.current, (window_size{800, 480}));
}

TEST(WindowSizeRule, BothSidesUnchangedFollowsTheWidth) {
    // A reshape that reports the size the window had before.
    display_geometry g;
    g.current = {900, 480};
    g.last_frame = picture;
    record_reshape(g, {900, 480});
    EXPECT_EQ(window_size_request(g, picture, smooth, false), (window_size{900, 674}));
}

TEST(WindowSizeRule, PictureShapeAndScreenFit) {
    // Sizes that are their own correction, and sizes that are not.
    const std::pair<window_size, bool> shapes[] = {
        {{640, 480}, true}, {{800, 599}, true},  {{800, 600}, true}, {{1000, 749}, true}, {{933, 700}, true},
        {{300, 224}, true}, {{800, 480}, false}, {{768, 480}, false}, {{1000, 747}, false}, {{640, 400}, false},
    };
    for (const auto& [size, shaped] : shapes) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        EXPECT_EQ(has_picture_shape(size, picture_aspect), shaped);
    }
    struct fit_case {
        window_size wanted;
        window_size screen;
        window_size fitted;
    };
    const fit_case fits[] = {
        {{1068, 801}, {1024, 768}, {1024, 768}},  // the height followed: 768 * 1.33333337f gives 1024
        {{6666, 5000}, {1024, 768}, {1024, 768}},
        {{2000, 1499}, {1920, 1080}, {1440, 1080}}, // a wide screen bounds the height
        {{1333, 1000}, {1280, 1024}, {1280, 959}},  // a tall screen bounds the width
        {{800, 599}, {1024, 768}, {800, 599}},      // what fits stays
        {{1024, 768}, {1024, 768}, {1024, 768}},
        {{1068, 801}, {0, 0}, {1068, 801}}, // an unknown screen bounds nothing
    };
    for (const fit_case& c : fits) {
        SCOPED_TRACE(testing::Message() << c.wanted.width << " x " << c.wanted.height << " on " << c.screen.width
                                        << " x " << c.screen.height);
        EXPECT_EQ(fit_to_screen(c.wanted, c.screen, picture_aspect), c.fitted);
        EXPECT_TRUE(has_picture_shape(fit_to_screen(c.wanted, c.screen, picture_aspect), picture_aspect));
    }
}

// --- Event sequences ---------------------------------------------------------

namespace {

// A reshape event reaches the display side; unless a server_size event said
// otherwise, the server has that size.
struct reshape {
    int width, height;
};
// The server has moved on to this size; its reshape has not come yet.
struct server_size {
    int width, height;
};
// The manager starts or stops holding the window (maximized, full screen).
struct hold {
    bool held;
};
// Alt with Enter.
struct full_screen_switch {};
// A drawing of the 640 x 480 picture; what it asks for is collected.
struct draw {};

using event = std::variant<reshape, server_size, hold, full_screen_switch, draw>;

struct sequence_case {
    const char* what;
    std::vector<event> events;
    std::vector<window_size> requests; // every size asked for, in order
    window_size screen{1600, 1200};
    bool from_first_frame = true; // start with the window at 640 x 480 showing the picture
};

std::vector<window_size> requests_made(const sequence_case& c) {
    display_geometry g;
    window_facts facts{initial_window_size, false, c.screen};
    if (c.from_first_frame) {
        g = after_first_frame();
        facts.actual = picture;
    }
    std::vector<window_size> requests;
    for (const event& e : c.events) {
        if (const auto* r = std::get_if<reshape>(&e)) {
            record_reshape(g, {r->width, r->height});
            facts.actual = {r->width, r->height};
        } else if (const auto* s = std::get_if<server_size>(&e)) {
            facts.actual = {s->width, s->height};
        } else if (const auto* h = std::get_if<hold>(&e)) {
            facts.held = h->held;
        } else if (std::holds_alternative<full_screen_switch>(e)) {
            note_full_screen_switch(g);
        } else if (const std::optional<window_size> asked =
                       window_size_request(g, picture, smooth, false, [&] { return facts; })) {
            requests.push_back(*asked);
        }
    }
    return requests;
}

std::string describe(const std::vector<window_size>& sizes) {
    std::string text;
    for (const window_size& s : sizes) text += std::to_string(s.width) + "x" + std::to_string(s.height) + " ";
    return text.empty() ? "(none)" : text;
}

} // namespace

TEST(WindowSizeRule, EventSequences) {
    const sequence_case cases[] = {
        {"two user resizes back to back, each answer coming after both",
         {reshape{300, 300}, draw{}, reshape{1000, 1000}, draw{}, reshape{300, 224}, draw{}, reshape{1333, 1000},
          draw{}, draw{}},
         {{300, 224}, {1333, 1000}}},
        {"an answer drawn between two user resizes",
         {reshape{800, 480}, draw{}, reshape{800, 599}, draw{}, reshape{700, 700}, draw{}, reshape{933, 700}, draw{}},
         {{800, 599}, {933, 700}}},
        {"a late answer to an older request is no user's resize",
         {reshape{800, 480}, draw{}, reshape{1000, 500}, draw{}, reshape{800, 599}, draw{}, reshape{1000, 749},
          draw{}, draw{}},
         {{800, 599}, {1000, 749}}},
        {"a reshape that the window has left behind is passed over",
         {server_size{1000, 1000}, reshape{300, 300}, server_size{1000, 1000}, draw{}, reshape{1000, 1000}, draw{}},
         {{1333, 1000}}},
        {"several reshapes between two drawings: the last one counts",
         {reshape{300, 300}, reshape{500, 500}, reshape{900, 700}, draw{}, draw{}},
         {{900, 674}}},
        {"a size of the picture's shape is kept as the user gave it",
         {reshape{1000, 749}, draw{}, reshape{1000, 750}, draw{}, reshape{300, 224}, draw{}},
         {}},
        {"a refused request is not asked again",
         {reshape{800, 480}, draw{}, draw{}, draw{}, draw{}},
         {{800, 599}}},
        {"a size the manager imposes instead of the one asked for: one more request, then it stands",
         {reshape{800, 480}, draw{}, reshape{800, 560}, draw{}, draw{}, draw{}},
         {{800, 599}, {746, 560}}},
        {"maximized: nothing asked while held, the restored size taken as it is",
         {hold{true}, reshape{1600, 1170}, draw{}, draw{}, reshape{1600, 1172}, draw{}, hold{false},
          reshape{640, 480}, draw{}, draw{}},
         {}},
        {"maximized, its state seen only after the size: at most one request",
         {reshape{1600, 1170}, draw{}, hold{true}, draw{}, draw{}, hold{false}, reshape{640, 480}, draw{}},
         {{1600, 1199}}},
        {"restored to a size that is not of the picture's shape: taken as it is; the next resize is corrected",
         {reshape{800, 480}, draw{}, reshape{800, 599}, draw{}, hold{true}, reshape{1600, 1200}, draw{}, hold{false},
          reshape{768, 500}, draw{}, draw{}, reshape{900, 500}, draw{}},
         {{800, 599}, {900, 674}}},
        {"full screen in and out",
         {full_screen_switch{}, hold{true}, reshape{1600, 1200}, draw{}, full_screen_switch{}, hold{false},
          reshape{640, 480}, draw{}, draw{}},
         {}},
        {"full screen out before the way in arrived (a held Alt+Enter)",
         {full_screen_switch{}, hold{true}, full_screen_switch{}, hold{false}, server_size{640, 480},
          reshape{1600, 1200}, server_size{640, 480}, draw{}, reshape{640, 480}, draw{}},
         {}},
        {"full screen left to a windowed size not of the picture's shape",
         {reshape{768, 480}, draw{}, full_screen_switch{}, hold{true}, reshape{1600, 1200}, draw{},
          full_screen_switch{}, hold{false}, reshape{768, 480}, draw{}, draw{}},
         {}},
        {"after full screen the next user resize is corrected again",
         {full_screen_switch{}, hold{true}, reshape{1600, 1200}, draw{}, full_screen_switch{}, hold{false},
          reshape{640, 480}, draw{}, reshape{800, 480}, draw{}},
         {{800, 599}}},
        {"a correction larger than the screen takes the largest size that fits",
         {reshape{333, 801}, draw{}, reshape{1024, 768}, draw{}, reshape{5000, 5000}, draw{}},
         {{1024, 768}, {1024, 768}},
         {1024, 768}},
        {"the first picture while the manager holds the window is followed once it lets go",
         {hold{true}, reshape{1600, 1170}, draw{}, draw{}, hold{false}, reshape{640, 400}, draw{}, reshape{640, 480},
          draw{}},
         {{640, 480}},
         {1600, 1200},
         false},
    };
    for (const sequence_case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<window_size> made = requests_made(c);
        EXPECT_EQ(made, c.requests) << "asked for " << describe(made) << ", expected " << describe(c.requests);
    }
}

// --- Settling without a manager -------------------------------------------------

namespace {

// The window system without a manager: every request is carried out at
// once at the server, and each change of size reaches the display side as a
// reshape some events later; a reshape that repeats the size last reported
// is never delivered (freeglut reports changes only).
class server_model {
public:
    explicit server_model(window_size screen) : screen_(screen) {}

    void resize(window_size size) {
        server_ = size;
        in_flight_.push_back(size);
    }

    // Delivers the oldest reshape on its way, if any.
    bool deliver(display_geometry& g) {
        if (in_flight_.empty()) return false;
        const window_size size = in_flight_.front();
        in_flight_.pop_front();
        if (size != reported_) {
            reported_ = size;
            record_reshape(g, size);
        }
        return true;
    }

    // A drawing: a request is carried out like any resize.
    void draw(display_geometry& g) {
        const std::optional<window_size> asked =
            window_size_request(g, picture, smooth, false, [&] { return window_facts{server_, false, screen_}; });
        if (asked) {
            ++requests_;
            resize(*asked);
        }
    }

    window_size size() const { return server_; }
    int requests() const { return requests_; }

private:
    window_size screen_;
    window_size server_ = picture;
    window_size reported_ = picture;
    std::deque<window_size> in_flight_;
    int requests_ = 0;
};

} // namespace

TEST(WindowSizeRule, SettlesAfterAnyBurstOfResizes) {
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> side(50, 2400);
    std::uniform_int_distribution<int> step(0, 3);
    const window_size screen{1600, 1200};
    for (int run = 0; run < 2000; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run);
        display_geometry g = after_first_frame();
        server_model server(screen);
        const int user_resizes = 1 + run % 50;
        window_size last_user_size;
        // User resizes, drawings and deliveries, interleaved at random.
        for (int done = 0; done < user_resizes;) {
            switch (step(random)) {
                case 0:
                    last_user_size = {side(random), side(random)};
                    server.resize(last_user_size);
                    ++done;
                    break;
                case 1: server.deliver(g); break;
                default: server.draw(g); break;
            }
        }
        // Then the window system catches up: every reshape arrives, each
        // followed by a drawing.
        int rounds = 0;
        while (server.deliver(g) || rounds == 0) {
            server.draw(g);
            ASSERT_LT(++rounds, 1000) << "the window never settles";
        }
        const int requests_when_settled = server.requests();
        for (int drawing = 0; drawing < 10; ++drawing) server.draw(g);
        EXPECT_EQ(server.requests(), requests_when_settled) << "asked again after settling";
        EXPECT_FALSE(server.deliver(g));
        const window_size final_size = server.size();
        EXPECT_EQ(g.current, final_size);
        EXPECT_TRUE(has_picture_shape(final_size, picture_aspect))
            << final_size.width << " x " << final_size.height << " is not of the picture's shape";
        // A size that the rule asked for is on the screen; the user's own
        // may not be.
        if (final_size != last_user_size) {
            EXPECT_LE(final_size.width, screen.width);
            EXPECT_LE(final_size.height, screen.height);
        }
    }
}

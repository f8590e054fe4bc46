// Frame building: change detection, the reset by a mode change, and the
// hand-over of the newest complete frame to the window side.
#include <gtest/gtest.h>

#include "platform/screen/frame_builder.h"
#include "platform/screen/page.h"

using namespace platform;

namespace {

drawing_page mode12_page() {
    drawing_page page;
    init_mode12_page(page);
    return page;
}

constexpr std::uint32_t opaque_white = 0xFFFFFFFFu;
constexpr std::uint32_t opaque_black = 0xFF000000u;
constexpr std::uint32_t opaque_blue = 0xFF0000AAu;

} // namespace

TEST(FrameBuilder, NoFrameBeforeTheFirstBuild) {
    frame_builder builder;
    EXPECT_EQ(builder.newest_frame(), nullptr);
    EXPECT_EQ(builder.building_passes(), 0u);
}

TEST(FrameBuilder, FrameIsThePageThroughItsPalette) {
    frame_builder builder;
    drawing_page page = mode12_page();
    page.at(0, 0) = 15;
    page.at(639, 479) = 1;
    page.at(5, 7) = 7;
    ASSERT_TRUE(builder.build_frame(page, 1));
    const frame* f = builder.newest_frame();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->width, 640);
    EXPECT_EQ(f->height, 480);
    ASSERT_EQ(f->pixels.size(), 640u * 480u);
    EXPECT_EQ(f->pixels[0], opaque_white);
    EXPECT_EQ(f->pixels[640 * 479 + 639], opaque_blue);
    EXPECT_EQ(f->pixels[640 * 7 + 5], 0xFFAAAAAAu);
    EXPECT_EQ(f->pixels[1], opaque_black);
}

TEST(FrameBuilder, NewFrameOnlyWhenPixelsOrTheFirstSixteenColoursChange) {
    frame_builder builder;
    drawing_page page = mode12_page();
    ASSERT_TRUE(builder.build_frame(page, 1));
    EXPECT_FALSE(builder.build_frame(page, 1));

    page.at(320, 240) = 15;
    EXPECT_TRUE(builder.build_frame(page, 1));
    EXPECT_FALSE(builder.build_frame(page, 1));

    page.page_palette[15] = 0xFF123456u;
    EXPECT_TRUE(builder.build_frame(page, 1));
    EXPECT_EQ(builder.newest_frame()->pixels[640 * 240 + 320], 0xFF123456u);

    page.page_palette[16] = 0xFF654321u; // beyond the colours that a pixel can take
    EXPECT_FALSE(builder.build_frame(page, 1));

    // Every pass is counted, frame or not.
    EXPECT_EQ(builder.building_passes(), 6u);
    EXPECT_EQ(builder.newest_frame()->sequence, 3u);
}

TEST(FrameBuilder, ModeChangeResetsTheDetectionEvenForAnIdenticalPage) {
    frame_builder builder;
    drawing_page page = mode12_page();
    ASSERT_TRUE(builder.build_frame(page, 1));
    EXPECT_FALSE(builder.build_frame(page, 1));
    EXPECT_TRUE(builder.build_frame(page, 2));
    EXPECT_FALSE(builder.build_frame(page, 2));
}

TEST(FrameBuilder, PageOfAnotherSizeMakesAFrameOfThatSize) {
    frame_builder builder;
    drawing_page text_page;
    init_text_page(text_page);
    ASSERT_TRUE(builder.build_frame(text_page, 1));
    EXPECT_EQ(builder.newest_frame()->height, 400);
    const drawing_page page = mode12_page();
    ASSERT_TRUE(builder.build_frame(page, 1));
    EXPECT_EQ(builder.newest_frame()->height, 480);
    EXPECT_EQ(builder.newest_frame()->pixels.size(), 640u * 480u);
}

TEST(FrameBuilder, WindowGetsTheNewestCompleteFrame) {
    frame_builder builder;
    drawing_page page = mode12_page();
    for (int i = 1; i <= 5; ++i) {
        page.at(0, 0) = static_cast<std::uint8_t>(i);
        ASSERT_TRUE(builder.build_frame(page, 1));
    }
    const frame* f = builder.newest_frame();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->sequence, 5u);
    EXPECT_EQ(f->pixels[0], page.page_palette[5]);
    // Nothing newer: the same frame again.
    EXPECT_EQ(builder.newest_frame(), f);
}

TEST(FrameBuilder, BuilderNeverWritesTheFrameTheWindowHolds) {
    frame_builder builder;
    drawing_page page = mode12_page();
    page.at(0, 0) = 1;
    ASSERT_TRUE(builder.build_frame(page, 1));
    const frame* held = builder.newest_frame();
    ASSERT_NE(held, nullptr);
    const std::vector<std::uint32_t> held_pixels = held->pixels;

    // Many frames while the window draws the one it holds: each goes into
    // one of the two other slots.
    std::vector<const frame*> built;
    for (int i = 2; i <= 9; ++i) {
        page.at(0, 0) = static_cast<std::uint8_t>(i);
        page.at(i, 1) = 15;
        ASSERT_TRUE(builder.build_frame(page, 1));
    }
    EXPECT_EQ(held->sequence, 1u);
    EXPECT_EQ(held->pixels, held_pixels);

    const frame* next = builder.newest_frame();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, held);
    EXPECT_EQ(next->sequence, 9u);
    EXPECT_EQ(next->pixels[0], page.page_palette[9]);
}

TEST(FrameBuilder, FramesCrossThreadsIntactWhileBothRun) {
    // The builder makes frames whose pixels all carry the frame's number;
    // the window side must never see a frame with mixed pixels or a
    // sequence that goes backwards.
    frame_builder builder;
    drawing_page page = mode12_page();
    constexpr int frame_count = 200;
    std::atomic<bool> done{false};
    std::thread window([&] {
        std::uint64_t last = 0;
        while (!done.load()) {
            const frame* f = builder.newest_frame();
            if (f == nullptr) continue;
            ASSERT_GE(f->sequence, last);
            last = f->sequence;
            const std::uint32_t first = f->pixels.front();
            for (std::uint32_t p : f->pixels) ASSERT_EQ(p, first);
            ASSERT_EQ(first, page.page_palette[f->sequence % 16]);
        }
    });
    for (int i = 1; i <= frame_count; ++i) {
        std::fill(page.pixels.begin(), page.pixels.end(), static_cast<std::uint8_t>(i % 16));
        builder.build_frame(page, static_cast<std::uint64_t>(i));
    }
    done.store(true);
    window.join();
    EXPECT_EQ(builder.newest_frame()->sequence, static_cast<std::uint64_t>(frame_count));
}

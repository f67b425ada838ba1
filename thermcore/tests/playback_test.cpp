// The index and playback threads: their messages through the post hook,
// playback to the end, pause and stop, and closing while they run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture_files.h"
#include "sequence_log.h"
#include "thermcore.h"

using namespace thermcore_test;

namespace {

void release(IfrHandle h) {
    IFR_CloseFile(h);
    IFR_Free(h);
}

std::vector<int> graysOf(IfrHandle h) {
    std::vector<int> out;
    for (const FrameRecord& f : framesOf(h)) out.push_back(f.firstGray);
    return out;
}

size_t countPosts(void* window, unsigned int message) {
    size_t n = 0;
    for (const PostRecord& p : postsTo(window)) n += p.message == message ? 1 : 0;
    return n;
}

TEST(Playback, IndexReadyIsPostedOnceWithEntriesOrMinusOne) {
    PostHookScope hook;
    static int windows[4];
    const struct {
        const char* file;
        int kind;
        intptr_t wParam;
    } cases[] = {
        {"seq_l1.vnv", 1, 0},
        {"seq_l2.vnv", 1, 0},
        {"jpg_seq.jpg", 2, 0},
        {"seq_l2_no_params.vnv", 1, -1},  // layout 2 indexes parameter chunks only
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].file);
        void* window = &windows[i];
        IfrHandle h = openWithWindow(fixtureFile(cases[i].file), cases[i].kind, window);
        ASSERT_NE(h, nullptr);
        const auto post = waitForPost(window, WM_IFR_INDEXREADY);
        ASSERT_TRUE(post.has_value());
        EXPECT_EQ(post->wParam, cases[i].wParam);
        EXPECT_EQ(post->lParam, 0);
        release(h);
        EXPECT_EQ(countPosts(window, WM_IFR_INDEXREADY), 1u);
    }
}

TEST(Playback, NothingIsPostedWithoutAWindow) {
    PostHookScope hook;
    IfrHandle h = IFR_LoadFile(nullptr, fixtureFile("seq_l1.vnv").c_str(), 1, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    IFR_PlaySpeed(h, 3);
    EXPECT_EQ(IFR_Play(h), 0);
    EXPECT_EQ(IFR_Next(h), 0);  // ends the playback first
    release(h);
    EXPECT_TRUE(postsTo(nullptr).empty());
}

// Played to the end: one message with wParam 0 and the window, every frame
// through the callback, then the first frame again.
TEST(Playback, PlaysToTheEndAndShowsTheFirstFrameAgain) {
    PostHookScope hook;
    static int windows[4];
    const struct {
        const char* file;
        int kind;
        int speed;
        std::vector<int> frames;
    } cases[] = {
        {"seq_l1.vnv", 1, 3, {1, 2, 3, 4, 5, 1}},
        {"seq_l0.vnv", 1, 3, {1, 2, 3, 1}},
        {"jpg_seq_l2.jpg", 2, 3, {1, 2, 3, 4, 1}},
        {"seq_l2_no_params.vnv", 1, 0, {1, 2, 3, 1}},  // 20 ms a frame
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].file);
        void* window = &windows[i];
        IfrHandle h = openWithWindow(fixtureFile(cases[i].file), cases[i].kind, window);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(IFR_PlaySpeed(h, cases[i].speed), 0);
        EXPECT_EQ(IFR_Play(h), 0);
        const auto post = waitForPost(window, WM_IFR_PLAYBACK);
        ASSERT_TRUE(post.has_value());
        EXPECT_EQ(post->wParam, 0);
        EXPECT_EQ(post->lParam, reinterpret_cast<intptr_t>(window));
        EXPECT_EQ(graysOf(h), cases[i].frames);
        // The first frame was shown again: the second comes next.
        EXPECT_EQ(IFR_Next(h), 0);
        EXPECT_EQ(framesOf(h).back().firstGray, 2);
        release(h);
        EXPECT_EQ(countPosts(window, WM_IFR_PLAYBACK), 1u);
    }
}

// At one frame a second (the step after construction) a pause or a stop
// arrives long before the second frame is due.
TEST(Playback, PauseAndStopEndPlaybackWithOne) {
    PostHookScope hook;
    static int window;
    IfrHandle h = openWithWindow(largeFixtureFile("seq_l1_30000.vnv"), 1, &window);
    ASSERT_NE(h, nullptr);

    EXPECT_EQ(IFR_Play(h), 0);
    EXPECT_EQ(IFR_Play(h), -1);  // playing already
    EXPECT_EQ(IFR_Pause(h), 0);
    auto post = waitForPost(&window, WM_IFR_PLAYBACK);
    ASSERT_TRUE(post.has_value());
    EXPECT_EQ(post->wParam, 1);
    // A pause leaves the file where it was. (It may reach the thread before
    // its first frame is read.)
    const std::vector<int> shown = graysOf(h);
    ASSERT_LE(shown.size(), 1u);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(graysOf(h).back(), shown.empty() ? 1 : 2);

    forgetFrames(h);
    const uint64_t again = eventMark();
    EXPECT_EQ(IFR_Play(h), 0);  // may start again once ended
    EXPECT_EQ(IFR_Stop(h), 0);
    ASSERT_TRUE(waitForPost(&window, WM_IFR_PLAYBACK, again).has_value());
    release(h);
    std::vector<intptr_t> wParams;
    for (const PostRecord& p : postsTo(&window)) {
        if (p.message == WM_IFR_PLAYBACK) wParams.push_back(p.wParam);
    }
    EXPECT_EQ(wParams, (std::vector<intptr_t>{1, 1}));
}

TEST(Playback, StopRewindsToTheFirstFrame) {
    static int window;
    PostHookScope hook;
    IfrHandle h = openWithWindow(largeFixtureFile("seq_l1_30000.vnv"), 1, &window);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(IFR_Next(h), 0);
    ASSERT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(IFR_Play(h), 0);
    EXPECT_EQ(IFR_Stop(h), 0);
    const auto post = waitForPost(&window, WM_IFR_PLAYBACK);
    ASSERT_TRUE(post.has_value());
    EXPECT_EQ(post->wParam, 1);
    forgetFrames(h);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(graysOf(h), std::vector<int>{1});
    release(h);
}

TEST(Playback, GotoTimeEndsPlaybackFirst) {
    static int window;
    PostHookScope hook;
    IfrHandle h = openWithWindow(fixtureFile("seq_l1.vnv"), 1, &window);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(waitForPost(&window, WM_IFR_INDEXREADY).has_value());
    EXPECT_EQ(IFR_Play(h), 0);
    EXPECT_EQ(IFR_GotoTime(h, 1120), 0);
    const auto post = waitForPost(&window, WM_IFR_PLAYBACK);
    ASSERT_TRUE(post.has_value());
    EXPECT_EQ(post->wParam, 1);
    forgetFrames(h);
    EXPECT_EQ(IFR_Next(h), 0);
    EXPECT_EQ(graysOf(h), std::vector<int>{4});
    release(h);
}

// Closing or freeing while a thread runs waits for it and posts nothing
// from the moment the close begins.
TEST(Playback, CloseWhilePlayingPostsNothing) {
    PostHookScope hook;
    static int windows[2];
    for (int i = 0; i < 2; ++i) {
        void* window = &windows[i];
        IfrHandle h = openWithWindow(largeFixtureFile("seq_l1_30000.vnv"), 1, window);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(IFR_Play(h), 0);
        if (i == 0) {
            EXPECT_EQ(IFR_CloseFile(h), 0);
            EXPECT_EQ(IFR_Play(h), -1);  // no file any more
            IFR_Free(h);
        } else {
            IFR_Free(h);  // closes first
        }
        EXPECT_EQ(countPosts(window, WM_IFR_PLAYBACK), 0u);
    }
}

TEST(Playback, CloseWhileIndexingPostsNothing) {
    PostHookScope hook;
    static int windows[3];
    for (void* window : {&windows[0], &windows[1], &windows[2]}) {
        IfrHandle h = openWithWindow(largeFixtureFile("seq_l1_30000.vnv"), 1, window);
        ASSERT_NE(h, nullptr);
        const uint64_t closing = eventMark();
        EXPECT_EQ(IFR_CloseFile(h), 0);
        EXPECT_EQ(IFR_GotoTime(h, 1000), -1);  // the index went with the file
        IFR_Free(h);
        for (const PostRecord& p : postsTo(window)) EXPECT_LT(p.serial, closing);
    }
}

}  // namespace

// Animation sequences: timing, requests against interruptible steps, and the frame codes.
#include <gtest/gtest.h>

#include <vector>

#include "game/anim.h"

namespace {
AnimPlayer Started(int32_t sequence, const AnimStep* const* table = animSequences) {
    AnimPlayer a{};
    a.sequences = table;
    StartAnim(&a, sequence);
    return a;
}

std::vector<int32_t> Advance(AnimPlayer* a, int calls) {
    std::vector<int32_t> frames;
    for (int i = 0; i < calls; ++i)
        frames.push_back(AdvanceAnim(a));
    return frames;
}

// Runs of equal frames, as (frame, count) pairs.
std::vector<std::pair<int32_t, int>> Runs(const std::vector<int32_t>& frames) {
    std::vector<std::pair<int32_t, int>> runs;
    for (int32_t f : frames) {
        if (runs.empty() || runs.back().first != f)
            runs.push_back({f, 1});
        else
            ++runs.back().second;
    }
    return runs;
}
} // namespace

TEST(Anim, WalkAlternatesEverySeventyWithTheFirstStepOneShort) {
    AnimPlayer a = Started(SEQ_WALK);
    const std::vector<int32_t> frames = Advance(&a, 69 + 70 + 70 + 5);
    EXPECT_EQ(frames[68], 1); // the 69th
    EXPECT_EQ(frames[69], 2); // the 70th
    EXPECT_EQ(frames[138], 2);
    EXPECT_EQ(frames[139], 1); // the 140th passes the loop marker within the call
    const auto runs = Runs(frames);
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(runs[0], (std::pair<int32_t, int>{1, 69}));
    EXPECT_EQ(runs[1], (std::pair<int32_t, int>{2, 70}));
    EXPECT_EQ(runs[2], (std::pair<int32_t, int>{1, 70}));
    EXPECT_EQ(a.sequence, SEQ_WALK);
}

TEST(Anim, OpenPoseLasts29CallsThenEndsAndCannotBeCutShort) {
    AnimPlayer a = Started(SEQ_WALK);
    Advance(&a, 100); // any step of the walk accepts the request
    RequestAnim(&a, SEQ_OPEN);
    EXPECT_EQ(a.sequence, SEQ_OPEN);
    EXPECT_EQ(a.step, 0);
    EXPECT_EQ(a.tick, 0);
    std::vector<int32_t> frames = Advance(&a, 10);
    RequestAnim(&a, SEQ_OPEN); // refused: the pose is not interruptible
    RequestAnim(&a, SEQ_WALK);
    EXPECT_EQ(a.sequence, SEQ_OPEN);
    EXPECT_EQ(a.tick, 10);
    const std::vector<int32_t> more = Advance(&a, 21);
    frames.insert(frames.end(), more.begin(), more.end());
    const auto runs = Runs(frames);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (std::pair<int32_t, int>{3, 29}));
    EXPECT_EQ(runs[1], (std::pair<int32_t, int>{ANIM_END, 2}));
    // The end step is final: nothing moves any more.
    const int32_t step = a.step;
    const int32_t tick = a.tick;
    EXPECT_EQ(AdvanceAnim(&a), ANIM_END);
    EXPECT_EQ(a.step, step);
    EXPECT_EQ(a.tick, tick);
    EXPECT_EQ(CurrentAnimFrame(&a), ANIM_END);
    RequestAnim(&a, SEQ_WALK); // the end step is interruptible
    EXPECT_EQ(a.sequence, SEQ_WALK);
    EXPECT_EQ(CurrentAnimFrame(&a), 1);
}

TEST(Anim, CaughtShowsTwoPosesThenEnds) {
    AnimPlayer a = Started(SEQ_CAUGHT);
    const auto runs = Runs(Advance(&a, 59 + 60 + 3));
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0], (std::pair<int32_t, int>{4, 59}));
    EXPECT_EQ(runs[1], (std::pair<int32_t, int>{5, 60}));
    EXPECT_EQ(runs[2], (std::pair<int32_t, int>{ANIM_END, 3}));
}

TEST(Anim, StillIsNeverInterruptedByARequest) {
    AnimPlayer a = Started(SEQ_STILL);
    RequestAnim(&a, SEQ_WALK);
    RequestAnim(&a, SEQ_OPEN);
    EXPECT_EQ(a.sequence, SEQ_STILL);
    EXPECT_EQ(Advance(&a, 1000), std::vector<int32_t>(1000, 0));
    StartAnim(&a, SEQ_WALK);
    EXPECT_EQ(a.sequence, SEQ_WALK);
}

TEST(Anim, JumpHoldAndZeroTickSteps) {
    const AnimStep first[] = {{7, 2, 1}, {ANIM_JUMP, 2, 1}};
    const AnimStep unused[] = {{ANIM_END, 0, 1}};
    const AnimStep target[] = {{9, 3, 0}, {ANIM_HOLD, 0, 0}};
    const AnimStep zero[] = {{11, 0, 1}, {12, 4, 1}, {ANIM_LOOP, 0, 1}};
    const AnimStep* const table[] = {first, unused, target, zero};

    AnimPlayer a = Started(0, table);
    EXPECT_EQ(AdvanceAnim(&a), 7);
    // The jump is entered and followed in one call: sequence 2, step 0, tick 0, its first frame.
    EXPECT_EQ(AdvanceAnim(&a), 9);
    EXPECT_EQ(a.sequence, 2);
    EXPECT_EQ(a.step, 0);
    EXPECT_EQ(a.tick, 0);
    // Hold: the last frame restarts for ever.
    EXPECT_EQ(Advance(&a, 9), std::vector<int32_t>(9, 9));
    EXPECT_EQ(a.step, 0);
    EXPECT_EQ(a.tick, 0);

    AnimPlayer z = Started(3, table);
    EXPECT_EQ(AdvanceAnim(&z), 12); // a zero-tick step moves on at the first call
    EXPECT_EQ(z.step, 1);
}

// Animation sequences: which sprite column a body shows, tick by tick.
#pragma once
#include <cstdint>

enum AnimFrameCode : int32_t {
    ANIM_HOLD = -1, // back to the previous step
    ANIM_LOOP = -2, // back to step 0
    ANIM_JUMP = -3, // start the sequence named in ticks
    ANIM_END = -4,  // stay; the owner reacts
};

enum SequenceId : int32_t {
    SEQ_WALK = 0,
    SEQ_OPEN = 1,
    SEQ_STILL = 2,
    SEQ_CAUGHT = 3,
    SEQ_COUNT = 4,
};

struct AnimStep {
    int32_t frame;         // sprite column, or a frame code
    int32_t ticks;         // how long a frame lasts; the target of ANIM_JUMP
    int32_t interruptible; // 1: a request may replace the sequence during this step
};

struct AnimPlayer {
    int32_t step;
    int32_t tick;
    const AnimStep* const* sequences;
    int32_t sequence;
};

extern const AnimStep* const animSequences[SEQ_COUNT];

void StartAnim(AnimPlayer* a, int32_t sequence);
void RequestAnim(AnimPlayer* a, int32_t sequence);
int32_t AdvanceAnim(AnimPlayer* a);
int32_t CurrentAnimFrame(const AnimPlayer* a);

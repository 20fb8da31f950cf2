// Animation sequences: which sprite column a body shows, tick by tick.
#include "game/anim.h"

namespace {
const AnimStep walkSteps[] = {{1, 70, 1}, {2, 70, 1}, {ANIM_LOOP, 0, 1}};
const AnimStep openSteps[] = {{3, 30, 0}, {ANIM_END, 0, 1}};
const AnimStep stillSteps[] = {{0, 2147483647, 0}, {ANIM_LOOP, 0, 0}};
const AnimStep caughtSteps[] = {{4, 60, 1}, {5, 60, 1}, {ANIM_END, 0, 1}};

const AnimStep& CurrentStep(const AnimPlayer* a) {
    return a->sequences[a->sequence][a->step];
}
} // namespace

const AnimStep* const animSequences[SEQ_COUNT] = {walkSteps, openSteps, stillSteps, caughtSteps};

void StartAnim(AnimPlayer* a, int32_t sequence) {
    a->step = 0;
    a->tick = 0;
    a->sequence = sequence;
}

void RequestAnim(AnimPlayer* a, int32_t sequence) {
    if (CurrentStep(a).interruptible == 1) StartAnim(a, sequence);
}

int32_t AdvanceAnim(AnimPlayer* a) {
    // An end step is final until the owner starts something else.
    if (CurrentStep(a).frame == ANIM_END) return ANIM_END;
    a->tick += 1;
    if (a->tick >= CurrentStep(a).ticks) {
        a->step += 1;
        a->tick = 0;
        const AnimStep& entered = CurrentStep(a);
        if (entered.frame == ANIM_JUMP)
            StartAnim(a, entered.ticks);
        else if (entered.frame == ANIM_LOOP)
            a->step = 0;
        else if (entered.frame == ANIM_HOLD)
            a->step -= 1;
    }
    return CurrentStep(a).frame;
}

int32_t CurrentAnimFrame(const AnimPlayer* a) {
    return CurrentStep(a).frame;
}

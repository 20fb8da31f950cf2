// The state each frame ran in, traced as it changes, so a script driving the real game can wait for it.
#pragma once

// The state the coming frame runs in, from the scene's own variables: "title-fade-in", "title-wave",
// "title-settled", "title-fade-out", "game-intro", "game-play", "game-paused", "game-cleared",
// "game-caught", "game-fade-out", or "other" for a scene the loop does not run.
const char* FrameStateName();
// Traces "quillmarsh: state NAME" (see TraceLog) when a presented frame ran in another state than the
// frame before; the picture that state drew is already on the screen.
void NoteFrameState(const char* name);
// Forgets the last state, so the next frame is traced whatever it ran in (tests and replays).
void ResetFrameState();

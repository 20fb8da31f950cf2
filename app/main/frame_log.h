// The opt-in frame log of the SDL game: when each frame opened and presented, and the processor time used.
#pragma once

// With QUILLMARSH_FRAME_LOG naming a file, starts recording frames; otherwise does nothing.
void FrameLogStart();
// Writes what was recorded to the file (nothing when not recording).
void FrameLogFinish();

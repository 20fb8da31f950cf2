// The stage number and the lives shown over the play view.
#pragma once

void DrawStageNumber();
void DrawLives();

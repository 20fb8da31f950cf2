// The game scene: one stage from its start to its end, and what follows it.
#pragma once

bool GameScene();
bool LoadGameScene();
void RunGameState();
void UnloadGameScene();
void ResetGameVars();
void DrawPlayfield();

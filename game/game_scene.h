// The game scene: one stage from its start to its end.
#pragma once

bool GameScene();

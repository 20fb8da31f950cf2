// Placeholder game scene until the game lands: it draws nothing.
#include "game/game_scene.h"

bool GameScene() {
    return true;
}

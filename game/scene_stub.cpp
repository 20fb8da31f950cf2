// Placeholder scenes until the game lands: the title shows the palette as a swatch chart.
#include "game/game_scene.h"
#include "game/title_scene.h"
#include "video/blit.h"
#include "video/display.h"

bool TitleScene() {
    // 16 x 16 swatches of 20 x 15 pixels: every palette entry once, in index order.
    for (int32_t i = 0; i < 256; ++i)
        DDFillRect(&backBuffer, (i % 16) * 20, (i / 16) * 15, 20, 15, i);
    return true;
}

bool GameScene() {
    return true;
}

// The stage number and the lives shown over the play view.
#include "game/hud.h"

#include "game/game_vars.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/surface.h"

namespace {
constexpr int32_t GLYPH = 16;
}

void DrawStageNumber() {
    Surface* parts = &surfaceTable[SURFACE_PARTS];
    DDBltClip(&backBuffer, 80, 40, 64, 16, parts, 0, 0, BLT_KEYED);
    int32_t n = stage;
    for (int32_t i = 0; i < 2; ++i) {
        const int32_t d = n % 10;
        n /= 10;
        if (i == 1 && d == 0) break;
        DDBltClip(&backBuffer, 96 - GLYPH * i, 56, GLYPH, GLYPH, parts, (d + 4) * GLYPH, 0, BLT_KEYED);
    }
}

void DrawLives() {
    Surface* parts = &surfaceTable[SURFACE_PARTS];
    DDBltClip(&backBuffer, 192, 40, 32, 16, parts, 0, 16, BLT_KEYED);
    // A cell the sheet does not wholly hold shows nothing, where the clipped copy would draw the sliver
    // that is inside. Wide arithmetic, so no count of lives can overflow the cell position.
    const int64_t cellX = (static_cast<int64_t>(lives) + 2) * GLYPH;
    if (cellX < 0 || cellX + GLYPH > parts->width || 2 * GLYPH > parts->height) return;
    DDBltClip(&backBuffer, 224, 40, GLYPH, GLYPH, parts, static_cast<int32_t>(cellX), GLYPH, BLT_KEYED);
}

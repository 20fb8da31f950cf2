// Random play for soak runs: held controls that change every few frames and now and then a pause, drawn
// from a generator of its own so the game's random sequence stays the game's.
#include "tools/monkey.h"

#include <vector>

#include "app/main_window.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"

namespace {
struct Monkey {
    uint64_t state = 0;
    HeldControls held = NOTHING_HELD;
    int32_t framesLeft = 0; // frames the held set (or the seeking) still lasts
    bool seeking = false;   // walking the maze to closed tiles and the seal instead of at random
    int32_t pauseLeft = 0;  // frames until the pause is lifted; 0 when not paused by the monkey
};
Monkey monkey;

// splitmix64: small, fast and unrelated to the game's generator.
uint32_t Draw(uint32_t below) {
    monkey.state += 0x9e3779b97f4a7c15ull;
    uint64_t z = monkey.state;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    return static_cast<uint32_t>(z % below);
}

constexpr uint8_t DIRECTIONS[8] = {HELD_LEFT,
                                   HELD_RIGHT,
                                   HELD_UP,
                                   HELD_DOWN,
                                   HELD_LEFT | HELD_UP,
                                   HELD_LEFT | HELD_DOWN,
                                   HELD_RIGHT | HELD_UP,
                                   HELD_RIGHT | HELD_DOWN};

void ChooseTitleHeld() {
    // Z down and up again in turn, so the one-shot filter lets a press through every few frames.
    const bool wasDown = monkey.held.keys == HELD_Z;
    monkey.held = NOTHING_HELD;
    if (!wasDown) monkey.held.keys = HELD_Z;
    monkey.framesLeft = 2 + static_cast<int32_t>(Draw(6));
}

// Shortest signed distance from a to b on a wrapping axis of span pixels.
int32_t Toward(int32_t a, int32_t b, int32_t span) {
    int32_t d = (b - a) % span;
    if (d > span / 2) d -= span;
    if (d < -span / 2) d += span;
    return d;
}

// The arrows that bring the player's centre (px, py) toward the centre of cell (column, row).
uint8_t StepToward(int32_t px, int32_t py, int32_t column, int32_t row) {
    const int32_t dx = Toward(px, column * 32 + 15, mapData.width * 32);
    const int32_t dy = Toward(py, row * 32 + 15, mapData.height * 32);
    return static_cast<uint8_t>((dx < -1 ? HELD_LEFT : 0) | (dx > 1 ? HELD_RIGHT : 0) |
                                (dy < -1 ? HELD_UP : 0) | (dy > 1 ? HELD_DOWN : 0));
}

// A walk through the maze, breadth first from the player's cell: onto the seal once it is out, otherwise
// to the nearest cell beside a closed tile, then facing it with Z held to open it. Random play alone
// almost never finds the seal, and the soak must see stages change.
HeldControls Seek() {
    HeldControls held = NOTHING_HELD;
    const int32_t w = mapData.width, h = mapData.height;
    if (!mapData.rows || w <= 0 || h <= 0) return held;
    const int32_t px = player.body.centre.x >> 16, py = player.body.centre.y >> 16;
    const int32_t start = ((py >> 5) % h) * w + (px >> 5) % w;
    std::vector<int32_t> from(static_cast<size_t>(w) * static_cast<size_t>(h), -1);
    std::vector<int32_t> queue{start};
    from[static_cast<size_t>(start)] = start;
    constexpr int32_t STEPS[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    constexpr uint8_t FACING[4] = {HELD_LEFT, HELD_RIGHT, HELD_UP, HELD_DOWN};
    for (size_t head = 0; head < queue.size(); ++head) {
        const int32_t cell = queue[head], c = cell % w, r = cell / w;
        int32_t goal = -1;
        if (sealRevealed && mapData.rows[r][c] == TILE_SEAL) goal = 4;
        for (int32_t k = 0; k < 4 && goal < 0 && !sealRevealed; ++k) {
            const int32_t nc = (c + STEPS[k][0] + w) % w, nr = (r + STEPS[k][1] + h) % h;
            if (mapData.rows[nr][nc] == TILE_CLOSED) goal = k;
        }
        if (goal >= 0) {
            int32_t first = cell;
            while (first != start && from[static_cast<size_t>(first)] != start)
                first = from[static_cast<size_t>(first)];
            held.keys = StepToward(px, py, first % w, first / w);
            if (cell == start && held.keys == 0 && goal < 4) held.keys = FACING[goal] | HELD_Z;
            return held;
        }
        for (int32_t k = 0; k < 4; ++k) {
            const int32_t nc = (c + STEPS[k][0] + w) % w, nr = (r + STEPS[k][1] + h) % h;
            const int32_t next = nr * w + nc;
            if (from[static_cast<size_t>(next)] >= 0 || tileSolid[mapData.rows[nr][nc] & 15]) continue;
            from[static_cast<size_t>(next)] = cell;
            queue.push_back(next);
        }
    }
    return held;
}

void ChooseGameHeld() {
    monkey.held = NOTHING_HELD;
    monkey.seeking = false;
    const uint32_t roll = Draw(100);
    if (roll < 40) {
        monkey.seeking = true;
        monkey.framesLeft = 100 + static_cast<int32_t>(Draw(400));
        return;
    }
    if (roll < 60) {
        // Standing still for a while: the ghosts get their chance, so games end as well as go on.
        monkey.framesLeft = 20 + static_cast<int32_t>(Draw(200));
        return;
    }
    if (roll < 90) monkey.held.keys = DIRECTIONS[Draw(8)];
    if (Draw(2) == 0) monkey.held.keys |= HELD_Z;
    if (Draw(10) == 0) monkey.held.keys |= HELD_X;
    // Now and then through the joystick instead of the keys, inside and outside its dead zone.
    if (Draw(8) == 0) {
        monkey.held.joystickX = Draw(JOYSTICK_AXIS_MAX + 1);
        monkey.held.joystickY = Draw(JOYSTICK_AXIS_MAX + 1);
        monkey.held.joystickButtons = Draw(4);
    }
    monkey.framesLeft = 2 + static_cast<int32_t>(Draw(30));
}
} // namespace

void StartMonkey(uint32_t seed) {
    monkey = Monkey{};
    monkey.state = seed;
}

void MonkeyNextFrame(HeldControls* held, std::vector<ScriptEvent>* events) {
    events->clear();
    if (monkey.pauseLeft > 0 && --monkey.pauseLeft == 0) {
        // A pause freezes the game, so the scene is still the one it began in.
        if (currentScene == SCENE_GAME && paused) events->push_back(EVENT_SPACE);
    } else if (monkey.pauseLeft == 0 && currentScene == SCENE_GAME && !paused && Draw(4000) == 0) {
        events->push_back(EVENT_SPACE);
        monkey.pauseLeft = 10 + static_cast<int32_t>(Draw(90));
    }
    if (--monkey.framesLeft <= 0) {
        if (currentScene == SCENE_GAME) {
            ChooseGameHeld();
        } else {
            ChooseTitleHeld();
        }
    }
    if (monkey.seeking && currentScene == SCENE_GAME && GameState == GAME_PLAY) {
        monkey.held = Seek();
    } else if (monkey.seeking && currentScene == SCENE_GAME && GameState == GAME_CLEARED) {
        // The caption waits for Z: down and up in turn.
        monkey.held = NOTHING_HELD;
        if (monkey.framesLeft % 4 < 2) monkey.held.keys = HELD_Z;
    }
    *held = monkey.held;
}

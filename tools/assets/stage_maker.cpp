// The five stages: a manor of rooms, crypt corridors, a hedge maze, caverns and the open marsh.
#include "tools/assets/canvas.h"
#include "tools/assets/stage_codec.h"

#include <algorithm>
#include <vector>

namespace assets {

namespace {

enum Kind : uint8_t {
    FLOOR = 0,
    BRICK = 1,
    CRYPT = 2,
    HEDGE = 3,
    BOARDS = 4,
    WATER = 5,
    MOSS = 6,
    GRAVE = 7,
    GRAVEL = 11,
    BONES = 12,
    ROCK = 13,
    MUD = 14,
    RUG = 15,
};

bool Walkable(uint8_t k) {
    return k < kStageTileKinds && !kStageTileSolid[k];
}

void FillArea(StageMap* m, int x, int y, int w, int h, uint8_t k) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i)
            SetStageTile(m, i, j, k);
    }
}

// Walkable tiles cut off from the largest open region become `wall`, so the player is never
// placed somewhere it cannot leave. Neighbours wrap, as the map does.
void KeepLargestRegion(StageMap* m, uint8_t wall) {
    const int w = m->width, h = m->height;
    std::vector<int> region(m->tiles.size(), -1);
    std::vector<int> sizes;
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (region[static_cast<size_t>(start)] >= 0 || !Walkable(m->tiles[static_cast<size_t>(start)]))
            continue;
        int id = static_cast<int>(sizes.size());
        int count = 0;
        stack.push_back(start);
        region[static_cast<size_t>(start)] = id;
        while (!stack.empty()) {
            int at = stack.back();
            stack.pop_back();
            ++count;
            int x = at % w, y = at / w;
            const int next[4] = {y * w + (x + 1) % w, y * w + (x + w - 1) % w, ((y + 1) % h) * w + x,
                                 ((y + h - 1) % h) * w + x};
            for (int n : next) {
                if (region[static_cast<size_t>(n)] < 0 && Walkable(m->tiles[static_cast<size_t>(n)])) {
                    region[static_cast<size_t>(n)] = id;
                    stack.push_back(n);
                }
            }
        }
        sizes.push_back(count);
    }
    int best = static_cast<int>(std::max_element(sizes.begin(), sizes.end()) - sizes.begin());
    for (size_t i = 0; i < m->tiles.size(); ++i) {
        if (region[i] >= 0 && region[i] != best) m->tiles[i] = wall;
    }
}

// Stage 1: the manor, a 4x4 grid of rooms with brick walls, doors found by a random spanning tree.
StageMap Manor() {
    StageMap m = MakeEmptyStage(32, 32, FLOOR);
    AssetRng rng = SeedRng(101);
    const int rooms = 4, size = 8;
    for (int i = 0; i < 32; ++i) {
        for (int j = 0; j < 32; ++j) {
            if (i % size == 0 || j % size == 0) SetStageTile(&m, i, j, BRICK);
        }
    }
    // Spanning tree over the rooms (wrapping), then a few extra doors for loops.
    std::vector<bool> seen(rooms * rooms, false);
    std::vector<int> stack = {0};
    seen[0] = true;
    auto door = [&](int r, int dir) {
        int rx = r % rooms, ry = r / rooms;
        int at = 2 + NextBelow(&rng, 4);
        if (dir == 0)
            FillArea(&m, (rx + 1) * size, ry * size + at, 1, 2, FLOOR); // east wall
        else
            FillArea(&m, rx * size + at, (ry + 1) * size, 2, 1, FLOOR); // south wall
    };
    while (!stack.empty()) {
        int r = stack.back();
        int rx = r % rooms, ry = r / rooms;
        int options[4], n = 0;
        const int nb[4] = {ry * rooms + (rx + 1) % rooms, ry * rooms + (rx + rooms - 1) % rooms,
                           ((ry + 1) % rooms) * rooms + rx, ((ry + rooms - 1) % rooms) * rooms + rx};
        for (int k = 0; k < 4; ++k) {
            if (!seen[static_cast<size_t>(nb[k])]) options[n++] = k;
        }
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        int k = options[NextBelow(&rng, n)];
        if (k == 0)
            door(r, 0);
        else if (k == 1)
            door(nb[1], 0);
        else if (k == 2)
            door(r, 1);
        else
            door(nb[3], 1);
        seen[static_cast<size_t>(nb[k])] = true;
        stack.push_back(nb[k]);
    }
    for (int extra = 0; extra < 7; ++extra)
        door(NextBelow(&rng, rooms * rooms), NextBelow(&rng, 2));
    // Furnish each room.
    for (int r = 0; r < rooms * rooms; ++r) {
        int x0 = (r % rooms) * size + 1, y0 = (r / rooms) * size + 1;
        int style = NextBelow(&rng, 6);
        uint8_t floor = style == 0 ? RUG : style == 1 ? BOARDS : FLOOR;
        if (style == 5) floor = MOSS; // a roofless room gone to weeds
        FillArea(&m, x0, y0, 7, 7, floor);
        if (style == 0) FillArea(&m, x0, y0, 7, 1, BOARDS);
        if (style == 2) {
            // A pillared hall.
            const int pillars[4][2] = {{1, 1}, {5, 1}, {1, 5}, {5, 5}};
            for (const auto& p : pillars)
                SetStageTile(&m, x0 + p[0], y0 + p[1], CRYPT);
        }
        if (style == 5) {
            SetStageTile(&m, x0 + 3, y0 + 3, HEDGE);
            SetStageTile(&m, x0 + 1, y0 + 5, GRAVE);
        }
        if (style == 3) {
            for (int b = 0; b < 3; ++b)
                SetStageTile(&m, x0 + NextBelow(&rng, 7), y0 + NextBelow(&rng, 7), BONES);
        }
    }
    KeepLargestRegion(&m, BRICK);
    return m;
}

// Stage 2: crypt corridors between tomb halls, cut out of solid stone.
StageMap Crypt() {
    StageMap m = MakeEmptyStage(64, 32, CRYPT);
    AssetRng rng = SeedRng(202);
    const int nx = 8, ny = 4, step = 8;
    auto node = [&](int i, int j, int* x, int* y) {
        *x = i * step + 3 + static_cast<int>(HashPoint(i, j, 7) % 3);
        *y = j * step + 3 + static_cast<int>(HashPoint(i, j, 8) % 3);
    };
    // Passage from node (i, j) to its east (south = false) or south neighbour, in unwrapped
    // coordinates; tiles wrap when set.
    auto corridor = [&](int i, int j, bool south) {
        int x0, y0, x1, y1;
        node(i, j, &x0, &y0);
        if (south) {
            node(i, (j + 1) % ny, &x1, &y1);
            if (j + 1 == ny) y1 += 32;
        } else {
            node((i + 1) % nx, j, &x1, &y1);
            if (i + 1 == nx) x1 += 64;
        }
        bool wide = NextBelow(&rng, 3) == 0;
        // An L-shaped passage: along x, then along y.
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) {
            SetStageTile(&m, x, y0, FLOOR);
            if (wide) SetStageTile(&m, x, y0 + 1, FLOOR);
        }
        for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y) {
            SetStageTile(&m, x1, y, FLOOR);
            if (wide) SetStageTile(&m, x1 + 1, y, FLOOR);
        }
    };
    std::vector<bool> seen(nx * ny, false);
    std::vector<int> stack = {0};
    seen[0] = true;
    while (!stack.empty()) {
        int r = stack.back(), i = r % nx, j = r / nx;
        const int ni[4] = {(i + 1) % nx, i, (i + nx - 1) % nx, i};
        const int nj[4] = {j, (j + 1) % ny, j, (j + ny - 1) % ny};
        int options[4], n = 0;
        for (int k = 0; k < 4; ++k) {
            if (!seen[static_cast<size_t>(nj[k] * nx + ni[k])]) options[n++] = k;
        }
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        int k = options[NextBelow(&rng, n)];
        if (k == 0)
            corridor(i, j, false);
        else if (k == 1)
            corridor(i, j, true);
        else if (k == 2)
            corridor(ni[k], j, false);
        else
            corridor(i, nj[k], true);
        seen[static_cast<size_t>(nj[k] * nx + ni[k])] = true;
        stack.push_back(nj[k] * nx + ni[k]);
    }
    for (int extra = 0; extra < 10; ++extra) {
        int i = NextBelow(&rng, nx), j = NextBelow(&rng, ny);
        corridor(i, j, NextBelow(&rng, 2) != 0);
    }
    // Tomb halls at some junctions: rows of graves with bones between them.
    for (int h = 0; h < 9; ++h) {
        int i = NextBelow(&rng, nx), j = NextBelow(&rng, ny), x, y;
        node(i, j, &x, &y);
        FillArea(&m, x - 2, y - 2, 6, 5, FLOOR);
        for (int g = 0; g < 3; ++g)
            SetStageTile(&m, x - 2 + g * 2 + 1, y - 2, GRAVE);
        SetStageTile(&m, x + NextBelow(&rng, 3) - 1, y + 1, BONES);
    }
    // Bones and gravel strewn along the passages.
    for (size_t i = 0; i < m.tiles.size(); ++i) {
        if (m.tiles[i] != FLOOR) continue;
        uint32_t h = HashPoint(static_cast<int>(i), 0, 9) % 100;
        if (h < 5)
            m.tiles[i] = BONES;
        else if (h < 20)
            m.tiles[i] = GRAVEL;
    }
    KeepLargestRegion(&m, CRYPT);
    return m;
}

// Stage 3: a thorn-hedge maze on a torus, braided so that most dead ends open up.
StageMap HedgeMaze() {
    StageMap m = MakeEmptyStage(64, 64, HEDGE);
    AssetRng rng = SeedRng(303);
    const int cells = 32;
    std::vector<bool> seen(cells * cells, false);
    std::vector<int> stack = {0};
    seen[0] = true;
    SetStageTile(&m, 0, 0, GRAVEL);
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    while (!stack.empty()) {
        int c = stack.back(), cx = c % cells, cy = c / cells;
        int options[4], n = 0;
        for (int k = 0; k < 4; ++k) {
            int nxc = (cx + dx[k] + cells) % cells, nyc = (cy + dy[k] + cells) % cells;
            if (!seen[static_cast<size_t>(nyc * cells + nxc)]) options[n++] = k;
        }
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        int k = options[NextBelow(&rng, n)];
        int nxc = (cx + dx[k] + cells) % cells, nyc = (cy + dy[k] + cells) % cells;
        SetStageTile(&m, cx * 2 + dx[k], cy * 2 + dy[k], GRAVEL);
        SetStageTile(&m, nxc * 2, nyc * 2, GRAVEL);
        seen[static_cast<size_t>(nyc * cells + nxc)] = true;
        stack.push_back(nyc * cells + nxc);
    }
    // Braid: knock through the hedge at most dead ends.
    for (int cy = 0; cy < cells; ++cy) {
        for (int cx = 0; cx < cells; ++cx) {
            int open = 0;
            for (int k = 0; k < 4; ++k)
                open += Walkable(StageTile(m, cx * 2 + dx[k], cy * 2 + dy[k]));
            if (open == 1 && NextBelow(&rng, 10) < 6) {
                int k = NextBelow(&rng, 4);
                for (int tries = 0; tries < 4 && Walkable(StageTile(m, cx * 2 + dx[k], cy * 2 + dy[k]));
                     ++tries) {
                    k = (k + 1) % 4;
                }
                SetStageTile(&m, cx * 2 + dx[k], cy * 2 + dy[k], GRAVEL);
            }
        }
    }
    // Mossy paths in places, and a few clearings with a pond or an old grave.
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (StageTile(m, x, y) == GRAVEL && TileFractal(x, y, 16, 64, 2, 31) > 0.55)
                SetStageTile(&m, x, y, MOSS);
            if (StageTile(m, x, y) == HEDGE && HashPoint(x, y, 32) % 40 == 0) SetStageTile(&m, x, y, GRAVE);
        }
    }
    for (int c = 0; c < 5; ++c) {
        int x = NextBelow(&rng, 16) * 4, y = NextBelow(&rng, 16) * 4;
        FillArea(&m, x, y, 5, 5, MOSS);
        if (c % 2)
            SetStageTile(&m, x + 2, y + 2, WATER);
        else
            SetStageTile(&m, x + 2, y + 2, GRAVE);
    }
    KeepLargestRegion(&m, HEDGE);
    return m;
}

// Stage 4: caverns grown by a cellular automaton, with black pools and bone-strewn mud.
StageMap Caverns() {
    const int w = 128, h = 64;
    StageMap m = MakeEmptyStage(w, h, ROCK);
    AssetRng rng = SeedRng(404);
    std::vector<uint8_t> solid(static_cast<size_t>(w * h));
    for (uint8_t& s : solid)
        s = NextBelow(&rng, 100) < 45 ? 1 : 0;
    for (int pass = 0; pass < 5; ++pass) {
        std::vector<uint8_t> next(solid.size());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int walls = 0;
                for (int j = -1; j <= 1; ++j) {
                    for (int i = -1; i <= 1; ++i) {
                        walls += solid[static_cast<size_t>(((y + j + h) % h) * w + (x + i + w) % w)];
                    }
                }
                next[static_cast<size_t>(y * w + x)] = walls >= 5 ? 1 : 0;
            }
        }
        solid = next;
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (solid[static_cast<size_t>(y * w + x)]) continue;
            double wet = TileFractal(x, y, 16, 128, 3, 41), moss = TileFractal(x, y, 8, 128, 2, 42);
            uint8_t k = MUD;
            if (wet > 0.66)
                k = WATER;
            else if (moss > 0.6)
                k = MOSS;
            else if (HashPoint(x, y, 43) % 30 == 0)
                k = BONES;
            else if (moss < 0.35)
                k = GRAVEL;
            SetStageTile(&m, x, y, k);
        }
    }
    KeepLargestRegion(&m, ROCK);
    return m;
}

// Stage 5: the open marsh, pools crossed by boardwalks, with a graveyard and ruined cottages.
StageMap Marsh() {
    const int w = 128, h = 128;
    StageMap m = MakeEmptyStage(w, h, MOSS);
    AssetRng rng = SeedRng(505);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double water = TileFractal(x, y, 32, 128, 4, 51), soil = TileFractal(x, y, 8, 128, 2, 52);
            uint8_t k = soil > 0.58 ? MUD : MOSS;
            if (water < 0.40)
                k = WATER;
            else if (HashPoint(x, y, 53) % 33 == 0)
                k = HEDGE; // lone dead trees and bramble
            SetStageTile(&m, x, y, k);
        }
    }
    // Boardwalks along a loose grid of lines, bridging the water wherever they cross it.
    for (int line = 0; line < 8; ++line) {
        int row = line * 16 + 4 + NextBelow(&rng, 8), col = line * 16 + 4 + NextBelow(&rng, 8);
        for (int i = 0; i < 128; ++i) {
            if (StageTile(m, i, row) == WATER || StageTile(m, i, row) == HEDGE)
                SetStageTile(&m, i, row, BOARDS);
            if (StageTile(m, col, i) == WATER || StageTile(m, col, i) == HEDGE)
                SetStageTile(&m, col, i, BOARDS);
        }
    }
    // A graveyard behind a low wall.
    {
        int gx = 40 + NextBelow(&rng, 20), gy = 40 + NextBelow(&rng, 20);
        FillArea(&m, gx, gy, 14, 10, MOSS);
        for (int y = gy + 2; y < gy + 9; y += 2) {
            for (int x = gx + 2; x < gx + 13; x += 3)
                SetStageTile(&m, x, y, GRAVE);
        }
        for (int x = gx; x < gx + 14; ++x) {
            if (x != gx + 6 && x != gx + 7) SetStageTile(&m, x, gy, BRICK);
        }
        FillArea(&m, gx + 6, gy - 6, 2, 6, GRAVEL);
    }
    // Ruined cottages: broken brick walls around board floors.
    for (int r = 0; r < 6; ++r) {
        int rx = NextBelow(&rng, 120), ry = NextBelow(&rng, 120), rw = 5 + NextBelow(&rng, 4),
            rh = 5 + NextBelow(&rng, 3);
        FillArea(&m, rx, ry, rw, rh, BOARDS);
        for (int i = 0; i < rw; ++i) {
            if (NextBelow(&rng, 4)) SetStageTile(&m, rx + i, ry, BRICK);
            if (NextBelow(&rng, 4)) SetStageTile(&m, rx + i, ry + rh - 1, BRICK);
        }
        for (int j = 1; j < rh - 1; ++j) {
            if (NextBelow(&rng, 4)) SetStageTile(&m, rx, ry + j, BRICK);
            if (NextBelow(&rng, 4)) SetStageTile(&m, rx + rw - 1, ry + j, BRICK);
        }
        SetStageTile(&m, rx + rw / 2, ry + rh - 1, BOARDS); // the doorway
        if (r % 2) SetStageTile(&m, rx + 2, ry + 2, BONES);
    }
    KeepLargestRegion(&m, WATER);
    return m;
}

} // namespace

StageMap MakeStage(int number) {
    switch (number) {
    case 1:
        return Manor();
    case 2:
        return Crypt();
    case 3:
        return HedgeMaze();
    case 4:
        return Caverns();
    case 5:
        return Marsh();
    default:
        return StageMap();
    }
}

} // namespace assets

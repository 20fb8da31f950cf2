// The player's and the enemies' sprite sheets: 32x32 cells, facing rows down, left, right, up.
#include "tools/assets/palette_ramps.h"
#include "tools/assets/sheets.h"

#include <cmath>

namespace assets {

namespace {

constexpr int kCell = 32;
enum Facing { FACE_DOWN, FACE_LEFT, FACE_RIGHT, FACE_UP };

// Fills a shape mask (any non-zero pixel) with a ramp, lit from the upper left: pixels whose
// upper/left neighbour is outside the shape get brighter, lower/right edges darker.
void ShadeShape(Canvas* c, const Canvas& mask, PaletteRamp ramp, double base, double topLight) {
    int n = RampLength(ramp);
    int top = mask.height, bottom = 0;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (GetPixel(mask, x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (!GetPixel(mask, x, y)) continue;
            double level = base;
            if (bottom > top) level += topLight * (0.5 - static_cast<double>(y - top) / (bottom - top));
            if (!GetPixel(mask, x - 1, y) || !GetPixel(mask, x, y - 1)) level += 1.6;
            if (!GetPixel(mask, x + 1, y) || !GetPixel(mask, x, y + 1)) level -= 1.4;
            if (!GetPixel(mask, x + 2, y)) level -= 0.6;
            double t = level / (n - 1);
            PutPixel(c, x, y, DitherShade(ramp, t < 0 ? 0 : t > 1 ? 1 : t, x, y));
        }
    }
}

// ---- The player: a girl in a crimson hooded cloak carrying a lantern. ----

struct Pose {
    int bodyDrop = 0; // crouch or collapse, pixels down
    int step = 0;     // -1, 0, 1: which foot is forward
    int arms = 0;     // 0 lantern at side, 1 reaching forward to lift, 2 raised in fright
    bool lanternLit = true;
    bool fading = false; // the last caught pose: the figure turning to mist
};

Pose PoseFor(int frame) {
    Pose p;
    switch (frame) {
    case 1:
        p.step = 1;
        break;
    case 2:
        p.step = -1;
        break;
    case 3:
        p.bodyDrop = 2;
        p.arms = 1;
        break;
    case 4:
        p.bodyDrop = 1;
        p.arms = 2;
        p.lanternLit = false;
        break;
    case 5:
        p.bodyDrop = 6;
        p.arms = 2;
        p.lanternLit = false;
        p.fading = true;
        break;
    default:
        break;
    }
    return p;
}

void Lantern(Canvas* c, int x, int y, bool lit) {
    FillRect(c, x, y, 5, 6, Shade(RAMP_WOOD, 2));
    // The flame burns in colours the darkness never touches: however low the light runs, the
    // player still sees her own lantern.
    FillRect(c, x + 1, y + 1, 3, 4, lit ? Shade(RAMP_GLOW_EMBER, 2) : Shade(RAMP_SHADOW, 4));
    if (lit) {
        PutPixel(c, x + 2, y + 2, Shade(RAMP_GLOW_EMBER, 4));
        PutPixel(c, x + 2, y + 3, Shade(RAMP_GLOW_EMBER, 3));
    }
    PutPixel(c, x + 2, y - 1, Shade(RAMP_WOOD, 4));
    FillRect(c, x + 1, y + 6, 3, 1, Shade(RAMP_WOOD, 1));
}

void Hand(Canvas* c, int x, int y, bool pale) {
    PutPixel(c, x, y, pale ? Shade(RAMP_GHOST, 8) : Shade(RAMP_SKIN, 5));
    PutPixel(c, x + 1, y, pale ? Shade(RAMP_GHOST, 6) : Shade(RAMP_SKIN, 3));
}

Canvas PlayerFrame(Facing face, int frame) {
    Pose p = PoseFor(frame);
    Canvas c = MakeCanvas(kCell, kCell, 0);
    const bool side = face == FACE_LEFT || face == FACE_RIGHT;
    const int cx = 16;
    const int drop = p.bodyDrop;

    // Boots.
    if (!p.fading) {
        uint8_t boot = Shade(RAMP_WOOD, 2);
        if (side) {
            FillRect(&c, cx - 3 - p.step * 2, 28, 3, 2, boot);
            FillRect(&c, cx + 1 + p.step * 2, 28, 3, 2, boot);
        } else {
            FillRect(&c, cx - 4, 28 + (p.step > 0 ? 1 : 0) - (p.step < 0 ? 1 : 0), 3, 2, boot);
            FillRect(&c, cx + 1, 28 + (p.step < 0 ? 1 : 0) - (p.step > 0 ? 1 : 0), 3, 2, boot);
        }
    }

    // Cloak: a bell that widens to the hem; in the fading pose it lies crumpled on the ground.
    Canvas cloak = MakeCanvas(kCell, kCell, 0);
    if (p.fading) {
        FillEllipse(&cloak, cx, 26, 10, 4.5, 1);
        FillEllipse(&cloak, cx, 22, 6, 4, 1);
    } else {
        int hem = 28;
        for (int y = 14 + drop; y <= hem; ++y) {
            double half = (side ? 3.5 : 4.2) + (y - 14 - drop) * (side ? 0.28 : 0.3);
            int x0 = static_cast<int>(std::lround(cx - half)), x1 = static_cast<int>(std::lround(cx + half));
            if (side) x0 -= (y - 14) / 5; // the cloak trails behind in profile
            for (int x = x0; x < x1; ++x) {
                if (y == hem && (x + frame) % 3 == 0) continue; // ragged hem
                PutPixel(&cloak, x, y, 1);
            }
        }
    }
    // Hood.
    double hoodX = cx + (side ? -1 : 0), hoodY = 10.5 + drop;
    FillEllipse(&cloak, hoodX, hoodY, 5.6, 5.4, 1);
    if (side) FillEllipse(&cloak, hoodX - 4, hoodY + 2.5, 2.5, 2.5, 1); // hood tail
    ShadeShape(&c, cloak, RAMP_BLOOD, p.fading ? 3.0 : 5.2, 3.0);

    // Face and hair inside the hood.
    bool pale = frame >= 4;
    PaletteRamp skin = pale ? RAMP_GHOST : RAMP_SKIN;
    if (face == FACE_DOWN) {
        FillEllipse(&c, cx, hoodY + 1.5, 3.6, 3.2, Shade(RAMP_WOOD, 1));
        FillEllipse(&c, cx, hoodY + 2.0, 3.0, 2.7, Shade(skin, pale ? 7 : 5));
        PutPixel(&c, cx - 2, static_cast<int>(hoodY) + 1, Shade(RAMP_WOOD, 2));
        PutPixel(&c, cx + 1, static_cast<int>(hoodY) + 1, Shade(RAMP_WOOD, 2));
        int eyeY = static_cast<int>(hoodY) + 2;
        PutPixel(&c, cx - 2, eyeY, Shade(RAMP_SHADOW, 0));
        PutPixel(&c, cx + 1, eyeY, Shade(RAMP_SHADOW, 0));
        if (frame >= 4) { // open mouth of fright
            PutPixel(&c, cx - 1, eyeY + 2, Shade(RAMP_SHADOW, 1));
            PutPixel(&c, cx, eyeY + 2, Shade(RAMP_SHADOW, 1));
        }
    } else if (side) {
        FillEllipse(&c, cx + 2.5, hoodY + 1.5, 2.6, 3.0, Shade(RAMP_WOOD, 1));
        FillEllipse(&c, cx + 3.0, hoodY + 2.0, 2.0, 2.6, Shade(skin, pale ? 7 : 5));
        PutPixel(&c, cx + 4, static_cast<int>(hoodY) + 2, Shade(RAMP_SHADOW, 0));
        PutPixel(&c, cx + 5, static_cast<int>(hoodY) + 3, Shade(skin, 3));
    } else {
        // From behind: only the hood's seam shows.
        DrawLine(&c, cx, static_cast<int>(hoodY) - 3, cx, static_cast<int>(hoodY) + 4, Shade(RAMP_BLOOD, 3));
    }

    // Arms and the lantern.
    int handY = 20 + drop;
    if (p.arms == 0) {
        if (face == FACE_DOWN) {
            Hand(&c, cx + 4, handY - 1, false);
            Lantern(&c, cx + 4, handY, true);
        } else if (side) {
            Hand(&c, cx + 3, handY - 1, false);
            Lantern(&c, cx + 3, handY, true);
        } else {
            Lantern(&c, cx - 9, handY, true); // carried on the far side, glimpsed past the cloak
            Hand(&c, cx - 8, handY - 1, false);
        }
    } else if (p.arms == 1) {
        // Reaching down to lift a lid: both hands forward, lantern set down beside.
        if (face == FACE_DOWN) {
            Hand(&c, cx - 4, handY + 5, false);
            Hand(&c, cx + 2, handY + 5, false);
            Lantern(&c, cx + 7, 23, true);
        } else if (side) {
            Hand(&c, cx + 5, handY + 3, false);
            Hand(&c, cx + 6, handY + 4, false);
            Lantern(&c, cx - 9, 23, true);
        } else {
            Hand(&c, cx - 5, handY - 4, false);
            Hand(&c, cx + 3, handY - 4, false);
            Lantern(&c, cx + 7, 23, true);
        }
    } else {
        // Hands thrown up in fright; the lantern lies dark on the ground.
        int up = p.fading ? 8 : 0;
        Hand(&c, cx - 8, handY - 9 + up, pale);
        Hand(&c, cx + 6, handY - 9 + up, pale);
        if (!p.fading) Lantern(&c, side ? cx + 8 : cx + 7, 24, false);
    }

    OutlineCanvas(&c, Shade(RAMP_SHADOW, 0), false);

    if (p.fading) {
        // The spirit leaving the fallen figure: two pale wisps curling upward.
        for (int k = 0; k < 2; ++k) {
            int x0 = cx - 3 + k * 6;
            for (int y = 3; y < 20; ++y) {
                int x = x0 + static_cast<int>(std::lround(std::sin(y * 0.45 + k * 2.0) * 2.0));
                uint8_t tone = Shade(RAMP_GHOST, y < 8 ? 6 : y < 14 ? 8 : 10);
                if (GetPixel(c, x, y) == 0 || y < 18) PutPixel(&c, x, y, tone);
                if (y > 9 && y < 18) PutPixel(&c, x + 1, y, Shade(RAMP_GHOST, 6));
            }
        }
    }

    // Soft shadow under the feet, drawn last underneath everything else.
    for (int y = 28; y < 32; ++y) {
        for (int x = cx - 8; x <= cx + 8; ++x) {
            double dx = (x + 0.5 - cx) / 8.0, dy = (y + 0.5 - 30.0) / 1.8;
            if (dx * dx + dy * dy <= 1.0 && GetPixel(c, x, y) == 0) PutPixel(&c, x, y, Shade(RAMP_SHADOW, 1));
        }
    }
    if (face == FACE_LEFT) return MirrorCanvas(c);
    return c;
}

// ---- The enemies: three kinds of ghost, drawn half-transparent by the game. ----

// A ghost is drawn at half strength over the floor, so it only shows as far as it differs from
// the floor: bodies are kept light and ringed with a lighter rim, and the eyes are the brightest
// pixels of all.
struct GhostLook {
    PaletteRamp ramp;
    double base;
    int height;  // top of the head, pixels from the cell top
    int width;   // half width at the hem
    bool hooded; // a dark hood opening instead of a face
    bool child;  // big head, hair, small body
    int rim;     // shade of the ramp ringing the silhouette
};

const GhostLook kGhosts[3] = {
    {RAMP_GHOST, 9.0, 5, 8, false, false, 11}, // the shroud
    {RAMP_ECTO, 5.6, 2, 7, true, false, 8},    // the hooded wraith
    {RAMP_LILAC, 9.0, 8, 6, false, true, 9},   // the child
};

Canvas GhostFrame(int variant, Facing face, int frame) {
    const GhostLook& g = kGhosts[variant];
    Canvas c = MakeCanvas(kCell, kCell, 0);
    Canvas body = MakeCanvas(kCell, kCell, 0);
    const bool side = face == FACE_LEFT || face == FACE_RIGHT;
    const int bob = frame == 2 ? -1 : frame == 3 ? 1 : 0;
    const double cx = 16 + (side ? 1 : 0);
    const int top = g.height + bob;
    const int hem = 28 + bob;
    const double headR = g.child ? 6.0 : 5.5;
    const double headY = top + headR;

    FillEllipse(&body, cx, headY, headR, headR, 1);
    for (int y = static_cast<int>(headY); y <= hem; ++y) {
        double t = static_cast<double>(y - headY) / (hem - headY);
        double half = (g.child ? 3.5 : headR - 0.5) + t * (g.width - headR + (g.child ? 1.5 : 0.5));
        // The hem ripples, and the ripple moves between the two walking frames.
        double ripple = y > hem - 4 ? std::sin((static_cast<double>(y) + frame * 2.0) * 1.3) * 0.8 : 0;
        double lean = side ? -(t * 3.0) : 0;
        for (int x = static_cast<int>(std::floor(cx - half + lean + ripple)); x < cx + half + lean + ripple;
             ++x) {
            bool tatter = y >= hem - 2 && ((x + frame * 2) % 4 == 0 || (y == hem && (x + frame) % 2 == 0));
            if (!tatter) PutPixel(&body, x, y, 1);
        }
    }
    // Reaching arms.
    int armY = static_cast<int>(headY) + 6;
    if (side) {
        for (int i = 0; i < 6; ++i)
            PutPixel(&body, static_cast<int>(cx) + 2 + i, armY + (i > 3 ? 1 : 0) - bob, 1);
        for (int i = 0; i < 6; ++i)
            PutPixel(&body, static_cast<int>(cx) + 2 + i, armY + 1 + (i > 3 ? 1 : 0) - bob, 1);
    } else {
        for (int i = 0; i < 4; ++i) {
            PutPixel(&body, static_cast<int>(cx) - g.width - 1 + i / 2, armY + 3 - i, 1);
            PutPixel(&body, static_cast<int>(cx) + g.width - i / 2, armY + 3 - i, 1);
            PutPixel(&body, static_cast<int>(cx) - g.width + i / 2, armY + 3 - i, 1);
            PutPixel(&body, static_cast<int>(cx) + g.width - 1 - i / 2, armY + 3 - i, 1);
        }
    }
    ShadeShape(&c, body, g.ramp, g.base, 3.5);

    const int hy = static_cast<int>(headY);
    const int hx = static_cast<int>(cx);
    if (g.child) {
        // Long dark hair framing a small pale face.
        Canvas hair = MakeCanvas(kCell, kCell, 0);
        FillEllipse(&hair, cx, headY - 1, headR + 0.5, headR, 1);
        if (face != FACE_UP) {
            FillRect(&hair, hx - 7, hy, 3, 9, 1);
            FillRect(&hair, hx + 4, hy, 3, 9, 1);
        } else {
            FillRect(&hair, hx - 6, hy, 12, 10, 1);
        }
        ShadeShape(&c, hair, RAMP_VIOLET, 9.5, 2.0); // pale, or it sinks into a dark floor
        if (face == FACE_DOWN) {
            FillEllipse(&c, cx, headY + 1.5, 3.5, 4, Shade(RAMP_LILAC, 9));
            FillRect(&c, hx - 3, hy - 2, 7, 2, Shade(RAMP_VIOLET, 7)); // fringe
            PutPixel(&c, hx - 2, hy + 1, Shade(RAMP_HUD_RED, 4));
            PutPixel(&c, hx + 1, hy + 1, Shade(RAMP_HUD_RED, 4));
            PutPixel(&c, hx - 1, hy + 4, Shade(RAMP_SHADOW, 2));
        } else if (side) {
            FillEllipse(&c, cx + 3, headY + 1.5, 2.2, 3.5, Shade(RAMP_LILAC, 9));
            PutPixel(&c, hx + 4, hy + 1, Shade(RAMP_HUD_RED, 4));
        }
    } else if (g.hooded) {
        // A black hood opening with two cold green eyes.
        if (face != FACE_UP) {
            double fx = side ? cx + 2.5 : cx;
            FillEllipse(&c, fx, headY + 1, side ? 2.5 : 3.5, 3.5, Shade(RAMP_SHADOW, 0));
            if (side) {
                PutPixel(&c, static_cast<int>(fx) + 1, hy + 1, Shade(RAMP_ECTO, 9));
            } else {
                PutPixel(&c, hx - 2, hy + 1, Shade(RAMP_ECTO, 9));
                PutPixel(&c, hx + 1, hy + 1, Shade(RAMP_ECTO, 9));
            }
        } else {
            DrawLine(&c, hx, hy - 4, hx, hy + 6, Shade(RAMP_ECTO, 3));
        }
        // Bony fingers at the ends of the sleeves.
        for (int i = 0; i < 3; ++i) {
            if (side)
                PutPixel(&c, hx + 8 + (i == 1 ? 1 : 0), armY - bob + i, Shade(RAMP_BONE, 8));
            else {
                PutPixel(&c, hx - g.width - 1 - (i == 1 ? 1 : 0), armY + 3 + i, Shade(RAMP_BONE, 8));
                PutPixel(&c, hx + g.width + (i == 1 ? 1 : 0), armY + 3 + i, Shade(RAMP_BONE, 8));
            }
        }
    } else {
        // The shroud: hollow eyes and a moaning mouth.
        if (face == FACE_DOWN) {
            FillEllipse(&c, cx - 2.5, headY, 1.3, 1.8, Shade(RAMP_SHADOW, 0));
            FillEllipse(&c, cx + 2.5, headY, 1.3, 1.8, Shade(RAMP_SHADOW, 0));
            FillEllipse(&c, cx, headY + 4, 1.2, 1.6 + (frame == 2 ? 0.5 : 0), Shade(RAMP_SHADOW, 1));
        } else if (side) {
            FillEllipse(&c, cx + 3, headY, 1.2, 1.8, Shade(RAMP_SHADOW, 0));
            FillEllipse(&c, cx + 4, headY + 4, 1.0, 1.4, Shade(RAMP_SHADOW, 1));
        }
    }
    OutlineCanvas(&c, Shade(g.ramp, g.rim), false);
    if (face == FACE_LEFT) return MirrorCanvas(c);
    return c;
}

} // namespace

Canvas MakePlayerSheet() {
    Canvas sheet = MakeCanvas(6 * kCell, 4 * kCell, 0);
    for (int row = 0; row < 4; ++row) {
        for (int frame = 0; frame < 6; ++frame) {
            PasteCanvas(&sheet, PlayerFrame(static_cast<Facing>(row), frame), frame * kCell, row * kCell,
                        false);
        }
    }
    return sheet;
}

Canvas MakeEnemySheet() {
    Canvas sheet = MakeCanvas(12 * kCell, 4 * kCell, 0);
    for (int variant = 0; variant < 3; ++variant) {
        for (int row = 0; row < 4; ++row) {
            for (int frame = 0; frame < 4; ++frame) {
                PasteCanvas(&sheet, GhostFrame(variant, static_cast<Facing>(row), frame),
                            (variant * 4 + frame) * kCell, row * kCell, false);
            }
        }
    }
    return sheet;
}

} // namespace assets

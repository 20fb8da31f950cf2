// Fills and copies between surfaces, each clipped in integer arithmetic before the raw blitter runs.
#include "video/blit.h"

#include "video/degree_sine.h"

int32_t wavePhase = 0;

int32_t DDFillRect(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t height, int32_t index) {
    PlatformBlitRect r{x, y, x + width, y + height};
    // Only one edge is clipped per axis: a rectangle hanging over both is refused by the blitter.
    if (x < 0)
        r.left = 0;
    else if (x + width > dest->width)
        r.right = dest->width;
    if (y < 0)
        r.top = 0;
    else if (y + height > dest->height)
        r.bottom = dest->height;
    return PlatformColorFill(dest->surface, r, static_cast<uint8_t>(index));
}

int32_t DDBltClip(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t height, Surface* src,
                  int32_t srcX, int32_t srcY, int32_t flags) {
    PlatformBlitRect s{srcX, srcY, srcX + width, srcY + height};
    if (srcX < 0) s.left = 0;
    if (srcY < 0) s.top = 0;
    if (s.right > src->width) s.right = src->width;
    if (s.bottom > src->height) s.bottom = src->height;
    if (x < 0) {
        s.left -= x;
        x = 0;
    } else if (x + (s.right - s.left) > dest->width) {
        s.right = s.left + dest->width - x;
    }
    if (y < 0) {
        s.top -= y;
        y = 0;
    } else if (y + (s.bottom - s.top) > dest->height) {
        s.bottom = s.top + dest->height - y;
    }
    return PlatformBltFast(dest->surface, x, y, src->surface, s, flags == BLT_KEYED);
}

int32_t DDBltStretch(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t height, Surface* src,
                     int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t flags) {
    if (width <= 0 || height <= 0) return BLIT_INVALID_RECT;
    PlatformBlitRect d{x, y, x + width, y + height};
    PlatformBlitRect s{srcX, srcY, srcX + srcWidth, srcY + srcHeight};
    const double scaleX = static_cast<double>(srcWidth) / width;
    const double scaleY = static_cast<double>(srcHeight) / height;
    if (srcX < 0) s.left = 0;
    if (srcY < 0) s.top = 0;
    if (s.right > src->width) s.right = src->width;
    if (s.bottom > src->height) s.bottom = src->height;
    if (x < 0) {
        s.left -= static_cast<int32_t>(x * scaleX);
        d.left = 0;
    }
    if (x + width > dest->width) {
        s.right -= static_cast<int32_t>((x + width - dest->width) * scaleX);
        d.right = dest->width;
    }
    if (y < 0) {
        s.top -= static_cast<int32_t>(y * scaleY);
        d.top = 0;
    }
    if (y + height > dest->height) {
        s.bottom -= static_cast<int32_t>((y + height - dest->height) * scaleY);
        d.bottom = dest->height;
    }
    const bool keyed = flags == 1 || (flags & DDBLT_KEYSRC) != 0;
    return PlatformBltScaled(dest->surface, d, src->surface, s, keyed);
}

void DDBltWave(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t rows, int32_t cycles,
               int32_t amplitude, Surface* src, int32_t srcX, int32_t srcY, int32_t flags) {
    if (rows > 0) {
        const int32_t step = 360 / rows;
        for (int32_t r = 0; r < rows; ++r) {
            const double angle = static_cast<double>(wavePhase + (r + 1) * step) * cycles;
            const auto offset = static_cast<int32_t>(DegreeSine(angle) * amplitude);
            DDBltClip(dest, x + offset, y + r, width, 1, src, srcX, srcY + r, flags);
        }
    }
    if (++wavePhase >= 360) wavePhase = 0;
}

// Small parts and title sheets whose every cell has its own palette index, so a test can tell which cell
// landed where.
#pragma once
#include <cstdint>
#include <vector>

namespace sheets {

constexpr uint8_t STAGE_LABEL = 80;
constexpr uint8_t LIVES_LABEL_LEFT = 85; // the lives label's two 16-wide halves differ too
constexpr uint8_t LIVES_LABEL_RIGHT = 86;
constexpr uint8_t TEXT_LINE = 70;
constexpr uint8_t RECORD_LABEL = 90;
inline uint8_t RecordDigit(int32_t d) {
    return static_cast<uint8_t>(100 + d);
}
inline uint8_t StageDigit(int32_t d) {
    return static_cast<uint8_t>(110 + d);
}
// Cell c of the lives row, from c = 2 on (cells 0 and 1 are the label).
inline uint8_t LivesCell(int32_t c) {
    return static_cast<uint8_t>(140 + c);
}
// The title picture in eight vertical bands of 20 pixels, indices 40..47.
inline uint8_t TitleBand(int32_t x) {
    return static_cast<uint8_t>(40 + x / 20);
}

constexpr int32_t PARTS_WIDTH = 320;
constexpr int32_t PARTS_HEIGHT = 128;

// The parts sheet laid out as the game copies from it, index 0 (the colour key) wherever no cell is.
inline std::vector<uint8_t> PartsPixels() {
    std::vector<uint8_t> p(PARTS_WIDTH * PARTS_HEIGHT, 0);
    auto fill = [&p](int32_t x, int32_t y, int32_t w, int32_t h, uint8_t index) {
        for (int32_t row = y; row < y + h; ++row)
            for (int32_t col = x; col < x + w; ++col)
                p[static_cast<size_t>(row * PARTS_WIDTH + col)] = index;
    };
    fill(0, 0, 64, 16, STAGE_LABEL);
    for (int32_t d = 0; d < 10; ++d)
        fill((d + 4) * 16, 0, 16, 16, StageDigit(d));
    fill(0, 16, 16, 16, LIVES_LABEL_LEFT);
    fill(16, 16, 16, 16, LIVES_LABEL_RIGHT);
    for (int32_t c = 2; c < 20; ++c)
        fill(c * 16, 16, 16, 16, LivesCell(c));
    fill(0, 32, 128, 32, TEXT_LINE);
    fill(0, 64, 96, 32, RECORD_LABEL);
    for (int32_t d = 0; d < 10; ++d)
        fill(32 * d, 96, 32, 32, RecordDigit(d));
    return p;
}

// The top-left width x height of the parts sheet, for a sheet smaller than the game's.
inline std::vector<uint8_t> CroppedParts(int32_t width, int32_t height) {
    const std::vector<uint8_t> full = PartsPixels();
    std::vector<uint8_t> p;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            p.push_back(full[static_cast<size_t>(y * PARTS_WIDTH + x)]);
    return p;
}

inline std::vector<uint8_t> TitlePixels() {
    std::vector<uint8_t> p;
    for (int32_t y = 0; y < 160; ++y)
        for (int32_t x = 0; x < 160; ++x)
            p.push_back(TitleBand(x));
    return p;
}

} // namespace sheets

// Fixed16 arithmetic: 32-bit two's-complement sums that wrap instead of overflowing.
#pragma once
#include <cstdint>

// One pixel in 16.16 fixed point.
constexpr int32_t FIXED_ONE = 65536;

constexpr int32_t Pixels(int32_t n) {
    return static_cast<int32_t>(static_cast<uint32_t>(n) << 16);
}

// A 1024-tile map is 2^31 units across, one past int32's range, so sums on it must wrap, not overflow.
constexpr int32_t Add32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t Sub32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

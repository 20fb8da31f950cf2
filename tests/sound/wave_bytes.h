// Hand-built WAV files for the sound tests: RIFF chunks laid out byte by byte, good and damaged.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace wavebytes {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFFu);
    Put16(out, v >> 16);
}

// One chunk with its header; the size field may lie (sizeOverride) to make damaged files.
inline std::vector<uint8_t> Chunk(const std::string& id, const std::vector<uint8_t>& body, bool pad = true,
                                  int64_t sizeOverride = -1) {
    std::vector<uint8_t> out(id.begin(), id.end());
    Put32(out, sizeOverride >= 0 ? static_cast<uint32_t>(sizeOverride) : static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (pad && (body.size() & 1)) out.push_back(0);
    return out;
}

// A "fmt " body of the given length (16, 18, or longer), block alignment and byte rate derived.
inline std::vector<uint8_t> FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                       size_t length = 16) {
    std::vector<uint8_t> body;
    const uint32_t align = channels * bits / 8u;
    Put16(body, tag);
    Put16(body, channels);
    Put32(body, rate);
    Put32(body, rate * align);
    Put16(body, align);
    Put16(body, bits);
    while (body.size() < length)
        body.push_back(0);
    body.resize(length);
    return body;
}

// "RIFF" size "WAVE" followed by the chunks; the RIFF size may lie as well.
inline std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks, int64_t sizeOverride = -1,
                                 const std::string& form = "WAVE") {
    std::vector<uint8_t> body(form.begin(), form.end());
    for (const auto& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return Chunk("RIFF", body, false, sizeOverride);
}

// A plain PCM file: 16-byte "fmt " then "data".
inline std::vector<uint8_t> Wave(uint16_t channels, uint32_t rate, uint16_t bits,
                                 const std::vector<uint8_t>& samples) {
    return Riff({Chunk("fmt ", FormatBody(1, channels, rate, bits)), Chunk("data", samples)});
}

// Samples of a sine tone, |amplitude| <= 1, as 8-bit unsigned or 16-bit signed little-endian, every
// channel the same.
inline std::vector<uint8_t> Tone(uint16_t channels, uint32_t rate, uint16_t bits, double seconds, double hz,
                                 double amplitude) {
    std::vector<uint8_t> out;
    const auto frames = static_cast<uint32_t>(seconds * rate);
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2.0 * 3.14159265358979323846 * hz * i / rate);
        for (uint16_t c = 0; c < channels; ++c) {
            if (bits == 8) {
                out.push_back(static_cast<uint8_t>(std::lround(128.0 + v * 127.0)));
            } else {
                Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767.0))));
            }
        }
    }
    return out;
}

} // namespace wavebytes

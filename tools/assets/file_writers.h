// Writers for the file formats the game reads: 8-bit BMP, PCM WAV, and plain byte files.
#pragma once
#include "tools/assets/canvas.h"
#include "tools/assets/palette_ramps.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// A bottom-up 8-bit BMP with the full 256-entry colour table.
std::vector<uint8_t> EncodeBitmap(const Canvas& c, const Rgb palette[256]);
// Mono 16-bit PCM WAV with a 16-byte "fmt " chunk; samples in [-1, 1] are scaled and rounded.
std::vector<uint8_t> EncodeWave(const std::vector<double>& samples, int sampleRate);

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes);
// No file the tool reads comes near this; anything larger is refused unread.
constexpr size_t kMaxReadBytes = 64u << 20;
// The whole file; false when it is missing, cannot be read, is a folder or is over kMaxReadBytes, with
// the reason in why (when given).
bool ReadBytesFromFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* why = nullptr);
// At most the first `limit` bytes, as a reader of the game that stops there sees the file: false only when
// it cannot be read at all (missing, a folder, a read error), with the reason in why (when given).
bool ReadFileStart(const std::string& path, size_t limit, std::vector<uint8_t>* bytes,
                   std::string* why = nullptr);
// Creates the folder and its parents; true when it exists afterwards.
bool MakeFolder(const std::string& path);

void PutLE16(std::vector<uint8_t>* out, uint32_t v);
void PutLE32(std::vector<uint8_t>* out, uint32_t v);
// The 40-byte picture header of an 8-bit BMP or icon image, then its 256 colours (blue, green, red, 0).
void PutDibHeader(std::vector<uint8_t>* out, uint32_t width, uint32_t height, uint32_t imageBytes,
                  uint32_t pixelsPerMetre, const Rgb palette[256]);
uint32_t GetLE16(const uint8_t* p);
uint32_t GetLE32(const uint8_t* p);

} // namespace assets

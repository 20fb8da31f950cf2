// Pictures of the game put together as indexed-colour PNG files in memory, ready to be written.
#pragma once
#include <cstdint>
#include <vector>

// Encodes width x height palette indices (rows `pitch` bytes apart) as an indexed-colour PNG through 256
// colours given as red, green, blue bytes, entry 0 first. False for a picture that cannot be encoded.
bool EncodeIndexedPng(const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                      const uint8_t colours[256 * 3], std::vector<uint8_t>* png);

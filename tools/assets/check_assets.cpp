// Checks an asset tree the way the game will use it, and says in plain words what would go wrong.
#include "tools/assets/check_assets.h"

#include "base/asset_paths.h"
#include "game/stage_file.h"
#include "platform/audio.h"
#include "platform/file.h"
#include "sound/wave_file.h"
#include "tools/assets/blend_table.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/make_assets.h"
#include "tools/assets/sheets.h"
#include "tools/assets/stage_codec.h"
#include "video/bitmap_file.h"

#include <cstring>
#include <filesystem>
#include <memory>

namespace assets {

namespace {

struct BitmapRule {
    const char* path;
    int minWidth, minHeight;
    const char* use;
};

const BitmapRule kBitmaps[] = {
    {ASSET_TEXT, 1, 1, "the text sheet"},
    {ASSET_MAPCHIP, 256, 64, "16 tile cells of 32x32"},
    {ASSET_PLAYER, 192, 128, "6 frames by 4 facing rows of 32x32"},
    {ASSET_ENEMY, 352, 128, "enemy columns 0..10 by 4 facing rows of 32x32"},
    {ASSET_PARTS, 320, 128, "the labels, digits and title line"},
    {ASSET_TITLE, 160, 160, "the title picture"},
    {ASSET_FIXEDTEXT, 96, 64, "the cleared caption and the capture glyph"},
    {ASSET_MASK, 320, 240, "the light mask over the whole screen"},
};

std::string Num(int64_t v) {
    return std::to_string(v);
}

bool SameColors(const BitmapFile& a, const BitmapFile& b, int* firstDifference) {
    for (int i = 0; i < 256; ++i) {
        if (std::memcmp(a.colorTable[i], b.colorTable[i], 3) != 0) {
            *firstDifference = i;
            return false;
        }
    }
    return true;
}

// A file that could not be read at all: missing, or why not.
std::string Unreadable(const std::string& why) {
    return why.empty() || why == "it is missing" ? "the file is missing or cannot be read"
                                                 : "the file cannot be read: " + why;
}

void CheckWave(const std::string& dir, const char* gamePath, std::vector<AssetProblem>* out) {
    std::string path = AssetPathIn(dir, gamePath);
    // The game's own reader first: it reads only the chunks it needs, however long the file is.
    WaveFile wave{};
    if (!LoadWaveFile(path.c_str(), &wave)) {
        std::vector<uint8_t> bytes;
        std::string why;
        out->push_back(
            {gamePath,
             (ReadBytesFromFile(path, &bytes, &why) ? DescribeWaveRefusal(bytes) : Unreadable(why)) +
                 "; the game stops at start-up",
             true});
        return;
    }
    const WaveFormat f = wave.format;
    const uint32_t size = wave.size;
    FreeWaveFile(&wave);
    // A sound buffer is made in the file's own format and size; the game asks the device the same question.
    if (PlatformAudioTakes(f, size)) return;
    const std::string gameEnds = "; the game stops at start-up with \"the sound device refused the sound " +
                                 PlatformNativePath(gamePath) + "\"";
    if (!PlatformAudioTakes(f, DSBSIZE_MIN)) {
        out->push_back({gamePath,
                        "its format (" + Num(f.channels) + " channels, " + Num(f.bitsPerSample) + " bits, " +
                            Num(f.samplesPerSec) + " Hz, block " + Num(f.blockAlign) +
                            ") cannot make a sound buffer; use PCM, 1 or 2 channels, 8 or 16 bits" + gameEnds,
                        true});
    } else if (size < DSBSIZE_MIN) {
        out->push_back({gamePath,
                        "its \"data\" chunk holds " + Num(size) + " bytes of samples, fewer than the " +
                            Num(DSBSIZE_MIN) + " a sound buffer needs" + gameEnds,
                        true});
    } else {
        out->push_back({gamePath,
                        "its \"data\" chunk holds " + Num(size) + " bytes of samples, more than the " +
                            Num(DSBSIZE_MAX) + " a sound buffer can hold" + gameEnds,
                        true});
    }
}

void CheckStageAsset(const std::string& dir, const char* gamePath, std::vector<AssetProblem>* out) {
    std::vector<uint8_t> bytes;
    std::string why;
    // The game reads no further than the largest stage, so what lies beyond cannot matter.
    if (!ReadFileStart(AssetPathIn(dir, gamePath), STAGE_MAX_FILE_BYTES, &bytes, &why)) {
        out->push_back({gamePath, Unreadable(why) + "; the game stops when this stage starts", true});
        return;
    }
    // The very check the game makes before it plays the stage.
    std::vector<std::string> problems;
    ::CheckStageFile(bytes.data(), bytes.size(), &problems);
    for (const std::string& p : problems)
        out->push_back({gamePath, p, true});
}

} // namespace

std::string DescribeBitmapRefusal(const std::vector<uint8_t>& bytes) {
    // Follows the game's decoder step by step and names the first field it would refuse, with its value.
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return "it is not a BMP file (it does not start with \"BM\")";
    if (size < 18) return "it has only " + Num(size) + " bytes, too few for a BMP header";
    const uint32_t declared = GetLE32(&bytes[2]);
    if (declared != 0 && declared > size) {
        return "its file size field bfSize (offset 2) is " + Num(declared) + ", but the file has " +
               Num(size) + " bytes";
    }
    const uint32_t infoSize = GetLE32(&bytes[14]);
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 64 &&
        infoSize != 108 && infoSize != 124) {
        return "its info header size biSize (offset 14) is " + Num(infoSize) + ", a kind that cannot be read";
    }
    if (size < 14 + static_cast<int64_t>(infoSize)) return "the file ends inside its info header";
    const bool core = infoSize == 12;
    const uint32_t planes = core ? GetLE16(&bytes[22]) : GetLE16(&bytes[26]);
    const uint32_t bits = core ? GetLE16(&bytes[24]) : GetLE16(&bytes[28]);
    if (bits != 8) {
        return "its biBitCount (offset " + Num(core ? 24 : 28) + ") is " + Num(bits) +
               "; the game needs 8-bit (256-colour) bitmaps";
    }
    if (planes != 1) return "its biPlanes (offset " + Num(core ? 22 : 26) + ") is " + Num(planes) + ", not 1";
    if (!core && GetLE32(&bytes[30]) != 0) {
        return "its biCompression (offset 30) is " + Num(GetLE32(&bytes[30])) +
               "; the game needs uncompressed pixels";
    }
    int64_t width, height;
    if (core) {
        width = GetLE16(&bytes[18]);
        height = static_cast<int16_t>(GetLE16(&bytes[20]));
    } else {
        width = static_cast<int32_t>(GetLE32(&bytes[18]));
        height = static_cast<int32_t>(GetLE32(&bytes[22]));
    }
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        return "its size biWidth x biHeight (offsets 18, 22) is " + Num(width) + " x " + Num(height) +
               "; each side must be 1..16384";
    }
    const uint32_t colorsUsed = core ? 0 : GetLE32(&bytes[46]);
    if (colorsUsed > 256) return "its biClrUsed (offset 46) is " + Num(colorsUsed) + ", more than 256";
    const int64_t tableOffset = 14 + static_cast<int64_t>(infoSize);
    const int64_t pixelOffset = GetLE32(&bytes[10]);
    if (pixelOffset < tableOffset) {
        return "its pixel offset bfOffBits (offset 10) is " + Num(pixelOffset) +
               ", inside its headers (they end at " + Num(tableOffset) + ")";
    }
    const int64_t tableBytes = (colorsUsed == 0 ? 256 : colorsUsed) * (core ? 3 : 4);
    if (std::min(tableOffset + tableBytes, pixelOffset) > size)
        return "the file ends inside its colour table";
    const int64_t stride = (width + 3) / 4 * 4;
    if (pixelOffset + stride * height > size) {
        return "its pixel rows are cut short: " + Num(pixelOffset + stride * height) + " bytes are needed, " +
               Num(size) + " are there";
    }
    return "its headers do not agree with its length";
}

std::string DescribeWaveRefusal(const std::vector<uint8_t>& bytes) {
    // Follows the game's reader: top-level chunks first, each of which must fit the file.
    const uint64_t size = bytes.size();
    uint64_t at = 0, riffStart = 0, riffEnd = 0;
    while (riffEnd == 0) {
        if (at + 12 > size) {
            return at == 0 ? "it is not a RIFF WAVE file (too short)"
                           : "it has no RIFF chunk of form \"WAVE\"";
        }
        const std::string id(reinterpret_cast<const char*>(&bytes[at]), 4);
        const uint32_t chunk = GetLE32(&bytes[at + 4]);
        if (at + 8 + chunk > size) {
            return "its \"" + id + "\" chunk's size field (offset " + Num(static_cast<int64_t>(at + 4)) +
                   ") is " + Num(chunk) + ", but only " + Num(static_cast<int64_t>(size - at - 8)) +
                   " bytes follow it";
        }
        if (id == "RIFF" && chunk >= 4 && std::memcmp(&bytes[at + 8], "WAVE", 4) == 0) {
            riffStart = at + 12;
            riffEnd = at + 8 + chunk;
        } else {
            at += 8 + chunk + (chunk & 1u);
        }
    }
    bool sawFormat = false, sawDataFirst = false;
    at = riffStart;
    while (at + 8 <= riffEnd) {
        const std::string id(reinterpret_cast<const char*>(&bytes[at]), 4);
        const uint32_t chunk = GetLE32(&bytes[at + 4]);
        if (at + 8 + chunk > riffEnd) {
            return "its \"" + id + "\" chunk's size field (offset " + Num(static_cast<int64_t>(at + 4)) +
                   ") is " + Num(chunk) + ", past the end of its RIFF chunk";
        }
        if (!sawFormat && id == "fmt ") {
            if (chunk > 18) {
                return "its \"fmt \" chunk has " + Num(chunk) +
                       " bytes; only plain PCM blocks of up to 18 bytes are accepted (no extensible format)";
            }
            const uint32_t tag = chunk >= 2 ? GetLE16(&bytes[at + 8]) : 0;
            if (tag != 1)
                return "its format tag is " + Num(tag) + ", not 1 (PCM): compressed sound is refused";
            sawFormat = true;
        } else if (!sawFormat && id == "data") {
            sawDataFirst = true;
        }
        at += 8 + chunk + (chunk & 1u);
    }
    if (!sawFormat) return "it has no \"fmt \" chunk";
    if (sawDataFirst) return "its \"data\" chunk comes before its \"fmt \" chunk";
    return "it has no \"data\" chunk after its \"fmt \" chunk";
}

std::vector<AssetProblem> CheckAssets(const std::string& dir) {
    std::vector<AssetProblem> out;
    // Large enough to be kept off the stack.
    std::unique_ptr<BitmapFile> bitmaps[std::size(kBitmaps)];
    const BitmapFile* palette = nullptr;
    for (size_t i = 0; i < std::size(kBitmaps); ++i) {
        const BitmapRule& rule = kBitmaps[i];
        std::vector<uint8_t> bytes;
        std::string why;
        if (!ReadBytesFromFile(AssetPathIn(dir, rule.path), &bytes, &why)) {
            out.push_back({rule.path, Unreadable(why), true});
            continue;
        }
        auto bmp = std::make_unique<BitmapFile>();
        if (!DecodeBitmapFile(bytes.data(), bytes.size(), bmp.get())) {
            out.push_back({rule.path, DescribeBitmapRefusal(bytes), true});
            continue;
        }
        // The game plays on with a small sheet or a short palette, so these are warnings: it just shows
        // the wrong thing.
        if (bmp->width < rule.minWidth || bmp->height < rule.minHeight) {
            out.push_back({rule.path,
                           "it is " + Num(bmp->width) + " x " + Num(bmp->height) + " pixels; at least " +
                               Num(rule.minWidth) + " x " + Num(rule.minHeight) + " are needed for " +
                               rule.use + " (the game draws nothing for the parts outside it)",
                           false});
        }
        if (std::strcmp(rule.path, ASSET_PARTS) == 0) {
            if (bmp->colorCount < 256) {
                out.push_back({rule.path,
                               "its colour table has " + Num(bmp->colorCount) +
                                   " entries; it is the game's palette and needs all 256 (the game shows the "
                                   "missing ones black)",
                               false});
            }
            palette = bmp.get();
        }
        if (std::strcmp(rule.path, ASSET_MASK) == 0 && bmp->width > kMaskCentreX &&
            bmp->height > kMaskCentreY &&
            bmp->pixels[static_cast<size_t>(kMaskCentreY) * static_cast<size_t>(bmp->width) + kMaskCentreX] !=
                0) {
            out.push_back(
                {rule.path,
                 "the pixel at (160, 120), where the player stands, is not index 0, so the mask hides "
                 "the player",
                 false});
        }
        bitmaps[i] = std::move(bmp);
    }
    if (palette) {
        for (size_t i = 0; i < std::size(kBitmaps); ++i) {
            int first = 0;
            if (bitmaps[i] && bitmaps[i].get() != palette && !SameColors(*bitmaps[i], *palette, &first)) {
                out.push_back({kBitmaps[i].path,
                               "its colour table differs from the palette in " + std::string(ASSET_PARTS) +
                                   " (first at entry " + Num(first) +
                                   "); the game shows its pixels in the palette's colours",
                               false});
            }
        }
    }

    std::vector<uint8_t> table;
    std::string tableWhy;
    // The game reads the first 65536 bytes and plays with whatever they are; one more says the file is
    // longer.
    if (!ReadFileStart(AssetPathIn(dir, ASSET_BLEND_TABLE), 65537, &table, &tableWhy)) {
        out.push_back({ASSET_BLEND_TABLE, Unreadable(tableWhy) + "; the game stops at start-up", true});
    } else if (table.size() != 65536) {
        out.push_back(
            {ASSET_BLEND_TABLE,
             table.size() < 65536
                 ? "it has " + Num(static_cast<int64_t>(table.size())) +
                       " bytes; the blend table is exactly 65536 (256 x 256); the game uses index 0 "
                       "for the entries it lacks"
                 : std::string("it is longer than 65536 bytes (256 x 256); the game reads only the "
                               "first 65536"),
             false});
    } else if (palette) {
        // Hand-tuned tables are allowed, so a mismatch is only worth a note.
        Rgb colors[256];
        for (int i = 0; i < 256; ++i) {
            colors[i] = Rgb{palette->colorTable[i][2], palette->colorTable[i][1], palette->colorTable[i][0]};
        }
        std::vector<uint8_t> expected = MakeBlendTable(colors);
        int wrong = 0;
        for (size_t i = 0; i < table.size(); ++i)
            wrong += table[i] != expected[i];
        if (wrong > 0) {
            out.push_back({ASSET_BLEND_TABLE,
                           Num(wrong) + " of 65536 entries differ from the table made for this palette "
                                        "(make-blend-table rebuilds it)",
                           false});
        }
    }

    const char* waves[] = {ASSET_WAVE_CURSOR, ASSET_WAVE_DOOR,        ASSET_WAVE_OPEN,  ASSET_WAVE_APPEAR,
                           ASSET_WAVE_SEAL,   ASSET_WAVE_PAUSE,       ASSET_WAVE_DEATH, ASSET_WAVE_SCREAM,
                           ASSET_WAVE_GROAN,  ASSET_WAVE_DEVIL_CHILD, ASSET_WAVE_HELP};
    for (const char* wave : waves)
        CheckWave(dir, wave, &out);
    for (const char* stage : ASSET_STAGES)
        CheckStageAsset(dir, stage, &out);

    std::error_code ec;
    if (!std::filesystem::is_directory(AssetPathIn(dir, ASSET_RECORD_FOLDER), ec)) {
        out.push_back({ASSET_RECORD_FOLDER, "the folder is missing, so the record cannot be saved", false});
    }
    return out;
}

} // namespace assets

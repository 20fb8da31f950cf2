// Helpers for tests: temporary working folders and small hand-made BMP files.
#include "tests/support/test_files.h"

#include <fstream>
#include <unistd.h>

#include "base/asset_paths.h"
#include "platform/file.h"
#include "sound/sound_group.h"
#include "tests/sound/wave_bytes.h"

namespace fs = std::filesystem;

namespace {
void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
} // namespace

ScopedWorkDir::ScopedWorkDir() {
    previous = fs::current_path();
    static int serial = 0;
    path = fs::temp_directory_path() /
           ("quillmarsh-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(path);
    fs::create_directories(path);
    fs::current_path(path);
}

ScopedWorkDir::~ScopedWorkDir() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(path, ignored);
}

std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, const std::vector<uint8_t>& pixels,
                             const BmpOptions& options, const std::vector<uint8_t>& table) {
    const uint32_t entries = options.colorCount == 0 ? 256u : static_cast<uint32_t>(options.colorCount);
    const uint32_t stride = (static_cast<uint32_t>(width) + 3u) & ~3u;
    const uint32_t pixelOffset = 14 + 40 + entries * 4;
    const uint32_t total = pixelOffset + stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> b(total, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, total);
    Put32(b, 10, pixelOffset);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(options.topDown ? -height : height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint32_t>(options.bitCount));
    Put32(b, 30, static_cast<uint32_t>(options.compression));
    Put32(b, 34, stride * static_cast<uint32_t>(height));
    Put32(b, 46, static_cast<uint32_t>(options.colorCount));
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t at = 54 + i * 4;
        if (table.size() >= (i + 1) * 4) {
            for (size_t k = 0; k < 4; ++k)
                b[at + k] = table[i * 4 + k];
        } else {
            b[at] = static_cast<uint8_t>(i / 2);       // blue
            b[at + 1] = static_cast<uint8_t>(255 - i); // green
            b[at + 2] = static_cast<uint8_t>(i);       // red
        }
    }
    for (int32_t row = 0; row < height; ++row) {
        const int32_t fileRow = options.topDown ? row : height - 1 - row;
        for (int32_t x = 0; x < width; ++x)
            b[pixelOffset + static_cast<uint32_t>(fileRow) * stride + static_cast<uint32_t>(x)] =
                pixels[static_cast<size_t>(row * width + x)];
    }
    return b;
}

fs::path Utf8Path(const std::string& name) {
    return fs::path(std::u8string(name.begin(), name.end()));
}

std::string Utf8Name(const fs::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

void WriteFileBytes(const std::string& gamePath, const std::vector<uint8_t>& bytes) {
    // The names are UTF-8: said so, the path holds the same characters on every platform and code page.
    const fs::path native = Utf8Path(PlatformNativePath(gamePath.c_str()));
    if (native.has_parent_path()) fs::create_directories(native.parent_path());
    std::ofstream out(native, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> RampPixels(int32_t width, int32_t height) {
    std::vector<uint8_t> p(static_cast<size_t>(width * height));
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<uint8_t>(i);
    return p;
}

void WriteStartupAssets() {
    WriteFileBytes(ASSET_TEXT, MakeBmp(16, 8, RampPixels(16, 8)));
    WriteFileBytes(ASSET_PALETTE, MakeBmp(32, 16, RampPixels(32, 16)));
    // The title loads on the first frame: its picture, and the parts sheet that is the palette source.
    WriteFileBytes(ASSET_TITLE, MakeBmp(160, 160, RampPixels(160, 160)));
    std::vector<uint8_t> table(65536);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<uint8_t>((i >> 8) / 2 + (i & 255) / 2);
    WriteFileBytes(ASSET_BLEND_TABLE, table);
    // Every sound group loads its file at start-up: a hundredth of a second of tone each.
    for (const SoundSource& sound : soundSources)
        WriteFileBytes(sound.path,
                       wavebytes::Wave(1, 22050, 8, wavebytes::Tone(1, 22050, 8, 0.01, 440, 0.5)));
}

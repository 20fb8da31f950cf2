// The asset checker: each kind of damage refused with its reason, mismatches warned about.
#include "base/asset_paths.h"
#include "base/failure.h"
#include "platform/file.h"
#include "platform/headless/headless_audio.h"
#include "sound/sound_device.h"
#include "tests/sound/wave_bytes.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tests/tools/assets/temp_tree.h"
#include "tools/assets/blend_table.h"
#include "tools/assets/check_assets.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/make_assets.h"
#include "tools/assets/palette_ramps.h"
#include "tools/assets/sheets.h"
#include "tools/assets/stage_codec.h"
#include "video/bitmap_file.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

using namespace assets;

namespace {
bool HasProblem(const std::vector<AssetProblem>& problems, const char* file, const std::string& words,
                bool fatal) {
    for (const AssetProblem& p : problems) {
        if (p.file == file && p.reason.find(words) != std::string::npos && p.fatal == fatal) return true;
    }
    return false;
}
} // namespace

TEST(CheckAssets, RefusesACorruptedCopyOfEachKindOfFileWithItsReason) {
    TempTree tree("corrupt");
    std::string error;
    ASSERT_TRUE(MakeAssets(tree.path.string(), &error)) << error;
    auto load = [&](const char* gamePath) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadBytesFromFile(tree.File(gamePath), &bytes));
        return bytes;
    };
    auto save = [&](const char* gamePath, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(WriteBytesToFile(tree.File(gamePath), bytes));
    };

    // Bitmaps: wrong depth, cut-off pixels, too small for its cells, a short palette.
    std::vector<uint8_t> player = load(ASSET_PLAYER);
    player[28] = 24;
    save(ASSET_PLAYER, player);
    std::vector<uint8_t> title = load(ASSET_TITLE);
    title.resize(title.size() - 500); // its size field now claims more than there is
    save(ASSET_TITLE, title);
    std::vector<uint8_t> text = load(ASSET_TEXT);
    text.resize(text.size() - 1);
    text[2] = text[3] = text[4] = text[5] = 0; // no size claimed: the rows themselves are short
    save(ASSET_TEXT, text);
    Rgb palette[256];
    MakeGamePalette(palette);
    save(ASSET_MAPCHIP, EncodeBitmap(MakeCanvas(128, 64, 1), palette));
    std::vector<uint8_t> parts = load(ASSET_PARTS);
    parts[46] = 16; // colours used: 16
    parts[47] = 0;
    save(ASSET_PARTS, parts);
    // The name is UTF-8, which a narrow std::filesystem::path does not take on Windows.
    ASSERT_TRUE(std::filesystem::remove(Utf8Path(tree.File(ASSET_FIXEDTEXT))));
    // Blend table of the wrong length (the game plays with it: a warning).
    save(ASSET_BLEND_TABLE, std::vector<uint8_t>(1000, 0));
    // WAVs: an extensible-size "fmt ", a compressed tag, a data chunk running past the end.
    std::vector<uint8_t> wave = load(ASSET_WAVE_DOOR);
    // Sized once: growing the vector step by step makes GCC 12 at -O3 warn falsely (-Warray-bounds).
    std::vector<uint8_t> longFormat(wave.size() + 24, 0);
    std::copy(wave.begin(), wave.begin() + 36, longFormat.begin());
    std::copy(wave.begin() + 36, wave.end(), longFormat.begin() + 60);
    longFormat[16] = 40;
    longFormat[4] = static_cast<uint8_t>(longFormat[4] + 24);
    save(ASSET_WAVE_DOOR, longFormat);
    std::vector<uint8_t> tagged = load(ASSET_WAVE_OPEN);
    tagged[20] = 3;
    save(ASSET_WAVE_OPEN, tagged);
    std::vector<uint8_t> truncated = load(ASSET_WAVE_SEAL);
    const size_t sealSize = truncated.size();
    truncated.resize(sealSize / 2);
    save(ASSET_WAVE_SEAL, truncated);
    std::vector<uint8_t> longData = load(ASSET_WAVE_PAUSE);
    ASSERT_EQ(std::string(longData.begin() + 36, longData.begin() + 40), "data");
    longData[40] = static_cast<uint8_t>(longData[40] + 2);
    save(ASSET_WAVE_PAUSE, longData);
    // Stages: a width under 8, a kind past 15, a cut grid, no room to walk.
    std::vector<uint8_t> stage1 = load(ASSET_STAGES[0]);
    stage1[524] = 4; // a power of two, but narrower than the game's view
    stage1.resize(584 + 4 * 32);
    save(ASSET_STAGES[0], stage1);
    std::vector<uint8_t> stage2 = load(ASSET_STAGES[1]);
    stage2[584 + 70] = 200;
    save(ASSET_STAGES[1], stage2);
    std::vector<uint8_t> stage3 = load(ASSET_STAGES[2]);
    stage3.resize(stage3.size() - 10);
    save(ASSET_STAGES[2], stage3);
    save(ASSET_STAGES[3], EncodeStage(MakeEmptyStage(64, 64, 13)));
    ASSERT_TRUE(std::filesystem::remove(tree.path / "user_data"));

    std::vector<AssetProblem> problems = CheckAssets(tree.path.string());
    SCOPED_TRACE(Describe(problems));
    EXPECT_TRUE(HasProblem(problems, ASSET_PLAYER, "biBitCount (offset 28) is 24", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_TITLE,
                           "bfSize (offset 2) is " + std::to_string(title.size() + 500) +
                               ", but the file has " + std::to_string(title.size()) + " bytes",
                           true));
    EXPECT_TRUE(HasProblem(problems, ASSET_TEXT, "pixel rows are cut short", true));
    // The game plays on with these two, showing too little: warnings.
    EXPECT_TRUE(HasProblem(problems, ASSET_MAPCHIP, "at least 256 x 64", false));
    EXPECT_TRUE(HasProblem(problems, ASSET_PARTS, "has 16 entries", false));
    EXPECT_TRUE(HasProblem(problems, ASSET_FIXEDTEXT, "missing", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_BLEND_TABLE, "has 1000 bytes", false));
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_DOOR, "chunk has 40 bytes", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_OPEN, "format tag is 3", true));
    // The data chunk is there; it is the RIFF chunk's size that runs past the end of the file.
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_SEAL,
                           "\"RIFF\" chunk's size field (offset 4) is " + std::to_string(sealSize - 8) +
                               ", but only " + std::to_string(sealSize / 2 - 8) + " bytes follow it",
                           true));
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_PAUSE, "\"data\" chunk's size field (offset 40) is", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[0], "width (offset 524) is 4 tiles", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[1], "has kind 200", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[2], "cut short", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[3], "has 0 walkable tiles", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_RECORD_FOLDER, "cannot be saved", false));
    // The files left alone raise no errors (the short palette does make every sheet's colours differ).
    for (const AssetProblem& p : problems) {
        if (!p.fatal) continue;
        EXPECT_NE(p.file, ASSET_ENEMY);
        EXPECT_NE(p.file, ASSET_WAVE_HELP);
        EXPECT_NE(p.file, ASSET_STAGES[4]);
    }
}

#if !defined(_WIN32)
// Reads are bounded: a file that never ends, one over 64 MB and a folder are each refused with the
// reason, and a file of exactly 64 MB is read (a picture with its padding: nothing to say about its size).
// Where the game reads only the start of a file (the blend table, a stage, a sound's chunks), a long
// tail is judged as the game judges it.
TEST(CheckAssets, EndlessHugeAndFolderFilesAreRefusedWithTheReason) {
    namespace fs = std::filesystem;
    TempTree tree("endless");
    std::string error;
    ASSERT_TRUE(MakeAssets(tree.path.string(), &error)) << error;
    ASSERT_TRUE(fs::remove(Utf8Path(tree.File(ASSET_ENEMY))));
    fs::create_symlink("/dev/zero", Utf8Path(tree.File(ASSET_ENEMY)));
    ASSERT_TRUE(fs::remove(Utf8Path(tree.File(ASSET_WAVE_DOOR))));
    fs::create_symlink("/dev/zero", Utf8Path(tree.File(ASSET_WAVE_DOOR)));
    fs::resize_file(Utf8Path(tree.File(ASSET_BLEND_TABLE)), kMaxReadBytes + 1);
    fs::resize_file(Utf8Path(tree.File(ASSET_STAGES[0])), kMaxReadBytes + 1);
    fs::resize_file(Utf8Path(tree.File(ASSET_WAVE_HELP)), kMaxReadBytes + 1);
    fs::resize_file(Utf8Path(tree.File(ASSET_TITLE)), kMaxReadBytes);
    ASSERT_TRUE(fs::remove(Utf8Path(tree.File(ASSET_STAGES[1]))));
    fs::create_directory(Utf8Path(tree.File(ASSET_STAGES[1])));
    // A pipe would hold the checker, as it would the game, until another program wrote to it.
    ASSERT_TRUE(fs::remove(Utf8Path(tree.File(ASSET_WAVE_OPEN))));
    ASSERT_EQ(mkfifo(tree.File(ASSET_WAVE_OPEN).c_str(), 0600), 0);

    const std::vector<AssetProblem> problems = CheckAssets(tree.path.string());
    SCOPED_TRACE(Describe(problems));
    const std::string endless = "the file cannot be read: it is over 64 MB (it does not end)";
    EXPECT_TRUE(HasProblem(problems, ASSET_ENEMY, endless, true));
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_DOOR, endless, true));
    EXPECT_TRUE(HasProblem(problems, ASSET_BLEND_TABLE, "longer than 65536 bytes", false));
    for (const AssetProblem& p : problems) {
        EXPECT_FALSE(p.fatal && p.file == ASSET_BLEND_TABLE) << p.reason;
        EXPECT_NE(p.file, ASSET_STAGES[0]) << p.reason;
        EXPECT_NE(p.file, ASSET_WAVE_HELP) << p.reason;
    }
    EXPECT_FALSE(HasProblem(problems, ASSET_TITLE, "64 MB", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[1], "the file cannot be read: it is a folder", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_OPEN, "the file cannot be read: it is a pipe or socket", true));

    std::vector<uint8_t> bytes;
    std::string why;
    EXPECT_TRUE(ReadBytesFromFile(tree.File(ASSET_TITLE), &bytes, &why)) << why;
    EXPECT_EQ(bytes.size(), kMaxReadBytes);
    EXPECT_FALSE(ReadBytesFromFile(tree.File("nothing.bmp"), &bytes, &why));
    EXPECT_EQ(why, "it is missing");
}
#endif

TEST(CheckAssets, ASoundTooShortForTheDeviceIsAnErrorInTheGamesOwnWords) {
    TempTree tree("short_sound");
    std::string error;
    ASSERT_TRUE(MakeAssets(tree.path.string(), &error)) << error;
    using wavebytes::Chunk, wavebytes::FormatBody, wavebytes::Riff;
    // Both sides of the smallest buffer the device takes: none, 3 and 4 bytes of 8-bit mono samples.
    auto wave = [](std::vector<uint8_t> samples) {
        return Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", samples)});
    };
    ASSERT_TRUE(WriteBytesToFile(tree.File(ASSET_WAVE_DOOR), wave({})));
    ASSERT_TRUE(WriteBytesToFile(tree.File(ASSET_WAVE_OPEN), wave({0x80, 0x90, 0x70})));
    ASSERT_TRUE(WriteBytesToFile(tree.File(ASSET_WAVE_HELP), wave({0x80, 0x90, 0x70, 0x80})));

    // What the game ends with on the first of them.
    ResetGameProcess();
    HeadlessAudioReset();
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tree.path);
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    PlatformSoundBuffer* buffer = nullptr;
    EXPECT_TRUE(DSCreateBufferFromFile(&buffer, ASSET_WAVE_HELP));
    EXPECT_FALSE(DSCreateBufferFromFile(&buffer, ASSET_WAVE_DOOR));
    const std::string gameSays = NotedFailure() ? NotedFailure() : "";
    DS_Release();
    std::filesystem::current_path(before);
    ResetGameProcess();
    HeadlessAudioReset();
    ASSERT_EQ(gameSays, "the sound device refused the sound " + PlatformNativePath(ASSET_WAVE_DOOR));

    std::vector<AssetProblem> problems = CheckAssets(tree.path.string());
    SCOPED_TRACE(Describe(problems));
    EXPECT_TRUE(
        HasProblem(problems, ASSET_WAVE_DOOR,
                   "its \"data\" chunk holds 0 bytes of samples, fewer than the 4 a sound buffer needs; "
                   "the game stops at start-up with \"" +
                       gameSays + "\"",
                   true));
    EXPECT_TRUE(
        HasProblem(problems, ASSET_WAVE_OPEN,
                   "holds 3 bytes of samples, fewer than the 4 a sound buffer needs; the game stops at "
                   "start-up with \"the sound device refused the sound " +
                       PlatformNativePath(ASSET_WAVE_OPEN) + "\"",
                   true));
    for (const AssetProblem& p : problems)
        EXPECT_NE(p.file, ASSET_WAVE_HELP) << p.reason;
}

TEST(CheckAssets, WarnsWhenASheetOrTheBlendTableDoesNotMatchThePalette) {
    TempTree tree("palette");
    std::string error;
    ASSERT_TRUE(MakeAssets(tree.path.string(), &error)) << error;
    Rgb palette[256];
    MakeGamePalette(palette);
    Rgb other[256];
    for (int i = 0; i < 256; ++i)
        other[i] = palette[255 - i];
    ASSERT_TRUE(WriteBytesToFile(tree.File(ASSET_ENEMY), EncodeBitmap(MakeEnemySheet(), other)));
    ASSERT_TRUE(WriteBytesToFile(tree.File(ASSET_BLEND_TABLE), MakeBlendTable(other)));
    std::vector<AssetProblem> problems = CheckAssets(tree.path.string());
    EXPECT_TRUE(HasProblem(problems, ASSET_ENEMY, "differs from the palette", false)) << Describe(problems);
    EXPECT_TRUE(HasProblem(problems, ASSET_BLEND_TABLE, "differ from the table made for this palette", false))
        << Describe(problems);
}

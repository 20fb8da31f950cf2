// map-to-png: whole stages drawn from the chip sheet, read back as pictures; refused stages, missing and
// small sheets, scaled pictures and the size limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/png_read.h"
#include "tests/support/run_program.h"
#include "tests/support/test_files.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/stage_codec.h"
#include "tools/assets/stage_picture.h"

using namespace assets;

namespace {
// Chip k's top-left pixel is index 200 + k; elsewhere in the cell the index depends on k, x and y
// unequally, so a cell drawn from the wrong chip, mirrored or transposed shows.
uint8_t ChipIndex(int32_t kind, int32_t x, int32_t y) {
    if (x == 0 && y == 0) return static_cast<uint8_t>(200 + kind);
    return static_cast<uint8_t>(kind * 11 + x + y * 3);
}

std::vector<uint8_t> ChipSheet(int32_t width = 256, int32_t height = 64) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width * height), 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const int32_t kind = (y / 32) * 8 + x / 32;
            pixels[static_cast<size_t>(y * width + x)] = ChipIndex(kind, x % 32, y % 32);
        }
    return MakeBmp(width, height, pixels);
}

// MakeBmp's colour table: index i is (i, 255 - i, i / 2).
bool IsColour(const uint8_t* rgb, uint8_t index) {
    return rgb[0] == index && rgb[1] == 255 - index && rgb[2] == index / 2;
}

// 32 x 8 tiles, kind (x * 5 + y * 3) % 16 along the diagonal band, floor elsewhere: every kind appears,
// and enough floor that the game plays it.
StageMap SmallStage() {
    StageMap map = MakeEmptyStage(32, 8, 0);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = y * 4; x < y * 4 + 4; ++x)
            SetStageTile(&map, x, y, static_cast<uint8_t>((x * 5 + y * 3) % 16));
    return map;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

class StagePictureTest : public testing::Test {
  protected:
    void SetUp() override {
        WriteFileBytes("chips.bmp", ChipSheet());
        ASSERT_TRUE(WriteBytesToFile("small.bgd", EncodeStage(SmallStage())));
    }
    ScopedWorkDir dir;
};
} // namespace

TEST_F(StagePictureTest, EveryCellIsItsChipThroughTheSheetsColours) {
    std::vector<std::string> why;
    ASSERT_TRUE(StageFileToPng("small.bgd", "chips.bmp", 1, "small.png", &why)) << Joined(why);
    RgbPicture png;
    ASSERT_TRUE(ReadPngRgb("small.png", &png));
    ASSERT_EQ(png.width, 32u * 32);
    ASSERT_EQ(png.height, 8u * 32);
    const StageMap map = SmallStage();
    int32_t wrongCorners = 0, wrongInside = 0;
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 32; ++x) {
            const uint8_t kind = StageTile(map, x, y);
            const uint32_t px = static_cast<uint32_t>(x * 32), py = static_cast<uint32_t>(y * 32);
            wrongCorners += !IsColour(png.At(px, py), ChipIndex(kind, 0, 0));
            // Two pixels off the diagonal: a transposed chip would swap them.
            wrongInside += !IsColour(png.At(px + 5, py + 17), ChipIndex(kind, 5, 17));
            wrongInside += !IsColour(png.At(px + 17, py + 5), ChipIndex(kind, 17, 5));
        }
    EXPECT_EQ(wrongCorners, 0);
    EXPECT_EQ(wrongInside, 0);

    // Smaller by 4: each pixel the top-left of a 4 x 4 block; by 32, one pixel a tile, its chip's corner.
    RgbPicture quarter, tiny;
    ASSERT_TRUE(StageFileToPng("small.bgd", "chips.bmp", 4, "quarter.png", &why)) << Joined(why);
    ASSERT_TRUE(ReadPngRgb("quarter.png", &quarter));
    ASSERT_EQ(quarter.width, 256u);
    ASSERT_EQ(quarter.height, 64u);
    int32_t wrongQuarter = 0;
    for (uint32_t y = 0; y < quarter.height; ++y)
        for (uint32_t x = 0; x < quarter.width; ++x)
            wrongQuarter += std::memcmp(quarter.At(x, y), png.At(x * 4, y * 4), 3) != 0;
    EXPECT_EQ(wrongQuarter, 0);
    ASSERT_TRUE(StageFileToPng("small.bgd", "chips.bmp", 32, "tiny.png", &why)) << Joined(why);
    ASSERT_TRUE(ReadPngRgb("tiny.png", &tiny));
    ASSERT_EQ(tiny.width, 32u);
    ASSERT_EQ(tiny.height, 8u);
    EXPECT_TRUE(IsColour(tiny.At(31, 7), ChipIndex(StageTile(map, 31, 7), 0, 0)));
    EXPECT_TRUE(IsColour(tiny.At(5, 1), ChipIndex(StageTile(map, 5, 1), 0, 0)));
}

TEST_F(StagePictureTest, RefusesWhatTheGameRefusesAndMissingOrSmallSheets) {
    std::vector<std::string> why;
    // 24 tiles wide: not a power of two, so the game would not play it.
    ASSERT_TRUE(WriteBytesToFile("narrow.bgd", EncodeStage(MakeEmptyStage(24, 32, 0))));
    EXPECT_FALSE(StageFileToPng("narrow.bgd", "chips.bmp", 1, "narrow.png", &why));
    EXPECT_NE(Joined(why).find("narrow.bgd: the game would refuse it: its width (offset 524) is 24 tiles"),
              std::string::npos)
        << Joined(why);
    EXPECT_FALSE(std::filesystem::exists("narrow.png"));

    // All walls: nowhere to stand once the closed tiles are scattered.
    why.clear();
    ASSERT_TRUE(WriteBytesToFile("walls.bgd", EncodeStage(MakeEmptyStage(32, 8, 1))));
    EXPECT_FALSE(StageFileToPng("walls.bgd", "chips.bmp", 1, "walls.png", &why));
    EXPECT_NE(Joined(why).find("0 walkable tiles"), std::string::npos) << Joined(why);
    EXPECT_FALSE(std::filesystem::exists("walls.png"));

    why.clear();
    EXPECT_FALSE(StageFileToPng("gone.bgd", "chips.bmp", 1, "gone.png", &why));
    EXPECT_EQ(Joined(why), "gone.bgd: cannot be read\n");
    why.clear();
    std::filesystem::create_directory("folder.bgd");
    EXPECT_FALSE(StageFileToPng("folder.bgd", "chips.bmp", 1, "folder.png", &why));
    EXPECT_EQ(Joined(why), "folder.bgd: cannot be read: it is a folder\n");

    why.clear();
    EXPECT_FALSE(StageFileToPng("small.bgd", "bmp/none.bmp", 1, "small.png", &why));
    ASSERT_EQ(why.size(), 1u);
    EXPECT_EQ(why[0].rfind("bmp/none.bmp: cannot be read", 0), 0u) << why[0];
    EXPECT_NE(why[0].find("--chips"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("small.png"));

    // A sheet one cell short on each axis in turn; the full size is enough.
    for (auto [w, h] : {std::pair{224, 64}, std::pair{256, 32}}) {
        why.clear();
        WriteFileBytes("short.bmp", ChipSheet(w, h));
        EXPECT_FALSE(StageFileToPng("small.bgd", "short.bmp", 1, "small.png", &why));
        EXPECT_EQ(Joined(why), "short.bmp: the map-chip sheet is " + std::to_string(w) + " x " +
                                   std::to_string(h) +
                                   " pixels; it needs at least 256 x 64, 16 cells of 32 x 32\n");
    }
    why.clear();
    WriteFileBytes("text.bmp", {'h', 'e', 'l', 'l', 'o'});
    EXPECT_FALSE(StageFileToPng("small.bgd", "text.bmp", 1, "small.png", &why));
    EXPECT_NE(Joined(why).find("text.bmp: it is not a BMP file"), std::string::npos) << Joined(why);
    EXPECT_FALSE(std::filesystem::exists("small.png"));
}

#if !defined(_WIN32)
TEST_F(StagePictureTest, NeverReplacesAFolderAPipeOrALinkToOne) {
    namespace fs = std::filesystem;
    fs::create_directory("folder");
    ASSERT_EQ(std::system("mkfifo pipe"), 0);
    fs::create_symlink("/dev/null", "to_device");
    fs::create_symlink("pipe", "to_pipe");
    for (const std::string out : {"folder", "pipe", "to_device", "to_pipe"}) {
        std::vector<std::string> why;
        EXPECT_FALSE(StageFileToPng("small.bgd", "chips.bmp", 1, out, &why));
        ASSERT_EQ(why.size(), 1u) << Joined(why);
        EXPECT_EQ(why[0].rfind(out + ": cannot be written: it is a ", 0), 0u) << why[0];
    }
    EXPECT_TRUE(fs::is_directory("folder"));
    EXPECT_EQ(fs::symlink_status("pipe").type(), fs::file_type::fifo);
    EXPECT_EQ(fs::read_symlink("to_device"), "/dev/null");
    EXPECT_EQ(fs::read_symlink("to_pipe"), "pipe");
    // A plain file of the user's is replaced only by a whole picture.
    WriteFileBytes("mine.png", {'k', 'e', 'e', 'p'});
    std::vector<std::string> why;
    EXPECT_FALSE(StageFileToPng("small.bgd", "none.bmp", 1, "mine.png", &why));
    std::vector<uint8_t> kept;
    ASSERT_TRUE(ReadBytesFromFile("mine.png", &kept));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep");
    EXPECT_TRUE(StageFileToPng("small.bgd", "chips.bmp", 1, "mine.png", &why)) << Joined(why);
    RgbPicture png;
    EXPECT_TRUE(ReadPngRgb("mine.png", &png));
}
#endif

TEST_F(StagePictureTest, PicturesOver8192PixelsASideNameTheScaleThatFits) {
    // 1024 x 32 tiles: 32768 pixels wide, needs 1/4.
    ASSERT_TRUE(WriteBytesToFile("long.bgd", EncodeStage(MakeEmptyStage(1024, 32, 0))));
    for (int32_t scale : {1, 2}) {
        std::vector<std::string> why;
        EXPECT_FALSE(StageFileToPng("long.bgd", "chips.bmp", scale, "long.png", &why));
        EXPECT_EQ(Joined(why),
                  "long.bgd: the picture would be " + std::to_string(32768 / scale) + " x " +
                      std::to_string(1024 / scale) +
                      " pixels, over the 8192 allowed on a side; add --scale 4 (or more) to draw "
                      "it smaller\n");
    }
    EXPECT_FALSE(std::filesystem::exists("long.png"));
    std::vector<std::string> why;
    ASSERT_TRUE(StageFileToPng("long.bgd", "chips.bmp", 4, "long.png", &why)) << Joined(why);
    RgbPicture png;
    ASSERT_TRUE(ReadPngRgb("long.png", &png));
    EXPECT_EQ(png.width, 8192u);
    EXPECT_EQ(png.height, 256u);

    // 256 tiles is exactly the limit at full size.
    ASSERT_TRUE(WriteBytesToFile("edge.bgd", EncodeStage(MakeEmptyStage(256, 8, 0))));
    EXPECT_TRUE(StageFileToPng("edge.bgd", "chips.bmp", 1, "edge.png", &why)) << Joined(why);

    // Scales that do not divide a tile into whole pixels are refused.
    StagePicture picture;
    std::string reason;
    BitmapFile chips;
    const std::vector<uint8_t> sheet = ChipSheet();
    ASSERT_TRUE(DecodeBitmapFile(sheet.data(), sheet.size(), &chips));
    for (int32_t scale : {0, 3, 64})
        EXPECT_FALSE(DrawStagePicture(SmallStage(), chips, scale, &picture, &reason)) << scale;
    EXPECT_TRUE(DrawStagePicture(SmallStage(), chips, 32, &picture, &reason)) << reason;
}

TEST(StagePictureTool, DrawsTheGamesStageWithTheGamesSheetAndSaysWhatIsWrong) {
    namespace fs = std::filesystem;
    // The tests run in the build folder, beside the tool and the game's own files.
    const fs::path tool = BuildProgram("quillmarsh-tool");
    ASSERT_TRUE(fs::exists(tool));
    const std::string stage = Utf8Name(fs::absolute(Utf8Path("data/ステージ１.bgd")));
    ASSERT_TRUE(fs::exists(Utf8Path(stage)));
    const std::string sheet = Utf8Name(fs::absolute(Utf8Path("bmp/マップチップ.bmp")));
    const fs::path build = fs::current_path();
    ScopedWorkDir dir;
    const fs::path out = dir.path / "out.txt";
    auto run = [&](const std::vector<std::string>& args) { return RunProgram(tool, args, out); };
    auto said = [&] {
        std::vector<uint8_t> bytes;
        ReadBytesFromFile(Utf8Name(out), &bytes);
        return std::string(bytes.begin(), bytes.end());
    };
    // No bmp/ here: the default sheet is missing, and the tool says how to name one.
    EXPECT_EQ(run({"map-to-png", stage, "one.png"}), 1);
    EXPECT_NE(said().find("bmp/マップチップ.bmp: cannot be read"), std::string::npos) << said();
    EXPECT_EQ(run({"map-to-png", "--chips", sheet, stage, "one.png", "--scale", "2"}), 0) << said();
    RgbPicture png;
    ASSERT_TRUE(ReadPngRgb("one.png", &png));
    EXPECT_EQ(png.width, 512u); // stage 1 is 32 x 32 tiles
    EXPECT_EQ(png.height, 512u);
    fs::current_path(build);
    EXPECT_EQ(run({"map-to-png", stage, Utf8Name(dir.path / "two.png")}), 0) << said();
    ASSERT_TRUE(ReadPngRgb(Utf8Name(dir.path / "two.png"), &png));
    EXPECT_EQ(png.width, 1024u);
    fs::current_path(dir.path);
    EXPECT_EQ(run({"map-to-png", stage, "x.png", "--scale", "3"}), 2);
    EXPECT_EQ(run({"map-to-png", stage}), 2);
    EXPECT_EQ(run({"map-to-png", stage, "x.png", "--frobnicate"}), 2);
}

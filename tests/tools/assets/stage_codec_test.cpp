// Stage files as the tools write them: the binary layout, the invariants and the text grid, both ways.
#include "tools/assets/file_writers.h"
#include "tools/assets/sheets.h"
#include "tools/assets/stage_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace assets;

TEST(StageFile, EncodesHeaderAndGridAtTheirOffsetsAndDecodesBack) {
    StageMap map = MakeEmptyStage(32, 64, 0);
    SetStageTile(&map, 3, 1, 7);
    SetStageTile(&map, -1, -1, 15); // wraps to the last cell
    std::vector<uint8_t> bytes = EncodeStage(map);
    ASSERT_EQ(bytes.size(), 584u + 32u * 64u);
    EXPECT_EQ(GetLE32(&bytes[524]), 32u);
    EXPECT_EQ(GetLE32(&bytes[528]), 64u);
    EXPECT_EQ(GetLE32(&bytes[532]), 1024u);
    EXPECT_EQ(GetLE32(&bytes[536]), 2048u);
    EXPECT_EQ(bytes[584 + 1 * 32 + 3], 7);
    EXPECT_EQ(bytes.back(), 15);

    StageMap back;
    std::string why;
    ASSERT_TRUE(DecodeStage(bytes.data(), bytes.size(), &back, &why)) << why;
    EXPECT_EQ(back.tiles, map.tiles);
    EXPECT_EQ(back.pixelHeight, 2048);

    // Anything after the grid is ignored, as the game does.
    bytes.push_back(99);
    EXPECT_TRUE(DecodeStage(bytes.data(), bytes.size(), &back, &why));
}

TEST(StageFile, DecodeRefusesBytesThatCannotHoldAStage) {
    std::vector<uint8_t> bytes = EncodeStage(MakeEmptyStage(32, 32, 0));
    StageMap map;
    std::string why;
    EXPECT_FALSE(DecodeStage(bytes.data(), 100, &map, &why));
    EXPECT_NE(why.find("fewer than the 584"), std::string::npos) << why;
    EXPECT_FALSE(DecodeStage(bytes.data(), bytes.size() - 1, &map, &why));
    EXPECT_NE(why.find("1023 of 1024 tile bytes"), std::string::npos) << why;
    bytes[524] = 0; // width 0
    EXPECT_FALSE(DecodeStage(bytes.data(), bytes.size(), &map, &why));
    EXPECT_NE(why.find("outside 1..1024"), std::string::npos) << why;
}

TEST(StageFile, CheckNamesEachBrokenInvariant) {
    std::vector<std::string> problems;
    EXPECT_TRUE(CheckStage(MakeEmptyStage(32, 32, 0), &problems));
    EXPECT_TRUE(problems.empty());

    StageMap odd = MakeEmptyStage(48, 32, 0);
    EXPECT_FALSE(CheckStage(odd, &problems));
    EXPECT_NE(problems.back().find("width (offset 524) is 48 tiles"), std::string::npos) << problems.back();

    // Powers of two below 8 are refused as well: the game wraps with masks but draws a 6x6 view.
    for (int side : {1, 2, 4}) {
        problems.clear();
        EXPECT_FALSE(CheckStage(MakeEmptyStage(side, 1024, 0), &problems)) << side;
        ASSERT_FALSE(problems.empty());
        EXPECT_NE(problems[0].find("width (offset 524) is " + std::to_string(side) + " tiles"),
                  std::string::npos)
            << problems[0];
        problems.clear();
        EXPECT_FALSE(CheckStage(MakeEmptyStage(64, side, 0), &problems)) << side;
        ASSERT_FALSE(problems.empty());
        EXPECT_NE(problems[0].find("height (offset 528) is " + std::to_string(side) + " tiles"),
                  std::string::npos);
    }
    problems.clear();
    EXPECT_TRUE(CheckStage(MakeEmptyStage(8, 32, 0), &problems));
    EXPECT_TRUE(CheckStage(MakeEmptyStage(1024, 8, 0), &problems));
    EXPECT_FALSE(CheckStage(MakeEmptyStage(2048, 8, 0), &problems));

    StageMap pixels = MakeEmptyStage(32, 32, 0);
    pixels.pixelWidth = 1000;
    problems.clear();
    EXPECT_FALSE(CheckStage(pixels, &problems));
    EXPECT_NE(problems.back().find("pixelWidth (offset 532) is 1000; it must be 1024"), std::string::npos);
    pixels.pixelWidth = 1024;
    pixels.pixelHeight = 1023;
    problems.clear();
    EXPECT_FALSE(CheckStage(pixels, &problems));
    EXPECT_NE(problems.back().find("pixelHeight (offset 536) is 1023"), std::string::npos);

    StageMap kinds = MakeEmptyStage(32, 32, 0);
    SetStageTile(&kinds, 5, 2, 16);
    problems.clear();
    EXPECT_FALSE(CheckStage(kinds, &problems));
    EXPECT_NE(problems.back().find("column 5, row 2 has kind 16"), std::string::npos);

    // 100 walkable cells are not enough: the scatter of 100 closed tiles could cover them all.
    StageMap walls = MakeEmptyStage(32, 32, 1);
    for (int i = 0; i < 100; ++i)
        SetStageTile(&walls, i % 32, i / 32, 0);
    problems.clear();
    EXPECT_FALSE(CheckStage(walls, &problems));
    EXPECT_NE(problems.back().find("has 100 walkable tiles"), std::string::npos);
    SetStageTile(&walls, 10, 10, 9); // opened tiles are walkable too
    problems.clear();
    EXPECT_TRUE(CheckStage(walls, &problems));

    problems.clear();
    EXPECT_FALSE(CheckStage(MakeEmptyStage(16, 16, 0), &problems));
    EXPECT_NE(problems.back().find("16 x 16 tiles is under 32 on both axes"), std::string::npos);
    problems.clear();
    EXPECT_TRUE(CheckStage(MakeEmptyStage(16, 32, 0), &problems)); // one axis is enough for the game
}

TEST(StageText, RoundTripIsExactForEveryGeneratedStage) {
    for (int n = 1; n <= 5; ++n) {
        StageMap map = MakeStage(n);
        std::string text = StageToText(map);
        StageMap back;
        std::string why;
        ASSERT_TRUE(StageFromText(text, &back, &why)) << why;
        EXPECT_EQ(EncodeStage(back), EncodeStage(map)) << "stage " << n;
        EXPECT_EQ(StageToText(back), text);
    }
}

TEST(StageText, ReadsWindowsLineEndsAndRefusesBadGrids) {
    StageMap map;
    std::string why;
    ASSERT_TRUE(StageFromText("#.\r\n~r\r\n", &map, &why)) << why;
    EXPECT_EQ(map.width, 2);
    EXPECT_EQ(map.height, 2);
    EXPECT_EQ(map.pixelWidth, 64);
    EXPECT_EQ(map.tiles, (std::vector<uint8_t>{1, 0, 5, 15}));

    EXPECT_FALSE(StageFromText("...\n..\n", &map, &why));
    EXPECT_NE(why.find("row 2 has 2 characters"), std::string::npos) << why;
    EXPECT_FALSE(StageFromText("...\n.Q.\n", &map, &why));
    EXPECT_NE(why.find("row 2, column 2: 'Q'"), std::string::npos) << why;
    // A byte a terminal would act on, or one that is not text, is shown escaped.
    EXPECT_FALSE(StageFromText("...\n.\x1b.\n", &map, &why));
    EXPECT_EQ(why, "row 2, column 2: '\\x1B' is not a tile character");
    EXPECT_FALSE(StageFromText("..\xE3\n", &map, &why));
    EXPECT_EQ(why, "row 1, column 3: '\\xE3' is not a tile character");
    EXPECT_FALSE(StageFromText("\n\n", &map, &why));
}

// quillmarsh-tool itself: stages converted both ways, its usage and its failures.
#include "base/asset_paths.h"
#include "tests/sound/wave_bytes.h"
#include "tests/support/run_program.h"
#include "tests/support/test_files.h"
#include "tests/tools/assets/temp_tree.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/make_assets.h"
#include "tools/assets/stage_codec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace assets;

TEST(AssetTool, ConvertsStagesBothWaysAndReportsUsageAndFailures) {
    // The tests run in the build folder, beside the tool.
    const std::filesystem::path tool = BuildProgram("quillmarsh-tool");
    ASSERT_TRUE(std::filesystem::exists(tool));
    TempTree tree("tool");
    auto run = [&](const std::vector<std::string>& args) {
        return RunProgram(tool, args, tree.path / "out.txt");
    };
    std::string bgd = (tree.path / "s.bgd").string(), txt = (tree.path / "s.txt").string();
    ASSERT_TRUE(WriteBytesToFile(bgd, EncodeStage(MakeStage(2))));
    EXPECT_EQ(run({"map-to-text", bgd}), 0);
    std::vector<uint8_t> printed;
    ASSERT_TRUE(ReadBytesFromFile((tree.path / "out.txt").string(), &printed));
    std::string expected = StageToText(MakeStage(2));
#if defined(_WIN32)
    // Printed as text, so with the platform's line ends; text-to-map reads them back the same.
    for (size_t at = expected.find('\n'); at != std::string::npos; at = expected.find('\n', at + 2))
        expected.insert(at, 1, '\r');
#endif
    EXPECT_EQ(std::string(printed.begin(), printed.end()), expected);
    ASSERT_TRUE(WriteBytesToFile(txt, printed));
    std::string back = (tree.path / "back.bgd").string();
    EXPECT_EQ(run({"text-to-map", txt, back}), 0);
    std::vector<uint8_t> original, rebuilt;
    ASSERT_TRUE(ReadBytesFromFile(bgd, &original));
    ASSERT_TRUE(ReadBytesFromFile(back, &rebuilt));
    EXPECT_EQ(original, rebuilt);

    // A grid the game could not play is refused and nothing is written.
    std::string tiny = (tree.path / "tiny.txt").string(), none = (tree.path / "none.bgd").string();
    ASSERT_TRUE(WriteBytesToFile(tiny, std::vector<uint8_t>{'.', '.', '\n', '.', '.', '\n'}));
    EXPECT_EQ(run({"text-to-map", tiny, none}), 1);
    EXPECT_FALSE(std::filesystem::exists(none));

#if !defined(_WIN32)
    // Reads are bounded: an endless file is refused with the reason, not read until memory runs out.
    EXPECT_EQ(run({"text-to-map", "/dev/zero", none}), 1);
    std::vector<uint8_t> said;
    ASSERT_TRUE(ReadBytesFromFile((tree.path / "out.txt").string(), &said));
    EXPECT_EQ(std::string(said.begin(), said.end()),
              "/dev/zero: cannot be read: it is over 64 MB (it does not end), far more than any file of the "
              "game\n");
    EXPECT_FALSE(std::filesystem::exists(none));
#endif
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"map-to-text"}), 2);
    EXPECT_EQ(run({"frobnicate", "x"}), 2);
    EXPECT_EQ(run({"check-assets", (tree.path / "nothing").string()}), 1);
    // A whole tree passes; one sound the device would refuse fails it.
    const std::string assetTree = (tree.path / "assets").string();
    std::string error;
    ASSERT_TRUE(MakeAssets(assetTree, &error)) << error;
    EXPECT_EQ(run({"check-assets", assetTree}), 0);
    const std::vector<uint8_t> emptySound = wavebytes::Riff(
        {wavebytes::Chunk("fmt ", wavebytes::FormatBody(1, 1, 22050, 8)), wavebytes::Chunk("data", {})});
    ASSERT_TRUE(WriteBytesToFile(AssetPathIn(assetTree, ASSET_WAVE_DOOR), emptySound));
    EXPECT_EQ(run({"check-assets", assetTree}), 1);
    EXPECT_EQ(run({"make-blend-table", txt, none}), 1);
}

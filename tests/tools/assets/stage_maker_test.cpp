// The generated stages: the invariants hold, stages grow, and every walkable cell can be reached.
#include "tools/assets/sheets.h"
#include "tools/assets/stage_codec.h"

#include <gtest/gtest.h>

#include <vector>

using namespace assets;

namespace {
// Walkable cells reachable from the first walkable cell, stepping through the wrapping edges.
int ReachableWalkable(const StageMap& m) {
    std::vector<bool> seen(m.tiles.size(), false);
    std::vector<int> stack;
    for (size_t i = 0; i < m.tiles.size(); ++i) {
        if (!kStageTileSolid[m.tiles[i]]) {
            stack.push_back(static_cast<int>(i));
            seen[i] = true;
            break;
        }
    }
    int count = 0;
    while (!stack.empty()) {
        int at = stack.back();
        stack.pop_back();
        ++count;
        int x = at % m.width, y = at / m.width;
        const int nx[4] = {x + 1, x - 1, x, x};
        const int ny[4] = {y, y, y + 1, y - 1};
        for (int k = 0; k < 4; ++k) {
            int cx = (nx[k] + m.width) % m.width, cy = (ny[k] + m.height) % m.height;
            size_t n = static_cast<size_t>(cy * m.width + cx);
            if (!seen[n] && !kStageTileSolid[m.tiles[n]]) {
                seen[n] = true;
                stack.push_back(static_cast<int>(n));
            }
        }
    }
    return count;
}
} // namespace

TEST(GeneratedStages, MeetTheInvariantsGrowAndHaveNoCutOffPockets) {
    int lastArea = 0;
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        StageMap map = MakeStage(n);
        std::vector<std::string> problems;
        EXPECT_TRUE(CheckStage(map, &problems)) << (problems.empty() ? "" : problems[0]);
        EXPECT_GE(map.width, 32);
        EXPECT_GE(map.height, 32);
        EXPECT_GE(map.width * map.height, lastArea);
        lastArea = map.width * map.height;
        for (uint8_t k : map.tiles) {
            EXPECT_NE(k, 8);  // closed tiles are scattered by the game, not stored
            EXPECT_NE(k, 10); // a stored seal would not need revealing
        }
        EXPECT_EQ(ReachableWalkable(map), CountWalkable(map));
    }
    EXPECT_GT(lastArea, 32 * 32);
}

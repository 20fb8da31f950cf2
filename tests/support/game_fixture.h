// A started game on the headless platform: working folder with start-up assets, window, display.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/test_files.h"

class StartedGame : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<ScopedWorkDir> dir;
};

// Creates the window the way the entry does, without starting anything else.
void CreateTestWindow();
// The game started on its own generated asset tree in a fresh working folder (kept in *dir), as the
// entry starts it; and the matching shut-down.
void StartOnGeneratedAssets(std::unique_ptr<ScopedWorkDir>* dir);
void StopStartedGame(std::unique_ptr<ScopedWorkDir>* dir);
// One index of the back buffer.
uint8_t BackBufferPixel(int32_t x, int32_t y);

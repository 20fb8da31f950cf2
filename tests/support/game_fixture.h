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

// Surfaces a test makes for itself, released when the test ends however it ends, so a failed assertion
// never leaves a surface behind for the tests after it in the same process.
#pragma once
#include <deque>

#include "video/surface.h"

struct OwnedSurfaces {
    OwnedSurfaces() = default;
    ~OwnedSurfaces();
    OwnedSurfaces(const OwnedSurfaces&) = delete;
    OwnedSurfaces& operator=(const OwnedSurfaces&) = delete;
    // A new empty record that stays where it is until the release.
    Surface& Add();
    void ReleaseAll();
    std::deque<Surface> records;
};

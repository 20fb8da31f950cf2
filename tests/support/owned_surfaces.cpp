// Surfaces a test makes for itself, released when the test ends however it ends.
#include "tests/support/owned_surfaces.h"

OwnedSurfaces::~OwnedSurfaces() {
    ReleaseAll();
}

Surface& OwnedSurfaces::Add() {
    return records.emplace_back();
}

void OwnedSurfaces::ReleaseAll() {
    for (Surface& s : records)
        DDReleaseSurface(&s);
    records.clear();
}

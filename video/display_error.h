// Error codes of the display set-up and the bitmap loaders.
#pragma once
#include <cstdint>

enum DisplayError : int32_t {
    DISPLAY_OK = 0,
    CREATEEX_ERR = 1,
    SETCOOPLEVEL_ERR = 2,
    SETDISPLAYMODE_ERR = 3,
    CREATESURFACE_ERR = 4,
    GETATTACHEDSURFACE_ERR = 5,
    CREATEPALETTE_ERR = 6,
    SETPALETTE_ERR = 7,
    LOADIMAGE_ERR = 8,
    SETCOLORKEY_ERR = 9,
    CLIPPER_ERR = 10,
    SETHWND_ERR = 11,
    SETCLIPPER_ERR = 12,
};

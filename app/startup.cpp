// Start-up and shut-down in their fixed order, and the one setting.
#include "app/startup.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/session_replay.h"
#include "base/asset_paths.h"
#include "base/failure.h"
#include "base/random.h"
#include "base/trace.h"
#include "input/controls.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/file_failure.h"
#include "sound/sound_device.h"
#include "sound/sound_group.h"
#include "video/blend.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/surface.h"

namespace {
constexpr int32_t SETTING_BUFFER = 2048;

// The text as a 32-bit atol reads it: white space, a sign and digits up to the first other character,
// saturating at the 32-bit limits rather than keeping the low bits of a wider number.
int32_t SettingNumber(const char* text) {
    const long long number = std::strtoll(text, nullptr, 10); // saturates at 64 bits on its own
    if (number > INT32_MAX) return INT32_MAX;
    if (number < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(number);
}
} // namespace

int32_t ReadSetting(int32_t* value) {
    FILE* file = PlatformOpenFile(ASSET_SETTINGS, "rb");
    if (!file) return 0;
    char buffer[SETTING_BUFFER];
    // Everything before the first '=' is ignored; blanks and tabs do not even take up room.
    int32_t position = 0;
    for (;;) {
        const int c = std::fgetc(file);
        if (c == EOF || position >= SETTING_BUFFER) {
            std::fclose(file);
            return 0;
        }
        buffer[position] = static_cast<char>(c);
        if (c == '=') break;
        if (c != ' ' && c != '\t') ++position;
    }
    position = 0;
    bool started = false;
    for (;;) {
        if (position >= SETTING_BUFFER) {
            std::fclose(file);
            return 0;
        }
        const int c = std::fgetc(file);
        if (c == EOF) {
            std::fclose(file);
            return 0;
        }
        if (!started && (c == ' ' || c == '\t')) continue;
        started = true;
        if (c == '\0' || c == '\t' || c == '\n' || c == ' ' || c == '/') {
            buffer[position] = '\0';
            break;
        }
        buffer[position++] = static_cast<char>(c);
    }
    *value = SettingNumber(buffer);
    std::fclose(file);
    return 1;
}

bool InitApp(PlatformWindow window) {
    PlatformTimeBeginPeriod(1);
    // The clock is read either way; a replay seeds with its recording's seed instead.
    qm::srand(SessionReplaySeed(PlatformTimeGetTime()));
    int32_t setting = 0;
    if (ReadSetting(&setting) == 0) setting = 0;
    // 319 is a width no display accepts, so the mode list falls through to 640x480.
    if (setting != 0) displayModes[0].width = 319;
    if (!DDSetDisplay(window, displayModes, 0, 0)) return false;
    if (!DDLoadTableSurface(SURFACE_TEXT)) return false;
    if (DDHasDisplayPalette()) {
        if (!DDLoadPaletteFromFile(basePalette, ASSET_PALETTE, 0)) {
            TraceLog("DDLoadPaletteFromFile失敗");
            return false;
        }
        TraceLog("DDLoadPaletteFromFile成功");
        std::memcpy(workPalette, basePalette, sizeof workPalette);
    }
    if (!LoadHalfBlendTable(halfBlendTable, ASSET_BLEND_TABLE)) {
        NoteFileFailure("the blend table", ASSET_BLEND_TABLE);
        TraceLog("LoadHalfBlendTable失敗");
        return false;
    }
    DDChoosePresentation();
    if (!DS_Init(window, 22050, 8, 1)) {
        TraceLog("DS_Init失敗！");
        return false;
    }
    if (!DSCreateBufferGroup(soundGroups, soundSources)) {
        TraceLog("DSCreateBufferGroup失敗！");
        return false;
    }
    DDFillRect(&backBuffer, 0, 0, 320, 240, 6);
    SetDefaultButtons(&inputState);
    return true;
}

void ReleaseApp(PlatformWindow) {
    PlatformTimeEndPeriod(1);
    DS_Release();
    DDRelease();
}

// Screenshots for players: the picture on the screen saved as a numbered PNG in the screenshots folder.
#pragma once
#include <cstdint>
#include <string>

// The folder screenshots go into, made when missing (platform/file_roots.h moves it for an installed game).
inline constexpr const char* SCREENSHOT_FOLDER = "screenshots";
// quillmarsh-0001.png ... quillmarsh-9999.png.
inline constexpr int32_t SCREENSHOT_MAX_NUMBER = 9999;

// The number the next screenshot in folder gets: one past the highest quillmarsh-NNNN.png there (1 for
// none), so the names sort in the order the pictures were taken. Past SCREENSHOT_MAX_NUMBER when full.
int32_t NextScreenshotNumber(const char* folder);

// Saves the picture last presented as SCREENSHOT_FOLDER/quillmarsh-NNNN.png: 320x240 through the display
// palette as it is now. Reads only the platform's display: no message, no random draw, no game state.
// On success *savedPath names the file; on failure *why says why in plain words and no file is left.
bool SaveScreenshot(std::string* savedPath, std::string* why);

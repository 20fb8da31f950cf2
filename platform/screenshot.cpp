// Screenshots for players: the picture on the screen saved as a numbered PNG in the screenshots folder.
#include "platform/screenshot.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/display_device.h"
#include "platform/file.h"
#include "platform/png_file.h"

namespace {
constexpr const char* NAME_PREFIX = "quillmarsh-";
constexpr const char* NAME_SUFFIX = ".png";
constexpr size_t NAME_DIGITS = 4;

// The NNNN of "quillmarsh-NNNN.png", or 0 when the name is anything else.
int32_t NumberInName(const std::string& name) {
    const std::string prefix = NAME_PREFIX, suffix = NAME_SUFFIX;
    if (name.size() != prefix.size() + NAME_DIGITS + suffix.size()) return 0;
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    if (name.compare(prefix.size() + NAME_DIGITS, suffix.size(), suffix) != 0) return 0;
    int32_t number = 0;
    for (size_t i = 0; i < NAME_DIGITS; ++i) {
        const char c = name[prefix.size() + i];
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string NameFor(int32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%04d%s", NAME_PREFIX, static_cast<int>(number), NAME_SUFFIX);
    return name;
}
} // namespace

int32_t NextScreenshotNumber(const char* folder) {
    int32_t highest = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const int32_t number = NumberInName(it->path().filename().string());
        if (number > highest) highest = number;
    }
    return highest + 1;
}

bool SaveScreenshot(std::string* savedPath, std::string* why) {
    std::vector<uint8_t> pixels(320 * 240);
    if (!PlatformDisplayLastPicture(pixels.data())) {
        *why = "nothing has been shown on the screen yet";
        return false;
    }
    PaletteEntry palette[256];
    PlatformDisplayGetEntries(palette);

    const std::string folder = PlatformNativePath(SCREENSHOT_FOLDER);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        *why = "cannot make the folder " + folder;
        return false;
    }
    const int32_t number = NextScreenshotNumber(folder.c_str());
    if (number > SCREENSHOT_MAX_NUMBER) {
        *why = "the folder " + folder + " already holds " + NameFor(SCREENSHOT_MAX_NUMBER) +
               "; move the screenshots somewhere else to take more";
        return false;
    }
    const std::string path =
        PlatformNativePath((std::string(SCREENSHOT_FOLDER) + "\\" + NameFor(number)).c_str());
    if (!WriteIndexedPng(path.c_str(), pixels.data(), 320, 240, 320, palette)) {
        *why = "cannot write " + path;
        return false;
    }
    *savedPath = path;
    return true;
}

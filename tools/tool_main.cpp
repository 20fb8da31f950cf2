// quillmarsh-tool: makes and checks the game's asset tree, and converts stages to and from text.
#include "platform/command_line.h"
#include "tools/assets/blend_table.h"
#include "tools/assets/check_assets.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/icon.h"
#include "tools/assets/make_assets.h"
#include "tools/assets/palette_ramps.h"
#include "tools/assets/stage_codec.h"
#include "tools/assets/stage_picture.h"
#include "video/bitmap_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

using namespace assets;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Usage() {
    std::fprintf(stderr,
                 "usage: quillmarsh-tool COMMAND ARGS\n"
                 "  make-assets DIR                     write the game's asset tree into DIR\n"
                 "  check-assets DIR                    check every file the game opens under DIR\n"
                 "  make-icon FILE.ico                  write the program's 48x48 256-colour icon\n"
                 "  make-icon-png SIDE FILE.png         the icon as a SIDE x SIDE PNG (16 to 1024)\n"
                 "  map-to-text FILE.bgd                print a stage as a text grid\n"
                 "  text-to-map FILE.txt OUT.bgd        write a stage from a text grid\n"
                 "  make-blend-table PALETTE.bmp OUT.dat  build the blend table for a palette bitmap\n"
                 "  map-to-png FILE.bgd OUT.png [--chips SHEET.bmp] [--scale N]\n"
                 "                                      draw a whole stage with the map-chip sheet\n"
                 "                                      (default %s); N = 1, 2, 4 ... 32 draws it\n"
                 "                                      1/N the size; over %d pixels a side is refused\n"
                 "\n"
                 "Stage text: one line per row, one character per tile (kind 0..15):\n"
                 "  %s\n"
                 "  . floor  # brick  %% crypt  T hedge  = boards  ~ water  , moss  + grave\n"
                 "  C closed  o opened  * seal  : gravel  b bones  ^ rock  _ mud  r rug\n"
                 "  Walls (solid): # %% T ~ + C ^\n",
                 kStageChipSheet, kStagePictureMaxSide, kStageTileChars);
    return kExitUsage;
}

int MakeAssetsCommand(const char* dir) {
    std::string error;
    if (!MakeAssets(dir, &error)) {
        std::fprintf(stderr, "make-assets: %s\n", error.c_str());
        return kExitFailure;
    }
    return 0;
}

int MakeIconCommand(const char* path) {
    Rgb palette[256];
    MakeGamePalette(palette);
    if (!WriteBytesToFile(path, EncodeIcon(MakeIconPicture(), palette))) {
        std::fprintf(stderr, "make-icon: cannot write %s\n", path);
        return kExitFailure;
    }
    return 0;
}

int MakeIconPngCommand(const char* sideText, const char* path) {
    char* end = nullptr;
    const long side = std::strtol(sideText, &end, 10);
    Rgb palette[256];
    MakeGamePalette(palette);
    const std::vector<uint8_t> png = *end == '\0' && side >= 16 && side <= 1024
                                         ? EncodeIconPng(MakeIconPicture(), palette, static_cast<int>(side))
                                         : std::vector<uint8_t>();
    if (png.empty()) {
        std::fprintf(stderr, "make-icon-png: the side must be a number from 16 to 1024\n");
        return kExitUsage;
    }
    if (!WriteBytesToFile(path, png)) {
        std::fprintf(stderr, "make-icon-png: cannot write %s\n", path);
        return kExitFailure;
    }
    return 0;
}

int CheckAssetsCommand(const char* dir) {
    std::vector<AssetProblem> problems = CheckAssets(dir);
    int errors = 0, warnings = 0;
    for (const AssetProblem& p : problems) {
        std::string shown = p.file;
        for (char& c : shown) {
            if (c == '\\') c = '/';
        }
        std::printf("%s: %s: %s\n", shown.c_str(), p.fatal ? "error" : "warning", p.reason.c_str());
        (p.fatal ? errors : warnings)++;
    }
    std::printf("%d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings,
                warnings == 1 ? "" : "s");
    return errors ? kExitFailure : 0;
}

bool LoadStage(const char* path, StageMap* map) {
    std::vector<uint8_t> bytes;
    std::string unread;
    if (!ReadBytesFromFile(path, &bytes, &unread)) {
        std::fprintf(stderr, "%s: cannot be read: %s\n", path, unread.c_str());
        return false;
    }
    std::string why;
    if (!DecodeStage(bytes.data(), bytes.size(), map, &why)) {
        std::fprintf(stderr, "%s: %s\n", path, why.c_str());
        return false;
    }
    return true;
}

int MapToTextCommand(const char* path) {
    StageMap map;
    if (!LoadStage(path, &map)) return kExitFailure;
    std::vector<std::string> problems;
    CheckStage(map, &problems);
    for (const std::string& p : problems)
        std::fprintf(stderr, "%s: warning: %s\n", path, p.c_str());
    std::fputs(StageToText(map).c_str(), stdout);
    return 0;
}

int TextToMapCommand(const char* textPath, const char* outPath) {
    std::vector<uint8_t> bytes;
    std::string unread;
    if (!ReadBytesFromFile(textPath, &bytes, &unread)) {
        std::fprintf(stderr, "%s: cannot be read: %s\n", textPath, unread.c_str());
        return kExitFailure;
    }
    StageMap map;
    std::string why;
    if (!StageFromText(std::string(bytes.begin(), bytes.end()), &map, &why)) {
        std::fprintf(stderr, "%s: %s\n", textPath, why.c_str());
        return kExitFailure;
    }
    // A stage the game cannot play is not written at all.
    std::vector<std::string> problems;
    if (!CheckStage(map, &problems)) {
        for (const std::string& p : problems)
            std::fprintf(stderr, "%s: %s\n", textPath, p.c_str());
        return kExitFailure;
    }
    if (!WriteBytesToFile(outPath, EncodeStage(map))) {
        std::fprintf(stderr, "%s: cannot be written\n", outPath);
        return kExitFailure;
    }
    return 0;
}

int MakeBlendTableCommand(const char* palettePath, const char* outPath) {
    std::vector<uint8_t> bytes;
    std::string unread;
    if (!ReadBytesFromFile(palettePath, &bytes, &unread)) {
        std::fprintf(stderr, "%s: cannot be read: %s\n", palettePath, unread.c_str());
        return kExitFailure;
    }
    BitmapFile bmp;
    if (!DecodeBitmapFile(bytes.data(), bytes.size(), &bmp)) {
        std::fprintf(stderr, "%s: %s\n", palettePath, DescribeBitmapRefusal(bytes).c_str());
        return kExitFailure;
    }
    if (bmp.colorCount < 256) {
        std::fprintf(stderr, "%s: warning: only %d colours; the rest count as black\n", palettePath,
                     bmp.colorCount);
    }
    Rgb palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = Rgb{bmp.colorTable[i][2], bmp.colorTable[i][1], bmp.colorTable[i][0]};
    if (!WriteBytesToFile(outPath, MakeBlendTable(palette))) {
        std::fprintf(stderr, "%s: cannot be written\n", outPath);
        return kExitFailure;
    }
    return 0;
}

// map-to-png STAGE OUT [--chips FILE] [--scale N], the options in any order after the command.
int MapToPngCommand(int argc, char** argv) {
    std::vector<std::string> files;
    std::string chips = kStageChipSheet;
    int32_t scale = 1;
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--chips") == 0 && hasValue) {
            chips = argv[++i];
        } else if (std::strcmp(argv[i], "--scale") == 0 && hasValue) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 1 || value > kStagePictureMaxScale || (value & (value - 1)) != 0) {
                std::fprintf(stderr, "map-to-png: --scale %s: it must be 1, 2, 4, 8, 16 or 32\n", argv[i]);
                return kExitUsage;
            }
            scale = static_cast<int32_t>(value);
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return Usage();
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() != 2) return Usage();
    std::vector<std::string> why;
    if (!StageFileToPng(files[0], chips, scale, files[1], &why)) {
        for (const std::string& line : why)
            std::fprintf(stderr, "%s\n", line.c_str());
        return kExitFailure;
    }
    return 0;
}

int RunTool(int argc, char** argv) {
    std::vector<std::string> words = PlatformUtf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& word : words)
        pointers.push_back(word.data());
    pointers.push_back(nullptr);
    argc = static_cast<int>(words.size());
    argv = pointers.data();
    if (argc < 2) return Usage();
    const char* command = argv[1];
    if (std::strcmp(command, "make-assets") == 0 && argc == 3) return MakeAssetsCommand(argv[2]);
    if (std::strcmp(command, "check-assets") == 0 && argc == 3) return CheckAssetsCommand(argv[2]);
    if (std::strcmp(command, "make-icon") == 0 && argc == 3) return MakeIconCommand(argv[2]);
    if (std::strcmp(command, "make-icon-png") == 0 && argc == 4) return MakeIconPngCommand(argv[2], argv[3]);
    if (std::strcmp(command, "map-to-text") == 0 && argc == 3) return MapToTextCommand(argv[2]);
    if (std::strcmp(command, "text-to-map") == 0 && argc == 4) return TextToMapCommand(argv[2], argv[3]);
    if (std::strcmp(command, "make-blend-table") == 0 && argc == 4)
        return MakeBlendTableCommand(argv[2], argv[3]);
    if (std::strcmp(command, "map-to-png") == 0) return MapToPngCommand(argc, argv);
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    // Every reader is bounded; this is the last word should memory still run out, instead of an abort.
    try {
        return RunTool(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "quillmarsh-tool: not enough memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmarsh-tool: stopped: %s\n", e.what());
    }
    return kExitFailure;
}

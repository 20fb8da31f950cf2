// Lays out the game's complete asset tree (bitmaps, blend table, sounds, stages) in a folder.
#include "tools/assets/make_assets.h"

#include "base/asset_paths.h"
#include "platform/file.h"
#include "tools/assets/blend_table.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/palette_ramps.h"
#include "tools/assets/sheets.h"
#include "tools/assets/sounds.h"
#include "tools/assets/stage_codec.h"

namespace assets {

std::string AssetPathIn(const std::string& dir, const char* gamePath) {
    std::string path = dir.empty() ? std::string(".") : dir;
    if (path.back() != '/') path.push_back('/');
    return path + PlatformNativePath(gamePath);
}

bool MakeAssets(const std::string& dir, std::string* error) {
    const char* folders[] = {"bmp", "wave", "data", ASSET_RECORD_FOLDER};
    for (const char* folder : folders) {
        if (!MakeFolder(AssetPathIn(dir, folder))) {
            *error = "cannot create the folder " + AssetPathIn(dir, folder);
            return false;
        }
    }
    auto write = [&](const char* gamePath, const std::vector<uint8_t>& bytes) {
        std::string path = AssetPathIn(dir, gamePath);
        if (WriteBytesToFile(path, bytes)) return true;
        *error = "cannot write " + path;
        return false;
    };

    Rgb palette[256];
    MakeGamePalette(palette);
    struct Sheet {
        const char* path;
        Canvas (*make)();
    };
    const Sheet sheets[] = {
        {ASSET_TEXT, MakeTextSheet},           {ASSET_MAPCHIP, MakeMapChipSheet},
        {ASSET_PLAYER, MakePlayerSheet},       {ASSET_ENEMY, MakeEnemySheet},
        {ASSET_PARTS, MakePartsSheet},         {ASSET_TITLE, MakeTitlePicture},
        {ASSET_FIXEDTEXT, MakeFixedTextSheet}, {ASSET_MASK, MakeLightMask},
    };
    for (const Sheet& sheet : sheets) {
        if (!write(sheet.path, EncodeBitmap(sheet.make(), palette))) return false;
    }
    if (!write(ASSET_BLEND_TABLE, MakeBlendTable(palette))) return false;

    const char* waves[kSoundCount] = {ASSET_WAVE_CURSOR,      ASSET_WAVE_DOOR,   ASSET_WAVE_OPEN,
                                      ASSET_WAVE_APPEAR,      ASSET_WAVE_SEAL,   ASSET_WAVE_PAUSE,
                                      ASSET_WAVE_DEATH,       ASSET_WAVE_SCREAM, ASSET_WAVE_GROAN,
                                      ASSET_WAVE_DEVIL_CHILD, ASSET_WAVE_HELP};
    for (int id = 0; id < kSoundCount; ++id) {
        if (!write(waves[id], EncodeWave(MakeSound(id), kSoundRate))) return false;
    }
    for (int n = 1; n <= 5; ++n) {
        if (!write(ASSET_STAGES[n - 1], EncodeStage(MakeStage(n)))) return false;
    }
    return true;
}

} // namespace assets

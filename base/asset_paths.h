// Every file the game opens, by the exact name it has beside the program.
#pragma once

// Bitmaps, one per surface slot, all sharing the palette of ASSET_PARTS.
inline constexpr const char* ASSET_TEXT = "bmp\\文字.bmp";
inline constexpr const char* ASSET_MAPCHIP = "bmp\\マップチップ.bmp";
inline constexpr const char* ASSET_PLAYER = "bmp\\キャラ.bmp";
inline constexpr const char* ASSET_ENEMY = "bmp\\敵キャラ.bmp";
inline constexpr const char* ASSET_PARTS = "bmp\\アクセサリ.bmp";
inline constexpr const char* ASSET_TITLE = "bmp\\タイトル.bmp";
inline constexpr const char* ASSET_FIXEDTEXT = "bmp\\固定文字.bmp";
inline constexpr const char* ASSET_MASK = "bmp\\円形マスク.bmp";

// The palette comes from the parts sheet's colour table.
inline constexpr const char* ASSET_PALETTE = ASSET_PARTS;
inline constexpr const char* ASSET_BLEND_TABLE = "bmp\\新半透明パレット.dat";

inline constexpr const char* ASSET_WAVE_CURSOR = "wave\\カーソル移動.wav";
inline constexpr const char* ASSET_WAVE_DOOR = "wave\\錆付いた扉.wav";
inline constexpr const char* ASSET_WAVE_OPEN = "wave\\開く.wav";
inline constexpr const char* ASSET_WAVE_APPEAR = "wave\\出現.wav";
inline constexpr const char* ASSET_WAVE_SEAL = "wave\\封印.wav";
inline constexpr const char* ASSET_WAVE_PAUSE = "wave\\ポーズ.wav";
inline constexpr const char* ASSET_WAVE_DEATH = "wave\\死亡.wav";
inline constexpr const char* ASSET_WAVE_SCREAM = "wave\\悲鳴.wav";
inline constexpr const char* ASSET_WAVE_GROAN = "wave\\うめき.wav";
inline constexpr const char* ASSET_WAVE_DEVIL_CHILD = "wave\\悪魔の子.wav";
inline constexpr const char* ASSET_WAVE_HELP = "wave\\ヘルプ.wav";

// Stage n uses file ((n - 1) mod 5); the digits are full-width.
inline constexpr const char* ASSET_STAGES[5] = {
    "data\\ステージ１.bgd", "data\\ステージ２.bgd", "data\\ステージ３.bgd",
    "data\\ステージ４.bgd", "data\\ステージ５.bgd",
};

inline constexpr const char* ASSET_SETTINGS = "Setting.ini";
inline constexpr const char* ASSET_RECORD = "user_data\\Record.dat";
inline constexpr const char* ASSET_RECORD_FOLDER = "user_data";

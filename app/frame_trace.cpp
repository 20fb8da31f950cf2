// The trace of a run: one JSON object per presented frame with the game's records, its sounds and hashes of
// the picture, so two runs can be compared line by line.
#include "app/frame_trace.h"

#include <cinttypes>
#include <cstdio>

#include "app/main_window.h"
#include "game/enemy.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"
#include "game/title_scene.h"
#include "input/controls.h"
#include "sound/sound_group.h"
#include "video/display.h"

namespace {
std::vector<FrameSound> capturedSounds;

void OnPlay(const SoundGroup* group, int32_t index, int32_t volume, int32_t pan) {
    const int32_t id = group >= soundGroups && group < soundGroups + SND_COUNT
                           ? static_cast<int32_t>(group - soundGroups)
                           : -1;
    capturedSounds.push_back(FrameSound{id, index, volume, pan});
}

// Builds "name":value pairs; keeps the line free of formatting surprises (no locale, no floats).
struct Json {
    std::string text;
    bool first = true;

    void Key(const char* name) {
        if (!first) text += ',';
        first = false;
        text += '"';
        text += name;
        text += "\":";
    }
    void Number(const char* name, int64_t value) {
        Key(name);
        text += std::to_string(value);
    }
    void String(const char* name, const std::string& value) {
        Key(name);
        text += '"' + value + '"';
    }
    void Open(const char* name) {
        Key(name);
        text += '{';
        first = true;
    }
    void Close() {
        text += '}';
        first = false;
    }
};

void AddEnemies(Json& json, bool withEnemies) {
    json.Open("enemies");
    json.Number("count", enemyList.count);
    if (withEnemies) {
        json.Key("list");
        json.text += '[';
        bool firstEnemy = true;
        // Real enemies lie between the sentinels; a list not made yet (the title) has none.
        for (const Enemy* e = enemyList.head ? enemyList.head->next : nullptr; e && e != enemyList.tail;
             e = e->next) {
            if (!firstEnemy) json.text += ',';
            firstEnemy = false;
            Json one;
            one.text = "{";
            one.Number("x", e->body.x);
            one.Number("y", e->body.y);
            one.Number("kind", e->kind);
            one.Number("speed", e->speed);
            one.Number("sight", e->sightRadius);
            one.Number("delay", e->delay);
            one.Number("variant", e->variant);
            one.Number("facing", e->body.facing);
            one.Number("timer", e->timer);
            json.text += one.text + '}';
        }
        json.text += ']';
    }
    json.Close();
}
} // namespace

void StartSoundCapture() {
    capturedSounds.clear();
    SetSoundPlayObserver(OnPlay);
}

void StopSoundCapture() {
    SetSoundPlayObserver(nullptr);
    capturedSounds.clear();
}

std::vector<FrameSound> TakeFrameSounds() {
    std::vector<FrameSound> sounds;
    sounds.swap(capturedSounds);
    return sounds;
}

uint64_t Fnv1a64(const uint8_t* bytes, size_t count) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

uint64_t PaletteHash(const PaletteEntry palette[256]) {
    uint8_t bytes[256 * 4];
    for (int32_t i = 0; i < 256; ++i) {
        bytes[i * 4] = palette[i].red;
        bytes[i * 4 + 1] = palette[i].green;
        bytes[i * 4 + 2] = palette[i].blue;
        bytes[i * 4 + 3] = palette[i].flags;
    }
    return Fnv1a64(bytes, sizeof bytes);
}

uint64_t ImageHash(const uint8_t* indices) {
    return Fnv1a64(indices, 320 * 240);
}

std::string HashText(uint64_t hash) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

std::string FrameTraceLine(uint32_t frame, uint32_t time, const std::vector<FrameSound>& sounds,
                           const FramePicture& picture, bool withEnemies) {
    Json json;
    json.text = "{";
    json.Number("frame", frame);
    json.Number("time", time);
    json.Number("scene", currentScene);
    json.Number("paused", paused);

    json.Open("title");
    json.Number("phase", titlePhase);
    json.Number("state", titleState);
    json.Number("timer", titleTimer);
    json.Number("best", bestRecord);
    json.Close();

    json.Open("game");
    json.Number("phase", gamePhase);
    json.Number("state", GameState);
    json.Number("stage", stage);
    json.Number("lives", lives);
    json.Number("light", lightLevel);
    json.Number("sealChance", sealChance);
    json.Number("sealRevealed", sealRevealed);
    json.Number("result", stageResult);
    json.Number("clearPhase", clearPhase);
    json.Number("caughtPhase", caughtPhase);
    json.Number("caughtTimer", caughtTimer);
    json.Close();

    json.Open("player");
    json.Number("x", player.body.x);
    json.Number("y", player.body.y);
    json.Number("facing", player.body.facing);
    json.Number("sequence", player.body.anim.sequence);
    json.Number("step", player.body.anim.step);
    json.Number("tick", player.body.anim.tick);
    json.Close();

    json.Key("scroll");
    json.text += '[' + std::to_string(scrollX) + ',' + std::to_string(scrollY) + ']';

    AddEnemies(json, withEnemies);

    json.Open("input");
    json.Number("direction", inputState.direction);
    json.Number("dirBits", inputState.dirBits);
    json.Number("buttons", inputState.buttons);
    json.Close();

    json.Key("sounds");
    json.text += '[';
    for (size_t i = 0; i < sounds.size(); ++i) {
        if (i) json.text += ',';
        const FrameSound& s = sounds[i];
        json.text += '[' + std::to_string(s.id) + ',' + std::to_string(s.buffer) + ',' +
                     std::to_string(s.volume) + ',' + std::to_string(s.pan) + ']';
    }
    json.text += ']';

    json.Open("display");
    json.Number("width", primarySurface.width);
    json.Number("height", primarySurface.height);
    json.Number("copyPresent", copyPresent);
    json.Close();

    json.String("palette", HashText(PaletteHash(picture.palette)));
    json.String("image", HashText(ImageHash(picture.indices)));
    json.text += '}';
    return json.text;
}

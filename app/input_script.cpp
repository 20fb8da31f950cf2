// Scripts of held controls and window events by frame: what replays play and what recordings write.
#include "app/input_script.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "base/failure.h"
#include "platform/window.h"

namespace {
struct KeyName {
    const char* name;
    uint8_t bit;
};
constexpr KeyName KEY_NAMES[] = {{"left", HELD_LEFT}, {"right", HELD_RIGHT}, {"up", HELD_UP},
                                 {"down", HELD_DOWN}, {"z", HELD_Z},         {"x", HELD_X}};
constexpr const char* EVENT_NAMES[] = {"space", "esc", "inactive", "active"};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// A whole token of decimal digits no larger than limit; no sign, no blanks.
bool ReadNumber(const std::string& text, uint64_t limit, uint64_t* value) {
    if (text.empty() || text.size() > 20) return false;
    uint64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<uint64_t>(c - '0');
        if (number > limit) return false;
    }
    *value = number;
    return true;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        size_t end = i;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        if (end > i) words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

// Reads the controls after the colon into line; false with the reason.
bool ReadControls(const std::vector<std::string>& words, ScriptLine* line, std::string* reason) {
    bool joystickGiven[3] = {false, false, false};
    for (const std::string& word : words) {
        bool known = false;
        for (const KeyName& key : KEY_NAMES) {
            if (word != key.name) continue;
            if (line->held.keys & key.bit) {
                *reason = "'" + word + "' is listed twice";
                return false;
            }
            line->held.keys |= key.bit;
            known = true;
        }
        for (uint8_t e = 0; e < 4 && !known; ++e) {
            if (word != EVENT_NAMES[e]) continue;
            line->events.push_back(static_cast<ScriptEvent>(e));
            known = true;
        }
        if (known) continue;
        const size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const int axis = name == "jx" ? 0 : name == "jy" ? 1 : name == "jb" ? 2 : -1;
        if (axis < 0 || equals == std::string::npos) {
            *reason = "unknown control " + QuoteInput(word) +
                      " (expected left right up down z x jx=N jy=N jb=N space "
                      "esc inactive active)";
            return false;
        }
        if (joystickGiven[axis]) {
            *reason = "'" + name + "' is given twice";
            return false;
        }
        joystickGiven[axis] = true;
        const uint64_t limit = axis == 2 ? UINT32_MAX : JOYSTICK_AXIS_MAX;
        uint64_t value = 0;
        if (!ReadNumber(word.substr(equals + 1), limit, &value)) {
            *reason = name + " needs a whole number from 0 to " + std::to_string(limit) + ", not " +
                      QuoteInput(word.substr(equals + 1));
            return false;
        }
        const uint32_t v = static_cast<uint32_t>(value);
        if (axis == 0) line->held.joystickX = v;
        if (axis == 1) line->held.joystickY = v;
        if (axis == 2) line->held.joystickButtons = v;
    }
    return true;
}

// One line of the text; false with the reason. Blank and comment lines leave the script unchanged.
bool ReadLine(std::string text, int32_t lineNumber, InputScript* script, int32_t* seedLine,
              std::string* reason) {
    const size_t comment = text.find('#');
    if (comment != std::string::npos) text.resize(comment);
    const std::vector<std::string> words = SplitWords(text);
    if (words.empty()) return true;
    if (words[0] == "seed") {
        uint64_t seed = 0;
        if (words.size() != 2 || !ReadNumber(words[1], UINT32_MAX, &seed)) {
            *reason = "'seed' needs one whole number from 0 to 4294967295";
            return false;
        }
        if (script->hasSeed) {
            *reason = "a second seed (the first is on line " + std::to_string(*seedLine) + ")";
            return false;
        }
        script->hasSeed = true;
        script->seed = static_cast<uint32_t>(seed);
        *seedLine = lineNumber;
        return true;
    }
    const size_t colon = text.find(':');
    if (colon == std::string::npos) {
        *reason = "expected 'FRAME: controls' or 'seed N', found no ':'";
        return false;
    }
    const std::vector<std::string> head = SplitWords(text.substr(0, colon));
    uint64_t frame = 0;
    if (head.size() != 1 || !ReadNumber(head[0], UINT32_MAX, &frame)) {
        *reason = "the frame before ':' must be one whole number from 0 to 4294967295";
        return false;
    }
    if (!script->lines.empty() && frame <= script->lines.back().frame) {
        *reason = "frame " + std::to_string(frame) + " does not come after frame " +
                  std::to_string(script->lines.back().frame) + " of line " +
                  std::to_string(script->lines.back().lineNumber);
        return false;
    }
    ScriptLine line{static_cast<uint32_t>(frame), NOTHING_HELD, {}, lineNumber};
    if (!ReadControls(SplitWords(text.substr(colon + 1)), &line, reason)) return false;
    script->lines.push_back(line);
    return true;
}
} // namespace

bool SameHeld(const HeldControls& a, const HeldControls& b) {
    return a.keys == b.keys && a.joystickX == b.joystickX && a.joystickY == b.joystickY &&
           a.joystickButtons == b.joystickButtons;
}

ScriptEventMessage MessageForScriptEvent(ScriptEvent event) {
    switch (event) {
    case EVENT_SPACE:
        return {WM_KEYDOWN, VK_SPACE, 1};
    case EVENT_ESC:
        return {WM_KEYDOWN, VK_ESCAPE, 1};
    case EVENT_INACTIVE:
        return {WM_ACTIVATEAPP, 0, 0};
    case EVENT_ACTIVE:
        break;
    }
    return {WM_ACTIVATEAPP, 1, 0};
}

const char* ScriptEventName(ScriptEvent event) {
    return event <= EVENT_ACTIVE ? EVENT_NAMES[event] : "?";
}

bool ParseInputScript(const std::string& text, InputScript* script, std::string* error) {
    *script = InputScript{};
    int32_t seedLine = 0;
    int32_t lineNumber = 0;
    // Editors on Windows start a UTF-8 text with a byte-order mark; it is no part of the first line.
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++lineNumber;
        std::string reason;
        if (!ReadLine(text.substr(start, end - start), lineNumber, script, &seedLine, &reason)) {
            *error = "line " + std::to_string(lineNumber) + ": " + reason;
            *script = InputScript{};
            return false;
        }
        start = end + 1;
    }
    return true;
}

namespace {
// The whole file into text, at most one byte past the limit; false with the reason.
bool ReadScriptText(const char* path, std::string* text, std::string* error) {
    std::error_code ignored;
    // Opened, a folder reads as an error with no useful reason on some systems and as nothing on others.
    if (std::filesystem::is_directory(path, ignored)) {
        *error = std::string("cannot read ") + path + ": it is a folder";
        return false;
    }
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        *error = std::string("cannot read ") + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<char> buffer(65536);
    size_t got = 0;
    errno = 0;
    try {
        // One byte past the limit tells an endless source (a device) from a script that just fits.
        while (text->size() <= INPUT_SCRIPT_MAX_BYTES &&
               (got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0)
            text->append(buffer.data(), got);
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        *error = std::string("cannot read ") + path + ": not enough memory";
        return false;
    }
    const int readError = errno;
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        *error = std::string("cannot read ") + path +
                 (readError ? std::string(": ") + std::strerror(readError) : std::string());
        return false;
    }
    if (text->size() > INPUT_SCRIPT_MAX_BYTES) {
        const uintmax_t size = std::filesystem::file_size(path, ignored);
        const std::string known = size != static_cast<uintmax_t>(-1) && size > INPUT_SCRIPT_MAX_BYTES
                                      ? std::to_string(size) + " bytes"
                                      : "it does not end";
        *error = std::string("cannot read ") + path + ": it is over 64 MB (" + known +
                 "), far more than any script or recording";
        return false;
    }
    return true;
}
} // namespace

bool ReadInputScript(const char* path, InputScript* script, std::string* error) {
    *script = InputScript{};
    std::string text;
    if (!ReadScriptText(path, &text, error)) return false;
    try {
        if (!ParseInputScript(text, script, error)) {
            *error = std::string(path) + ": " + *error;
            return false;
        }
    } catch (const std::bad_alloc&) {
        *script = InputScript{};
        *error = std::string("cannot read ") + path + ": not enough memory for its " +
                 std::to_string(text.size()) + " bytes";
        return false;
    }
    return true;
}

std::string FormatScriptLine(uint32_t frame, const HeldControls& held,
                             const std::vector<ScriptEvent>& events) {
    std::string text = std::to_string(frame) + ":";
    for (const KeyName& key : KEY_NAMES) {
        if (held.keys & key.bit) {
            text += ' ';
            text += key.name;
        }
    }
    if (held.joystickX != JOYSTICK_REST) text += " jx=" + std::to_string(held.joystickX);
    if (held.joystickY != JOYSTICK_REST) text += " jy=" + std::to_string(held.joystickY);
    if (held.joystickButtons != 0) text += " jb=" + std::to_string(held.joystickButtons);
    for (ScriptEvent event : events) {
        text += ' ';
        text += ScriptEventName(event);
    }
    return text;
}

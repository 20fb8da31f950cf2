// Fuzz target: an input script read as quillmarsh-sim --input reads one, and what it says of a bad one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/input_script.h"
#include "fuzz/memory_file.h"

namespace {
// One line a terminal shows as it is: no control bytes, UTF-8 throughout, of a bounded length.
bool PlainLine(const std::string& text) {
    if (text.size() > 600) return false;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<uint8_t>(text[i]);
        if (c < 0x20 || c == 0x7F) return false;
        size_t length = c < 0x80             ? 1
                        : (c & 0xE0) == 0xC0 ? 2
                        : (c & 0xF0) == 0xE0 ? 3
                        : (c & 0xF8) == 0xF0 ? 4
                                             : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputScript script;
    std::string error;
    if (ReadInputScript(MemoryFilePath(data, size), &script, &error)) {
        // Frames strictly rising, as the runner relies on when it steps through them.
        for (size_t i = 1; i < script.lines.size(); ++i)
            if (script.lines[i].frame <= script.lines[i - 1].frame) __builtin_trap();
        for (const ScriptLine& line : script.lines)
            if (line.held.joystickX > JOYSTICK_AXIS_MAX || line.held.joystickY > JOYSTICK_AXIS_MAX ||
                line.held.keys > 63)
                __builtin_trap();
    } else if (!PlainLine(error) || !script.lines.empty() || script.hasSeed) {
        __builtin_trap();
    }
    return 0;
}

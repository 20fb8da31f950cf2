// Fuzz target: a recording read back by quillmarsh-sim, and written again as the recorder writes it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/input_script.h"
#include "fuzz/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputScript script;
    std::string error;
    if (!ReadInputScript(MemoryFilePath(data, size), &script, &error)) return 0;
    // The recorder's lines: the seed first, then one line per change of controls or events.
    std::string written;
    if (script.hasSeed) written += "seed " + std::to_string(script.seed) + "\n";
    for (const ScriptLine& line : script.lines)
        written += FormatScriptLine(line.frame, line.held, line.events) + "\n";
    InputScript again;
    if (!ParseInputScript(written, &again, &error)) __builtin_trap();
    if (again.hasSeed != script.hasSeed || (script.hasSeed && again.seed != script.seed) ||
        again.lines.size() != script.lines.size())
        __builtin_trap();
    for (size_t i = 0; i < script.lines.size(); ++i) {
        const ScriptLine& a = script.lines[i];
        const ScriptLine& b = again.lines[i];
        if (a.frame != b.frame || !SameHeld(a.held, b.held) || a.events != b.events) __builtin_trap();
    }
    return 0;
}

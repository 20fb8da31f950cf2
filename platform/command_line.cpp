// A program's command line as UTF-8 words, whatever the system's own code page.
#include "platform/command_line.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>
#endif

std::vector<std::string> PlatformUtf8Arguments(int argc, char** argv) {
#if defined(_WIN32)
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide) {
        std::vector<std::string> words;
        for (int i = 0; i < count; ++i) {
            const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string word(size > 0 ? static_cast<size_t>(size) : 1, '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, word.data(), size, nullptr, nullptr);
            word.resize(word.size() - 1);
            words.push_back(word);
        }
        LocalFree(wide);
        if (!words.empty()) return words;
    }
#endif
    return std::vector<std::string>(argv, argv + argc);
}

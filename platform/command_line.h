// A program's command line as UTF-8 words, whatever the system's own code page.
#pragma once
#include <string>
#include <vector>

// The words of the command line, program name first. On Windows a narrow main gets its arguments in the
// local code page, which cannot hold every name (the stages are named in Japanese), so they are read from
// the wide command line instead; elsewhere they are argv as given.
std::vector<std::string> PlatformUtf8Arguments(int argc, char** argv);

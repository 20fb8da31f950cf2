// Running the build's programs from tests: no shell in between, so paths need no quoting on any platform.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// A program beside the tests in the build folder, by its name without the platform's suffix.
std::filesystem::path BuildProgram(const std::string& name);

// Runs program with UTF-8 arguments, its standard output and error both into the file `output`: the exit
// status, or -1 when it could not be started or did not exit by itself.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& output);

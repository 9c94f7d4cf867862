#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// Readies the process for a run, before anything else: a console that goes away while the run
// computes or writes (its output piped into a program that has ended) must not end the run
// before its reports are written. Implemented beside the file system of each platform.
void prepare_process();

// The most memory the system lets this process have, in bytes (the limit of ulimit -v), or none
// where it sets none or does not say.
std::optional<std::uint64_t> memory_limit();

// The program's name and the words after it, argv[0] to argv[argc - 1], in UTF-8: on Windows
// read from the UTF-16 command line, so that names in any script arrive as typed whatever the
// code page.
std::vector<std::string> program_arguments(int argc, const char* const argv[]);

// Makes the folder that holds `path` the working folder and gives the file's name in it; a path
// without a folder leaves the working folder as it is. False, with the system's reason, when the
// folder cannot be entered.
bool enter_folder_of(const std::string& path, std::string* file_name, std::string* reason);

// The working folder's full name, or empty when the system cannot say.
std::string working_folder();

}  // namespace quorvane

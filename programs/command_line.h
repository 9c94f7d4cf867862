#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "editions/edition_profile.h"

namespace quorvane {

// Exit status of a program whose command line is refused; nothing is read or written then.
inline constexpr int kCommandLineRefused = 2;

// What the words after a program's name ask it to do.
struct CommandLine {
  enum class Action { kRun, kShowHelp, kShowVersion, kRefuse };
  Action action = Action::kRun;
  // The seed given with --seed, for a run; empty when none was given (the caller then seeds the
  // run with the clock's seconds).
  std::optional<std::uint32_t> seed;
  // The path prefix given with --export: the run also writes its results as tables and a picture.
  std::optional<std::string> export_name;
  // The data file named after the options: the run asks nothing and reads the study's shape
  // from the file.
  std::optional<std::string> data_file;
  // The size of the nominal groups given with --group-size, to the program that takes it.
  std::optional<int> group_size;
  // When refused: what is wrong, for one error line.
  std::string error;
};

// Whether the program takes --group-size K (and needs it for a run), or has a size of its own.
enum class GroupSizeOption { kNone, kRequired };

// Reads argv[1] to argv[argc - 1]. Accepted: "--seed S" or "--seed=S", S a whole number from 0 to
// 4294967295 in decimal digits alone (leading zeros allowed), at most once; "--export NAME" or
// "--export=NAME", at most once; "--help"; "--version"; one word that does not start with '-',
// the data file; with GroupSizeOption::kRequired, "--group-size K" or "--group-size=K", K a whole
// number from kSmallestGroupSize to kLargestGroupSize, once, and required for a run. Any other
// word, a missing or bad value, or an option or data file given twice refuses the whole command
// line. Otherwise --help wins over --version, and --version over a run.
CommandLine read_command_line(int argc, const char* const argv[],
                              GroupSizeOption group_size_option = GroupSizeOption::kNone);

// The text --help prints: how to run the program, its dialogue, the data file, the reports and
// the options. Lines end with '\n'.
std::string usage_text(const EditionProfile& edition);
// The same for Quorvane-Groups, which takes the group size.
std::string groups_usage_text();

// What --version prints, without the line end: "Quorvane-Triads 2.0".
std::string version_line(const EditionProfile& edition);

}  // namespace quorvane

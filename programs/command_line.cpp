#include "programs/command_line.h"

#include <cctype>
#include <string_view>
#include <utility>

#include "studies/word_reader.h"

#ifndef QUORVANE_VERSION
#error "QUORVANE_VERSION must be defined by the build, from the project's version"
#endif

namespace quorvane {
namespace {

constexpr std::string_view kSeedOption = "--seed";
constexpr std::string_view kExportOption = "--export";
constexpr std::string_view kGroupSizeOption = "--group-size";
constexpr std::uint64_t kLargestSeed = 4294967295u;
const char* const kSeedRange = "a whole number from 0 to 4294967295";
#if defined(_WIN32)
constexpr const char* kFolderSeparators = "/\\";
#else
constexpr const char* kFolderSeparators = "/";
#endif

std::string shown(std::string_view word) { return shown_word(word, word.size()); }

// The seed written in `text`, or nothing unless it is decimal digits alone, at most 4294967295.
std::optional<std::uint32_t> seed_in(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kLargestSeed) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// The group size written in `text`, or nothing unless it is decimal digits alone making a size
// from kSmallestGroupSize to kLargestGroupSize.
std::optional<int> group_size_in(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kLargestGroupSize) return std::nullopt;
  }
  if (value < kSmallestGroupSize) return std::nullopt;
  return value;
}

std::string group_size_range() {
  return "a whole number from " + std::to_string(kSmallestGroupSize) + " to " +
         std::to_string(kLargestGroupSize);
}

// Whether the word is the option, alone or as "option=value".
bool is_option(std::string_view word, std::string_view option) {
  return word == option || (word.size() > option.size() &&
                            word.substr(0, option.size()) == option && word[option.size()] == '=');
}

// What is wrong with an export name that cannot be the start of its files' names, if anything.
std::optional<std::string> export_name_fault(std::string_view name) {
  if (name[0] == '-') {
    return "the export name " + shown(name) +
           " starts with '-', as an option does: give the export's name after --export (for "
           "files whose names start with '-', put ./ before it)";
  }
  if (name.back() == '/' || name.back() == '\\') {
    return "the export name " + shown(name) +
           " ends with a folder separator: add the start of the files' names after it, such as "
           "pilot-1";
  }
  const std::size_t separator = name.find_last_of(kFolderSeparators);
  const std::string_view last =
      separator == std::string_view::npos ? name : name.substr(separator + 1);
  if (last.find_first_not_of('.') == std::string_view::npos) {
    return "the export name " + shown(name) +
           " ends in a folder (. or ..), not in the start of the files' names: add the start "
           "after it, such as " +
           std::string(name) + "/pilot-1";
  }
  return std::nullopt;
}

CommandLine refused(std::string error) {
  CommandLine command;
  command.action = CommandLine::Action::kRefuse;
  command.error = std::move(error);
  return command;
}

}  // namespace

CommandLine read_command_line(int argc, const char* const argv[],
                              GroupSizeOption group_size_option) {
  bool help = false;
  std::optional<int> group_size;
  std::string group_size_text;
  bool version = false;
  std::optional<std::uint32_t> seed;
  std::string seed_text;
  std::optional<std::string> export_name;
  std::optional<std::string> data_file;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--help") {
      help = true;
    } else if (word == "--version") {
      version = true;
    } else if (is_option(word, kExportOption)) {
      std::string_view value;
      if (word == kExportOption) {
        if (i + 1 == argc) return refused("--export needs a name, the start of the files' names");
        value = argv[++i];
      } else {
        value = word.substr(kExportOption.size() + 1);
      }
      if (value.empty()) return refused("--export needs a name, the start of the files' names");
      if (const std::optional<std::string> wrong = export_name_fault(value)) return refused(*wrong);
      for (const char c : value) {
        if (static_cast<unsigned char>(c) < 0x20) {
          return refused("the export name " + shown(value) +
                         " holds a control character (a line break or tab); give a plain name");
        }
      }
      if (export_name) {
        return refused("the export name is given twice (" + shown(*export_name) + " and " +
                       shown(value) + "): give it once");
      }
      export_name = std::string(value);
    } else if (word == kSeedOption || word.substr(0, kSeedOption.size() + 1) == "--seed=") {
      std::string_view value;
      if (word == kSeedOption) {
        if (i + 1 == argc) {
          return refused("--seed needs a value, " + std::string(kSeedRange));
        }
        value = argv[++i];
      } else {
        value = word.substr(kSeedOption.size() + 1);
        if (value.empty()) return refused("--seed= needs a value, " + std::string(kSeedRange));
      }
      if (seed) {
        return refused("the seed is given twice (" + shown(seed_text) + " and " + shown(value) +
                       "): give it once");
      }
      seed = seed_in(value);
      if (!seed) {
        return refused("the seed must be " + std::string(kSeedRange) +
                       " (decimal digits alone); found " + shown(value));
      }
      seed_text = value;
    } else if (group_size_option == GroupSizeOption::kRequired &&
               is_option(word, kGroupSizeOption)) {
      std::string_view value;
      if (word == kGroupSizeOption) {
        if (i + 1 == argc) {
          return refused("--group-size needs a value, the size of the nominal groups, " +
                         group_size_range());
        }
        value = argv[++i];
      } else {
        value = word.substr(kGroupSizeOption.size() + 1);
      }
      if (group_size) {
        return refused("the group size is given twice (" + shown(group_size_text) + " and " +
                       shown(value) + "): give it once");
      }
      group_size = group_size_in(value);
      if (!group_size) {
        return refused("the group size must be " + group_size_range() +
                       " (decimal digits alone; two full groups of it must fit in a study of at "
                       "most " +
                       std::to_string(2 * kLargestGroupSize) + " participants); found " +
                       shown(value));
      }
      group_size_text = value;
    } else if (!word.empty() && word[0] == '-') {
      return refused("unknown option " + shown(word));
    } else if (data_file) {
      return refused("two data files are named (" + shown_name(*data_file) + " and " +
                     shown_name(word) + "): name one");
    } else {
      data_file = std::string(word);
    }
  }
  CommandLine command;
  command.seed = seed;
  command.export_name = export_name;
  command.data_file = data_file;
  command.group_size = group_size;
  if (help) {
    command.action = CommandLine::Action::kShowHelp;
  } else if (version) {
    command.action = CommandLine::Action::kShowVersion;
  } else if (group_size_option == GroupSizeOption::kRequired && !group_size) {
    return refused("--group-size is required: give the size of the nominal groups, " +
                   group_size_range() + ", such as --group-size 5");
  }
  return command;
}

namespace {

// The help of a program: how it is run (`arguments` after its name), what its groups are, how
// its dialogue is piped in (`piped` after its name), and the options beyond the common ones.
std::string usage(const std::string& name, const std::string& arguments, const std::string& groups,
                  const std::string& piped, const std::string& own_options) {
  return "Usage: " + name + arguments + " [--seed S] [--export NAME] [DATAFILE]\n" + "       " +
         name +
         " --help | --version\n"
         "\n"
         "Forms 10,000 random partitions of a study's participants into nominal " +
         groups +
         ", scores every group, and finds the partition that best represents\n"
         "all 10,000: once by the mean and variance of the groups' numbers correct, once\n"
         "by their distribution.\n"
         "\n"
         "The program asks for the name of the data file, the number of participants (its\n"
         "rows) and the number of items (its columns). The answers may be piped in:\n"
         "  printf 'study.txt\\n30\\n20\\n' | " +
         name + piped +
         "\n"
         "With DATAFILE it asks nothing: the file's lines are the participants and its\n"
         "responses per line the items, and the reports go to the file's folder.\n"
         "\n"
         "The data file holds one response per participant and item, 1 for correct and 0\n"
         "for missed, separated by blanks, tabs or line breaks, participant 1's first; or\n"
         "a table as spreadsheets save it (CSV with commas or semicolons, tab-separated\n"
         "text, UTF-8 or UTF-16), one participant per line, with a line of column names\n"
         "and a first column of participant labels if you like.\n"
         "\n"
         "Each run appends to eight reports, NG-1-...txt to NG-8-...txt, in the working\n"
         "folder (with DATAFILE, the data file's folder).\n"
         "\n"
         "Options:\n" +
         own_options +
         "  --seed S    seed the random partitions with S, a whole number from 0 to\n"
         "              4294967295, instead of the clock's seconds: the same seed and\n"
         "              study give the same reports\n"
         "  --export NAME\n"
         "              also write the run's results as tables, a figure and text:\n"
         "              NAME-distribution.csv, NAME-sets.csv, NAME-groups.csv,\n"
         "              NAME-summary.csv (one row per run: N, M, the seed, the overall\n"
         "              and the exact mean and variance, and each best set's label,\n"
         "              mean, variance and chi-square), the same tables in NAME.xlsx,\n"
         "              the figure as NAME.svg and NAME.pdf, and NAME-methods.txt (a\n"
         "              methods paragraph, the reference and a caption); refused if\n"
         "              any of them exists. The exact values are what the 10,000 sets\n"
         "              estimate, computed over all possible groups: the mean always,\n"
         "              the variance and the distribution (exact_percent) where they\n"
         "              take under a second, else empty fields and a note\n"
         "  --help      show this text and exit\n"
         "  --version   show the program's version and exit\n";
}

}  // namespace

std::string usage_text(const EditionProfile& edition) {
  std::string groups(edition.words.file_groups);
  for (char& c : groups) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return usage(edition.program_name, "",
               groups + "\n(groups of " + std::to_string(edition.group_size) + ")", "", "");
}

std::string groups_usage_text() {
  const std::string largest = std::to_string(kLargestGroupSize);
  return usage(kGroupsProgramName, " --group-size K", "groups\n(groups of K)", " --group-size 5",
               "  --group-size K\n"
               "              required: the size of the nominal groups, a whole number from\n"
               "              2 to " +
                   largest +
                   ", with at least two full groups in the study\n"
                   "              (2K participants or more). Groups of 2, 3 and 4 give exactly\n"
                   "              what Quorvane-Pairs, Quorvane-Triads and Quorvane-Quads give;\n"
                   "              larger groups' reports name their size, such as\n"
                   "              NG-2-10000-Sets-Of-NG-Groups-Of-5.txt\n");
}

std::string version_line(const EditionProfile& edition) {
  return std::string(edition.program_name) + " " + QUORVANE_VERSION;
}

}  // namespace quorvane

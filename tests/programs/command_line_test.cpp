// The words after a program's name, read without running anything.
#include "programs/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "reports/export_files.h"
#include "tests/support/report_parsing.h"

namespace quorvane {
namespace {

using Action = CommandLine::Action;

CommandLine read(const std::vector<const char*>& words) {
  std::vector<const char*> argv{"Quorvane-Triads"};
  argv.insert(argv.end(), words.begin(), words.end());
  return read_command_line(static_cast<int>(argv.size()), argv.data());
}

// The command line is refused, and the error line shows the word that is wrong.
void expect_refused(const std::vector<const char*>& words, const std::string& shown) {
  const CommandLine command = read(words);
  EXPECT_EQ(command.action, Action::kRefuse) << shown;
  EXPECT_NE(command.error.find(shown), std::string::npos) << command.error;
}

// Catches a run without words that is not seeded from the clock.
TEST(CommandLine, NoWordsRunsFromTheClock) {
  const CommandLine command = read({});
  EXPECT_EQ(command.action, Action::kRun);
  EXPECT_FALSE(command.seed.has_value());
}

// Catches a range cut at 2^31 or read in fewer bits, and leading zeros taken as octal or refused.
TEST(CommandLine, SeedTakesEveryUnsignedThirtyTwoBitValueInBothForms) {
  EXPECT_EQ(read({"--seed", "0"}).seed, 0u);
  EXPECT_EQ(read({"--seed", "2147483648"}).seed, 2147483648u);
  EXPECT_EQ(read({"--seed=4294967295"}).seed, 4294967295u);
  EXPECT_EQ(read({"--seed=0010"}).seed, 10u);
  EXPECT_EQ(read({"--seed", "0010"}).action, Action::kRun);
}

// Catches a seed that wraps around instead of being refused.
TEST(CommandLine, SeedAboveTheRangeIsRefused) {
  expect_refused({"--seed", "4294967296"}, "'4294967296'");
  expect_refused({"--seed=18446744073709551617"}, "'18446744073709551617'");
}

// Catches a seed read as formatted input reads numbers: with a sign, blanks or a tail.
TEST(CommandLine, SeedOfAnythingButDigitsIsRefused) {
  expect_refused({"--seed", "-5"}, "'-5'");
  expect_refused({"--seed=+5"}, "'+5'");
  expect_refused({"--seed", "12x"}, "'12x'");
  expect_refused({"--seed", " 5"}, "' 5'");
}

// Catches a missing value taken as 0, or the next word skipped.
TEST(CommandLine, SeedWithoutValueIsRefused) {
  expect_refused({"--seed="}, "--seed");
  expect_refused({"--seed"}, "--seed");
}

// Catches the second seed silently winning or being ignored.
TEST(CommandLine, SeedGivenTwiceIsRefused) {
  expect_refused({"--seed", "1", "--seed=2"}, "'2'");
  expect_refused({"--seed=1", "--seed=1"}, "'1'");
}

// Catches words the programs would otherwise ignore.
TEST(CommandLine, UnknownOptionsAndExtraWordsAreRefused) {
  expect_refused({"--sed", "3"}, "'--sed'");
  expect_refused({"-h"}, "'-h'");
  expect_refused({"--seed", "3", "a.txt", "b.txt"}, "('a.txt' and 'b.txt')");
  expect_refused({"--help", "--seedling"}, "'--seedling'");
}

// Catches a data file lost, taken for an option's value, or kept from the options before it.
TEST(CommandLine, OneWordThatIsNoOptionIsTheDataFile) {
  const struct {
    std::initializer_list<const char*> words;
    const char* data_file;
    std::optional<std::uint32_t> seed;
  } cases[] = {
      {{"study.csv"}, "study.csv", std::nullopt},
      {{"--seed", "7", "C:\\Studies\\my study.csv"}, "C:\\Studies\\my study.csv", 7u},
      {{"/some/folder/study.csv", "--seed=3"}, "/some/folder/study.csv", 3u},
      {{"--export", "x", "\xE7\xA0\x94.txt"}, "\xE7\xA0\x94.txt", std::nullopt},
  };
  for (const auto& c : cases) {
    const CommandLine command = read(c.words);
    EXPECT_EQ(command.action, Action::kRun) << c.data_file;
    EXPECT_EQ(command.data_file, std::optional<std::string>(c.data_file));
    EXPECT_EQ(command.seed, c.seed);
  }
  EXPECT_FALSE(read({"--seed", "7"}).data_file.has_value());
}

// Catches --version or a run taken when help was asked for too.
TEST(CommandLine, HelpWinsOverVersionAndVersionOverARun) {
  EXPECT_EQ(read({"--version", "--help"}).action, Action::kShowHelp);
  EXPECT_EQ(read({"--seed=7", "--version"}).action, Action::kShowVersion);
}

// Catches a usage text of another program, too wide for an 80-column terminal, or silent on a
// file the export writes (which --export refuses to overwrite).
TEST(CommandLine, UsageNamesTheProgramAndFitsEightyColumns) {
  for (const EditionProfile* edition : {&kPairsEdition, &kTriadsEdition, &kQuadsEdition}) {
    const std::string usage = usage_text(*edition);
    for (const std::string& file : export_file_names("NAME")) {
      EXPECT_NE(usage.find(file), std::string::npos) << file;
    }
    const std::string name(edition->program_name);
    EXPECT_EQ(usage.rfind("Usage: " + name + " ", 0), 0u) << usage;
    EXPECT_NE(usage.find("| " + name + "\n"), std::string::npos) << usage;
    EXPECT_EQ(usage.back(), '\n');
    for (const std::string& line : testing::lines_of(usage)) EXPECT_LT(line.size(), 80u) << line;
  }
}

// Catches a group size taken by the editions, a size out of range or not a whole number read as
// one, and Quorvane-Groups run without one or its help without the option.
TEST(CommandLine, GroupSizeIsAWholeNumberFromTwoRequiredByQuorvaneGroups) {
  const auto groups = [](std::vector<const char*> words) {
    words.insert(words.begin(), "Quorvane-Groups");
    return read_command_line(static_cast<int>(words.size()), words.data(),
                             GroupSizeOption::kRequired);
  };
  EXPECT_EQ(groups({"--group-size", "2"}).group_size, 2);
  EXPECT_EQ(groups({"--group-size=5000"}).group_size, 5000);
  EXPECT_EQ(groups({"--seed", "4", "--group-size", "07"}).group_size, 7);
  for (const char* wrong : {"1", "0", "5001", "2.5", "-3", "+5", "5x", "", "99999999999"}) {
    const CommandLine command = groups({"--group-size", wrong});
    EXPECT_EQ(command.action, Action::kRefuse) << wrong;
    EXPECT_NE(command.error.find("from 2 to 5000"), std::string::npos) << command.error;
  }
  EXPECT_NE(groups({}).error.find("--group-size is required"), std::string::npos);
  EXPECT_EQ(groups({"--help"}).action, Action::kShowHelp);
  expect_refused({"--group-size", "3"}, "unknown option '--group-size'");
  const std::string usage = groups_usage_text();
  EXPECT_EQ(usage.rfind("Usage: Quorvane-Groups --group-size K ", 0), 0u) << usage;
  EXPECT_NE(usage.find("required"), std::string::npos) << usage;
  for (const std::string& line : testing::lines_of(usage)) EXPECT_LT(line.size(), 80u) << line;
}

// Catches an export name lost, taken from the next option, or accepted twice or empty.
TEST(CommandLine, ExportTakesOneNameInBothForms) {
  EXPECT_EQ(read({"--export", "out/study1"}).export_name, "out/study1");
  EXPECT_EQ(read({"--seed", "3", "--export=run-a"}).export_name, "run-a");
  EXPECT_EQ(read({"--seed", "3", "--export=run-a"}).seed, 3u);
  EXPECT_FALSE(read({"--seed", "3"}).export_name.has_value());
  expect_refused({"--export"}, "--export needs a name");
  expect_refused({"--export="}, "--export needs a name");
  expect_refused({"--export", "a", "--export=b"}, "('a' and 'b')");
  expect_refused({"--exported=a"}, "unknown option '--exported=a'");
  expect_refused({"--export=a\nb"}, "'a\\x0Ab' holds a control character");
}

TEST(CommandLine, AnExportNameThatCannotStartTheFilesNamesIsRefused) {
  const struct {
    std::vector<const char*> words;
    const char* said;
  } refusals[] = {
      // Catches the next option taken for the export's name.
      {{"--export", "--help"}, "'--help' starts with '-'"},
      {{"--export=-x"}, "'-x' starts with '-'"},
      // Catches a folder taken for the export's name, which would write '.svg' in it.
      {{"--export", "sub/"}, "'sub/' ends with a folder separator"},
      {{"--export=sub\\"}, "ends with a folder separator"},
      // Catches a name of dots alone, which writes hidden files such as '.-sets.csv' or '..svg'.
      {{"--export", "."}, "'.' ends in a folder (. or ..)"},
      {{"--export=.."}, "ends in a folder"},
      {{"--export", "out/.."}, "ends in a folder"},
      {{"--export", "/tmp/."}, "ends in a folder"},
      // Catches a control character in a name let through into a file name.
      {{"--export", "a\tb"}, "holds a control character"},
      {{"--export=a\nb"}, "holds a control character"},
  };
  for (const auto& refusal : refusals) expect_refused(refusal.words, refusal.said);
  // Each form the README advises or a user types stays accepted.
  for (const char* name : {"./-x", "sub/../x", "/tmp/x", "..x", "x."}) {
    EXPECT_EQ(read({"--export", name}).export_name, name);
  }
}

}  // namespace
}  // namespace quorvane

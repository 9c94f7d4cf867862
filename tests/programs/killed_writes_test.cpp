// Real runs killed at each of their writes in turn (strace injects SIGKILL at the n-th write
// call, console and files alike), with an export name of each form the command line accepts;
// each followed by the next run, which must put the folder back and exit 0.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "reports/export_files.h"
#include "storage/report_append.h"
#include "tests/programs/programs_under_test.h"
#include "tests/support/program_process.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using Files = std::map<std::string, std::string>;

constexpr const char* kStrace = "/usr/bin/strace";
constexpr int kMostWrites = 60;  // a run of the small study makes about twenty

struct Folders {
  testing::TempFolder here;  // the working folder, with the data file and the reports
  testing::TempFolder away;  // for an export by an absolute name
};

void prepare(const Folders& folders) {
  for (const testing::TempFolder* folder : {&folders.here, &folders.away}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder->path())) {
      std::filesystem::remove_all(entry.path());
    }
  }
  folders.here.write("study.txt", testing::small_study_text());
  std::filesystem::create_directory(folders.here.file("sub"));
}

// A run of the triads on the study with `seed`, under strace killing it at its n-th write when
// n is not 0.
testing::ProgramResult run(const Folders& folders, const std::string& seed,
                           const std::vector<std::string>& more, int n) {
  std::vector<std::string> words = {"--seed", seed, "study.txt"};
  words.insert(words.begin(), more.begin(), more.end());
  testing::ProgramProcess::Options options;
  if (n == 0) {
    options.arguments = words;
    return testing::run_in(testing::kTriads.path, folders.here.path(), "", options);
  }
  options.arguments = {"-f",
                       "-o",
                       "/dev/null",
                       "-e",
                       "trace=write",
                       "-e",
                       "inject=write:signal=KILL:when=" + std::to_string(n),
                       testing::kTriads.path};
  options.arguments.insert(options.arguments.end(), words.begin(), words.end());
  return testing::run_in(kStrace, folders.here.path(), "", options);
}

// Both folders' files, the data file left out and the export's folder named.
Files both(const Folders& folders) {
  Files files;
  for (const auto& [name, text] : folders.here.snapshot()) {
    if (name != "study.txt") files[name] = text;
  }
  for (const auto& [name, text] : folders.away.snapshot()) files["away/" + name] = text;
  for (const auto& entry : std::filesystem::directory_iterator(folders.here.file("sub"))) {
    files["sub/" + entry.path().filename().string()] = "?";
  }
  return files;
}

bool strace_works() {
  testing::TempFolder folder;
  testing::ProgramProcess::Options options;
  options.arguments = {"-f", "-o", "/dev/null", "/bin/true"};
  return access(kStrace, X_OK) == 0 &&
         testing::run_in(kStrace, folder.path(), "", options).exit_status == 0;
}

TEST(KilledWrites, ARunKilledAtAnyWriteIsPutBackByTheNextRunWhateverItsExportName) {
  if (!strace_works()) GTEST_SKIP() << "strace cannot trace a program here";
  Folders folders;
  // The folder as a finished run leaves it, and as the next run alone leaves it.
  const auto form_of = [&](const std::string& form) {
    return form == "absolute" ? folders.away.file("x") : form;
  };
  for (const std::string form : {"x", "./x", "sub/../x", "absolute"}) {
    SCOPED_TRACE("--export " + form);
    prepare(folders);
    ASSERT_EQ(run(folders, "7", {"--export", form_of(form)}, 0).exit_status, 0);
    ASSERT_EQ(run(folders, "8", {}, 0).exit_status, 0);
    const Files both_runs = both(folders);
    prepare(folders);
    ASSERT_EQ(run(folders, "8", {}, 0).exit_status, 0);
    const Files next_run_alone = both(folders);
    int kills = 0;
    for (int n = 1; n <= kMostWrites; ++n) {
      SCOPED_TRACE("killed at write " + std::to_string(n));
      prepare(folders);
      const testing::ProgramResult killed = run(folders, "7", {"--export", form_of(form)}, n);
      const testing::ProgramResult next = run(folders, "8", {}, 0);
      // Catches a killed run's journal refused (the export named by a path the repair does not
      // take), its sections left in some reports, or its export's files left behind.
      EXPECT_EQ(next.exit_status, 0) << next.err;
      const Files found = both(folders);
      EXPECT_TRUE(found == both_runs || found == next_run_alone)
          << "the folder holds neither both runs nor the next run alone";
      if (killed.exit_status == 0) break;  // fewer writes than n: it was never killed
      ++kills;
    }
    EXPECT_GE(kills, 15) << "the run was killed at too few of its writes to prove anything";
  }
}

}  // namespace
}  // namespace quorvane

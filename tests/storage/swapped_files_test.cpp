// A thread that swaps a report with a symbolic link to a file in another folder, as fast as the
// system allows (renameat2 with RENAME_EXCHANGE, Linux), while appends run in the folder and
// runs killed half-way leave their journals for the next append to repair.
#include <gtest/gtest.h>

#if defined(__linux__)
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/system_file_system.h"
#include "programs/run_driver.h"
#include "storage/report_append.h"
#include "tests/support/editions.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"
#include "tests/support/working_folder.h"

namespace quorvane {
namespace {

using Texts = std::vector<NamedText>;

Texts run_sections() {
  Texts texts;
  for (const NamedText& section :
       testing::sections_of_run(kTriadsEdition, testing::small_study_responses(), 12, 6, 1)) {
    texts.push_back({section.file_name, section.text});
  }
  return texts;
}

// One append, killed at its k-th call when k is not 0; its error, if it failed.
std::string append(const Texts& sections, int k) {
  const auto system = make_system_file_system();
  testing::FaultyFileSystem files(
      *system,
      k > 0 ? testing::FaultyFileSystem::Fault::kKill : testing::FaultyFileSystem::Fault::kNone, k);
  std::string error;
  try {
    if (append_reports(
            files, append_scope(), sections, {}, [](const std::string&) {}, &error)) {
      return "";
    }
  } catch (const testing::FaultyFileSystem::Killed&) {
    return "";
  }
  return error.empty() ? std::string("a failure without a word") : error;
}

TEST(SwappedFiles, AReportSwappedWithALinkNeverLetsTheAppendOrTheRepairChangeAFileElsewhere) {
  // Catches a file checked and then opened, cut back or removed by its name: the swap makes the
  // append write into the thesis, or the repair cut it short (about one run in five before).
  testing::TempFolder here;
  testing::TempFolder away;
  const std::string thesis(10000, 't');
  away.write("thesis.txt", thesis);
  const Texts sections = run_sections();
  for (const NamedText& section : sections) here.write(section.file_name, "earlier runs\n");
  const std::string report = sections[0].file_name;
  ASSERT_EQ(symlink(away.file("thesis.txt").c_str(), here.file("swap").c_str()), 0);

  const int folder = open(here.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(folder, 0);
  std::atomic<bool> stop{false};
  std::atomic<long> swaps{0};
  std::thread swapper([&] {
    while (!stop) {
      if (renameat2(folder, report.c_str(), folder, "swap", RENAME_EXCHANGE) == 0) ++swaps;
    }
  });
  int appends = 0;
  int stopped = 0;  // appends that stopped with a line
  {
    testing::WorkingFolder working(here.path());
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (int k = 1; std::chrono::steady_clock::now() < end; k = k % 40 + 1) {
      // A run killed at its k-th call leaves its journal, which the next append repairs.
      for (const int kill_at : {k, 0}) {
        const std::string error = append(sections, kill_at);
        ++appends;
        if (error.empty()) continue;
        ++stopped;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
      }
      for (const auto& entry : std::filesystem::directory_iterator(here.path())) {
        if (entry.path().filename().string().find("set-aside") != std::string::npos) {
          std::filesystem::remove(entry.path());
        }
      }
    }
  }
  stop = true;
  swapper.join();
  close(folder);
  EXPECT_EQ(away.read("thesis.txt"), thesis) << "a file elsewhere was changed";
  EXPECT_EQ(away.snapshot().size(), 1u) << "a file was made elsewhere";
  EXPECT_GT(swaps.load(), 1000);
  std::cout << "appends " << appends << ", stopped by a swap or a journal it met " << stopped
            << ", swaps " << swaps.load() << '\n';
  RecordProperty("swapped_appends", appends);
}

}  // namespace
}  // namespace quorvane
#endif

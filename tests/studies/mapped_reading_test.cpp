// A data file read as the programs read it, mapped into memory: the pages read are let go of
// piece by piece, so that the file is never resident whole beside the study.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "platform/file_read_stream.h"
#include "platform/system_file_system.h"
#include "studies/study.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

constexpr int kParticipants = 10000;
constexpr int kItems = 600;  // 1,200 bytes a line: 12 MB in all, 200 lines sampled 240 KB

// The bytes of the mapping at `start` resident in this process, from /proc/self/smaps; none where
// the system does not say.
std::optional<std::uint64_t> resident_bytes(const void* start) {
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool ours = false;
  while (std::getline(smaps, line)) {
    std::uint64_t from = 0;
    char dash = 0;
    std::istringstream fields(line);
    if (line.find(':') == std::string::npos || line.find(':') > line.find(' ')) {
      fields >> std::hex >> from >> dash;
      ours = from == reinterpret_cast<std::uintptr_t>(start);
    } else if (ours && line.rfind("Rss:", 0) == 0) {
      std::uint64_t kilobytes = 0;
      std::istringstream(line.substr(4)) >> kilobytes;
      return kilobytes * 1024;
    }
  }
  return std::nullopt;
}

// Catches a pass of the reader over the whole file without a pause (each passed between pauses
// holds the pages it read, so that all of the file's would be resident at once): at each pause
// the mapping holds no more than four pieces (a piece read, the system's read-ahead, and the end
// of one pass with the start of the next), a third of the file.
TEST(MappedReading, NoPassHoldsTheWholeFile) {
  testing::TempFolder folder;
  const std::vector<int> responses = testing::made_up_responses(kParticipants, kItems, 7u);
  folder.write("study.txt", testing::data_file_text(responses, kItems));
  for (const bool typed : {true, false}) {
    std::unique_ptr<FileSystem> files = make_system_file_system();
    FileSystem::FileIdentity identity;
    FileFailure failure;
    std::unique_ptr<std::istream> stream =
        files->open_for_reading(folder.file("study.txt"), &identity, &failure);
    ASSERT_NE(stream, nullptr);
    bool too_large = false;
    std::unique_ptr<FileBytes> file = bytes_of(*stream, kLargestDataFile, &too_large);
    ASSERT_NE(file, nullptr);
    const void* const start = file->bytes().data();
    if (!resident_bytes(start)) GTEST_SKIP() << "the file is not mapped, or smaps says nothing";
    std::uint64_t most = 0;
    int pauses = 0;
    const StudyLoad load = load_study(
        file->bytes(),
        typed ? std::optional<StudyShape>(StudyShape{kParticipants, kItems}) : std::nullopt, [&] {
          most = std::max(most, resident_bytes(start).value_or(0));
          ++pauses;
          file->let_go();
        });
    ASSERT_TRUE(load.loaded()) << load.refusal.message;
    EXPECT_EQ(load.study->responses.participants(), kParticipants);
    EXPECT_GT(pauses, 12);
    EXPECT_LE(most, 4 * kReadingPiece) << (typed ? "typed" : "untyped");
  }
}

}  // namespace
}  // namespace quorvane

// A data file read as the programs read it, mapped into memory: the pages read are let go of
// piece by piece, so that the file is never resident whole beside the study.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "platform/file_read_stream.h"
#include "platform/system_file_system.h"
#include "programs/study_dialogue.h"
#include "studies/study.h"
#include "tests/support/editions.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"
#include "tests/support/working_folder.h"

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

// The bytes of a data file as the programs take them: mapped where the system maps it.
std::unique_ptr<FileBytes> mapped_bytes(FileSystem& files, const std::string& name) {
  FileSystem::FileIdentity identity;
  FileFailure failure;
  std::unique_ptr<std::istream> stream = files.open_for_reading(name, &identity, &failure);
  if (stream == nullptr) return nullptr;
  bool too_large = false;
  return bytes_of(*stream, kLargestDataFile, &too_large);
}

// Catches a pass of the reader over the whole file without a pause (each passed between pauses
// holds the pages it read, so that all of the file's would be resident at once): at each pause,
// and once the reading is over, the mapping holds no more than four pieces (a piece read, the
// system's read-ahead, and the end of one pass with the start of the next), a third of the file.
TEST(MappedReading, NoPassHoldsTheWholeFile) {
  testing::TempFolder folder;
  const std::vector<int> responses = testing::made_up_responses(kParticipants, kItems, 7u);
  folder.write("study.txt", testing::data_file_text(responses, kItems));
  for (const bool typed : {true, false}) {
    std::unique_ptr<FileSystem> files = make_system_file_system();
    std::unique_ptr<FileBytes> file = mapped_bytes(*files, folder.file("study.txt"));
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
    most = std::max(most, resident_bytes(start).value_or(0));  // the last pass, to its end
    ASSERT_TRUE(load.loaded()) << load.refusal.message;
    EXPECT_EQ(load.study->responses.participants(), kParticipants);
    EXPECT_GT(pauses, 12);
    EXPECT_FALSE(file->cut_short());
    EXPECT_LE(most, 4 * kReadingPiece) << (typed ? "typed" : "untyped");
  }
}

// The action on SIGBUS before any file was mapped.
const struct sigaction kBusActionBefore = [] {
  struct sigaction action {};
  ::sigaction(SIGBUS, nullptr, &action);
  return action;
}();

// Catches a crash (SIGBUS) when another program cuts the data file short while it is mapped, a
// cut not told, and the handler of the fault left behind or the mapping never given back (the
// second file would then be read, not mapped): the bytes past the cut read as zeros and say so.
TEST(MappedReading, AFileCutShortWhileReadIsSaidSo) {
  if (!std::ifstream("/proc/self/smaps")) GTEST_SKIP() << "no /proc/self/smaps to tell a mapping";
  testing::TempFolder folder;
  std::unique_ptr<FileSystem> files = make_system_file_system();
  for (const std::size_t cut : {std::size_t{0}, std::size_t{5000}, 3 * kReadingPiece}) {
    folder.write("study.txt", testing::data_file_text(
                                  testing::made_up_responses(kParticipants, kItems, 8u), kItems));
    std::unique_ptr<FileBytes> file = mapped_bytes(*files, folder.file("study.txt"));
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(resident_bytes(file->bytes().data())) << "not mapped: " << cut;
    ASSERT_EQ(::truncate(folder.file("study.txt").c_str(), static_cast<off_t>(cut)), 0);
    const StudyLoad load = load_study(file->bytes(), std::nullopt, [&file] { file->let_go(); });
    EXPECT_TRUE(file->cut_short()) << cut;
    EXPECT_FALSE(load.loaded()) << cut;
    file.reset();
    struct sigaction action {};
    ASSERT_EQ(::sigaction(SIGBUS, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, kBusActionBefore.sa_handler) << cut;
  }
}

// A console input that cuts the data file short once the file's name has been read from it, as
// another program might while the user types the numbers.
class CuttingInput final : public std::streambuf {
 public:
  explicit CuttingInput(std::string file) : file_(std::move(file)) { next(name_); }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (cut_ || ::truncate(file_.c_str(), 100) != 0) return traits_type::eof();
    cut_ = true;
    next(numbers_);
    return traits_type::to_int_type(*gptr());
  }

 private:
  void next(std::string& line) { setg(line.data(), line.data(), line.data() + line.size()); }

  std::string file_;
  bool cut_ = false;
  std::string name_ = "study.txt\n";
  std::string numbers_ = std::to_string(kParticipants) + "\n" + std::to_string(kItems) + "\n";
};

// Catches the cut file's zeros taken for the study, or a refusal of them that blames the file's
// text: the dialogue says the file was cut short, in one error line, and gives no study.
TEST(MappedReading, TheDialogueSaysAFileCutShortWhileTheNumbersAreTyped) {
  testing::TempFolder folder;
  testing::WorkingFolder here(folder.path());
  folder.write("study.txt", testing::data_file_text(
                                testing::made_up_responses(kParticipants, kItems, 9u), kItems));
  CuttingInput input(folder.file("study.txt"));
  std::istream in(&input);
  std::ostringstream out;
  std::ostringstream err;
  std::unique_ptr<FileSystem> files = make_system_file_system();
  const std::optional<Study> study =
      ask_for_study(testing::edition_of(2), Console{in, out, err}, *files);
  EXPECT_FALSE(study.has_value());
  EXPECT_NE(err.str().find("study.txt: cannot read the data file: another program cut it short"),
            std::string::npos)
      << err.str();
}

}  // namespace
}  // namespace quorvane

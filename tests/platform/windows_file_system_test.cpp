// What the Windows file system promises beyond the tests every system runs: the report lock is
// the folder's, names in any letters open, reports are written byte for byte, devices are not
// report files, a report file in use by another program is put back like any failure, and errors
// read as one line.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "editions/edition_profile.h"
#include "platform/failure_words.h"
#include "platform/system_file_system.h"
#include "platform/windows_api.h"
#include "platform/windows_text.h"
#include "programs/run_driver.h"
#include "reports/report_files.h"
#include "simulation/nominal_group_run.h"
#include "storage/report_append.h"
#include "tests/programs/programs_under_test.h"
#include "tests/support/folder_lock.h"
#include "tests/support/program_process.h"
#include "tests/support/studies.h"
#include "tests/support/study_folder.h"
#include "tests/support/temp_folder.h"
#include "tests/support/working_folder.h"

namespace quorvane {
namespace {

// A name in three scripts, in UTF-8 as a pipe or a UTF-8 console gives it.
const std::string kLettersName =
    "donn\xC3\xA9"
    "es-\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1-"
    "\xE6\x95\xB0\xE6\x8D\xAE.txt";

std::filesystem::path path_of(const testing::TempFolder& folder, const std::string& utf8) {
  std::wstring wide;
  FileFailure failure;
  EXPECT_TRUE(wide_name(utf8, &wide, &failure)) << failure.reason;
  return std::filesystem::path(folder.path()) / wide;
}

// Catches a lock taken without waiting, or a wait not said: another run holding the folder's
// lock (here a thread of its own) keeps begin_append waiting, said once, until it lets go.
TEST(WindowsAppend, ALockHeldElsewhereMakesTheAppendWaitAndSaySoOnce) {
  testing::TempFolder folder;
  testing::WorkingFolder here(folder.path());
  auto lock = std::make_unique<testing::FolderLock>(folder.path());
  std::atomic<int> notes{0};
  std::atomic<bool> locked{false};
  FileFailure failure;
  std::thread run([&] {
    const auto files = make_system_file_system();
    const bool began = files->begin_append([&] { ++notes; }, &failure);
    locked = began;
    if (began) files->end_append();
  });
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (notes == 0 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(locked) << "the append took a lock held by another run";
  lock->release();
  run.join();
  EXPECT_TRUE(locked) << failure.reason;
  EXPECT_EQ(notes, 1);
  EXPECT_TRUE(testing::folder_lock_is_free(folder.path())) << "end_append kept the lock";
}

// Catches a lock named for something else than the folder (one lock for every folder, or one
// per program): a run in another folder does not wait.
TEST(WindowsAppend, TheLockOfOneFolderDoesNotHoldAnother) {
  testing::TempFolder held;
  testing::TempFolder free;
  testing::FolderLock lock(held.path());
  testing::WorkingFolder here(free.path());
  const auto files = make_system_file_system();
  FileFailure failure;
  ASSERT_TRUE(files->begin_append([] { ADD_FAILURE() << "waited"; }, &failure)) << failure.reason;
  files->end_append();
}

// Catches the narrow (code-page) calls, which cannot name most letters: a data file named in
// Latin, Greek and Chinese letters opens, through the file system and through a whole run.
TEST(WindowsNames, ADataFileNamedInAnyLettersOpens) {
  testing::TempFolder folder;
  const std::string study = testing::small_study_text();
  std::ofstream(path_of(folder, kLettersName), std::ios::binary) << study;
  {
    testing::WorkingFolder here(folder.path());
    FileFailure failure;
    FileSystem::FileIdentity identity;
    const auto data =
        make_system_file_system()->open_for_reading(kLettersName, &identity, &failure);
    ASSERT_NE(data, nullptr) << failure.reason;
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(*data), {}), study);
  }
  const testing::ProgramResult result =
      testing::run_in(testing::kTriads.path, folder.path(), kLettersName + "\n12\n6\n");
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
}

// Catches text-mode writing, which would turn each line feed into CR LF and make the noted
// sizes wrong for putting a file back: the bytes written are the bytes in the file.
TEST(WindowsFiles, ReportsAreWrittenByteForByte) {
  testing::TempFolder folder;
  testing::WorkingFolder here(folder.path());
  const auto files = make_system_file_system();
  const std::string text = "\nline one\nline two\r\n\n";
  FileFailure failure;
  int handle = -1;
  std::uint64_t size = 1;
  ASSERT_TRUE(files->open_for_append("report.txt", true, &handle, &size, &failure))
      << failure.reason;
  EXPECT_EQ(size, 0u);
  std::size_t written = 0;
  ASSERT_TRUE(files->write_some(handle, text.data(), text.size(), &written, &failure))
      << failure.reason;
  EXPECT_EQ(written, text.size());
  ASSERT_TRUE(files->close(handle, &failure)) << failure.reason;
  EXPECT_EQ(folder.read("report.txt"), text);
  ASSERT_TRUE(files->open_for_append("report.txt", false, &handle, &size, &failure))
      << failure.reason;
  EXPECT_EQ(size, text.size());
  EXPECT_TRUE(files->close(handle, &failure)) << failure.reason;
  std::string bytes;
  ASSERT_TRUE(files->read_at("report.txt", 1, 8, &bytes, &failure)) << failure.reason;
  EXPECT_EQ(bytes, text.substr(1, 8));
}

// Catches appending to a device: NUL would swallow a report, CON would print it.
TEST(WindowsFiles, ADeviceIsNotAReportFile) {
  testing::TempFolder folder;
  testing::WorkingFolder here(folder.path());
  const auto files = make_system_file_system();
  for (const char* device : {"NUL", "CON"}) {
    SCOPED_TRACE(device);
    FileFailure failure;
    int handle = -1;
    std::uint64_t size = 0;
    EXPECT_FALSE(files->open_for_append(device, false, &handle, &size, &failure));
    FileSystem::FileIdentity identity;
    EXPECT_EQ(files->open_for_reading(device, &identity, &failure), nullptr);
    // CON without a console (under Wine) is an invalid handle rather than a device.
    if (std::string(device) == "NUL") {
      EXPECT_EQ(failure.code, FileFailure::Code::kNotPlainFile) << failure.reason;
    }
    FileSystem::FileState state;
    ASSERT_TRUE(files->inspect(device, &state, &failure)) << failure.reason;
    EXPECT_FALSE(state.regular);
  }
}

// Catches a file on Windows' own grounds left half-written: a report file that another program
// holds open without sharing (as a spreadsheet may) stops the append before anything is written,
// and the line says which file is in use.
TEST(WindowsFiles, AReportFileHeldByAnotherProgramStopsTheAppendAndChangesNothing) {
  testing::TempFolder folder;
  std::vector<AppendedText> sections;
  for (const NamedText& section :
       testing::sections_of_run(kTriadsEdition, testing::small_study_responses(), 12, 6, 1)) {
    sections.push_back({section.file_name, section.text});
  }
  for (std::size_t i = 0; i < sections.size(); i += 2) {
    folder.write(sections[i].file_name, testing::earlier_runs_text(sections[i].file_name));
  }
  const std::string& held_name = sections[4].file_name;
  const auto before = folder.snapshot();
  std::wstring held_path;
  FileFailure failure;
  ASSERT_TRUE(wide_name(folder.file(held_name), &held_path, &failure)) << failure.reason;
  const HANDLE held = CreateFileW(held_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string error;
  {
    testing::WorkingFolder here(folder.path());
    const auto files = make_system_file_system();
    EXPECT_FALSE(append_reports(
        *files, append_scope(), sections, {}, [](const std::string&) {}, &error));
  }
  CloseHandle(held);
  EXPECT_EQ(error, held_name +
                       ": cannot check the report file: the file is in use by another program; "
                       "no report file was changed");
  EXPECT_TRUE(folder.snapshot() == before) << "a file was changed, created or lost";
}

// Catches an error a user meets worded otherwise than on POSIX systems (the README lists them
// once for both), or a code lost, which the programs act on.
TEST(WindowsErrors, TheCommonErrorsHaveTheirCodesAndPosixWords) {
  using Code = FileFailure::Code;
  const struct {
    unsigned long error;
    Code code;
    const char* words;
  } mappings[] = {
      {ERROR_FILE_NOT_FOUND, Code::kNotFound, "No such file or directory"},
      {ERROR_PATH_NOT_FOUND, Code::kNotFound, "No such file or directory"},
      {ERROR_INVALID_DRIVE, Code::kNotFound, "No such file or directory"},
      {ERROR_BAD_NETPATH, Code::kNotFound, "No such file or directory"},
      {ERROR_ACCESS_DENIED, Code::kDenied, "Permission denied"},
      {ERROR_WRITE_PROTECT, Code::kDenied, "Permission denied"},
      {ERROR_SHARING_VIOLATION, Code::kInUse, "the file is in use by another program"},
      {ERROR_LOCK_VIOLATION, Code::kInUse, "the file is in use by another program"},
      {ERROR_DISK_FULL, Code::kNoSpace, "No space left on device"},
      {ERROR_HANDLE_DISK_FULL, Code::kNoSpace, "No space left on device"},
      {ERROR_FILE_EXISTS, Code::kExists, "File exists"},
      {ERROR_ALREADY_EXISTS, Code::kExists, "File exists"},
      {ERROR_BAD_DEV_TYPE, Code::kNotPlainFile, "not a plain file (a pipe, device or socket)"},
      {ERROR_INVALID_NAME, Code::kBadName, nullptr},
      {ERROR_BAD_PATHNAME, Code::kBadName, nullptr},
      {ERROR_FILENAME_EXCED_RANGE, Code::kBadName, nullptr},
      {ERROR_NOT_ENOUGH_MEMORY, Code::kOther, nullptr},
      {ERROR_NOT_READY, Code::kOther, nullptr},
  };
  for (const auto& mapping : mappings) {
    SCOPED_TRACE(mapping.error);
    const FileFailure failure = windows_failure(mapping.error);
    EXPECT_EQ(failure.code, mapping.code);
    EXPECT_EQ(failure_words(failure), mapping.words != nullptr ? mapping.words : failure.reason);
  }
}

// Catches the system's messages passed on as they come: several lines, a final full stop.
TEST(WindowsErrors, AReasonIsOneLineWithoutAFullStop) {
  for (const unsigned long error :
       {8ul /* not enough memory */, 21ul /* device not ready */, 0xDEADul /* no message */}) {
    const std::string text = windows_message(error);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), '.') << text;
  }
}

}  // namespace
}  // namespace quorvane

// The system's file system by handle, as the append and its repair use it: a file is removed
// only while its name still leads to the file checked, a link is never opened as the file, and
// a file is read and cut back through its handle.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "platform/system_file_system.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using State = FileSystem::FileState;

// What is at the name when the removal comes, after the file was checked.
enum class AtTheName { kTheFileChecked, kAnotherFile, kALinkToTheFile };

TEST(FileHandles, AFileIsRemovedOnlyWhileItsNameLeadsToTheFileChecked) {
  const struct {
    const char* what;
    AtTheName at_the_name;
    bool removed;
  } cases[] = {
    {"the file checked", AtTheName::kTheFileChecked, true},
    // Catches a removal by name that takes whatever file took the name after the check.
    {"another file moved in", AtTheName::kAnotherFile, false},
#if !defined(_WIN32)
    // Catches a link removed in the file's stead, or the file it leads to.
    {"a link to the file", AtTheName::kALinkToTheFile, false},
#endif
  };
  for (const auto& one : cases) {
    SCOPED_TRACE(one.what);
    testing::TempFolder folder;
    folder.write("report.txt", "the run's");
    const auto files = make_system_file_system();
    int handle = -1;
    FileSystem::FileIdentity folder_identity;
    FileFailure failure;
    ASSERT_TRUE(files->open_folder(folder.path(), &handle, &folder_identity, &failure))
        << failure.reason;
    State checked;
    ASSERT_TRUE(files->inspect_at(handle, "report.txt", &checked, &failure)) << failure.reason;
    if (one.at_the_name == AtTheName::kAnotherFile) {
      folder.write("other.txt", "the user's");
      std::filesystem::rename(folder.file("other.txt"), folder.file("report.txt"));
    } else if (one.at_the_name == AtTheName::kALinkToTheFile) {
      std::filesystem::rename(folder.file("report.txt"), folder.file("moved.txt"));
      std::filesystem::create_symlink(folder.file("moved.txt"), folder.file("report.txt"));
    }
    const bool removed = files->remove_at(handle, "report.txt", checked.identity, &failure);
    EXPECT_EQ(removed, one.removed) << failure.reason;
    EXPECT_EQ(std::filesystem::exists(folder.file("report.txt")), !one.removed);
    if (!removed) {
      EXPECT_EQ(failure.code, FileFailure::Code::kReplaced) << failure.reason;
      if (one.at_the_name == AtTheName::kAnotherFile) {
        EXPECT_EQ(folder.read("report.txt"), "the user's");
      } else {
        EXPECT_TRUE(std::filesystem::is_symlink(folder.file("report.txt")));
        EXPECT_EQ(folder.read("moved.txt"), "the run's");
      }
    }
    // Nothing else left in the folder (no file under a private name).
    EXPECT_EQ(folder.snapshot().size(), one.at_the_name == AtTheName::kTheFileChecked
                                            ? 0u
                                            : 1u + (one.at_the_name == AtTheName::kALinkToTheFile));
    files->close_folder(handle);
  }
}

TEST(FileHandles, AFileIsReadAndCutBackThroughItsHandleAndALinkIsNotOpened) {
  testing::TempFolder folder;
  folder.write("report.txt", "earlier\nthe run's");
  const auto files = make_system_file_system();
  int handle = -1;
  FileSystem::FileIdentity identity;
  FileFailure failure;
  ASSERT_TRUE(files->open_folder(folder.path(), &handle, &identity, &failure)) << failure.reason;
  int file = -1;
  State state;
  ASSERT_TRUE(
      files->open_at(handle, "report.txt", FileSystem::OpenAt::kRepair, &file, &state, &failure))
      << failure.reason;
  EXPECT_EQ(state.size, 17u);
  std::string bytes;
  ASSERT_TRUE(files->read_handle(file, 8, 100, &bytes, &failure)) << failure.reason;
  EXPECT_EQ(bytes, "the run's");
  // Catches a cut made by name, or to another size.
  ASSERT_TRUE(files->truncate_handle(file, 8, &failure)) << failure.reason;
  EXPECT_TRUE(files->close(file, &failure));
  EXPECT_EQ(folder.read("report.txt"), "earlier\n");
  // Catches a name with a folder in it reaching outside the folder.
  EXPECT_FALSE(
      files->open_at(handle, "../report.txt", FileSystem::OpenAt::kRead, &file, &state, &failure));
  EXPECT_EQ(failure.code, FileFailure::Code::kBadName);
#if !defined(_WIN32)
  // Catches a link followed to the file it leads to.
  std::filesystem::create_symlink(folder.file("report.txt"), folder.file("link.txt"));
  EXPECT_FALSE(
      files->open_at(handle, "link.txt", FileSystem::OpenAt::kAppend, &file, &state, &failure));
  EXPECT_EQ(failure.code, FileFailure::Code::kLink) << failure.reason;
  // Catches what opens without being a file taken for one: a report's name may lead to a folder
  // or a pipe, and reading it would hang or fail half way.
  std::filesystem::create_directory(folder.file("folder.txt"));
  ASSERT_EQ(::mkfifo(folder.file("pipe.txt").c_str(), 0600), 0);
  for (const char* name : {"folder.txt", "pipe.txt"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(files->open_at(handle, name, FileSystem::OpenAt::kRead, &file, &state, &failure));
    EXPECT_EQ(failure.code, FileFailure::Code::kNotPlainFile) << failure.reason;
  }
#endif
  files->close_folder(handle);
}

}  // namespace
}  // namespace quorvane

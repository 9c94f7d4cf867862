#include "programs/export_check.h"

#include "platform/failure_words.h"
#include "reports/export_files.h"
#include "storage/report_append.h"

namespace quorvane {
namespace {

constexpr const char* kChooseAnother =
    "; choose a folder you can write to (or fix its permissions) and run again";

// An opened folder, closed when this goes.
class OpenFolder {
 public:
  explicit OpenFolder(FileSystem& files) : files_(files) {}
  ~OpenFolder() {
    if (handle >= 0) files_.close_folder(handle);
  }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  int handle = -1;

 private:
  FileSystem& files_;
};

bool export_can_be_written(FileSystem& files, const std::string& export_name, std::string* error) {
  const PlacedName placed = placed_name(export_name);
  const std::string& folder = placed.folder;
  FileSystem::FileState state;
  FileFailure failure;
  if (!folder.empty()) {
    const std::string shown = folder.substr(0, folder.size() - 1);
    if (!files.inspect(shown.empty() ? folder : shown, &state, &failure)) {
      *error = folder + ": cannot check the export's folder: " + failure_words(failure) +
               kNothingChanged;
      return false;
    }
    if (!state.folder) {
      *error = folder + ": " +
               (state.exists ? "the export's folder is not a folder"
                             : "the export's folder does not exist") +
               "; create it or choose another export name, and run again" + kNothingChanged;
      return false;
    }
  }
  const std::string where = folder.empty() ? std::string("the working folder") : folder;
  OpenFolder opened(files);
  FileSystem::FileIdentity identity;
  if (!files.open_folder(folder.empty() ? "." : folder, &opened.handle, &identity, &failure)) {
    *error =
        where + ": cannot check the export's folder: " + failure_words(failure) + kNothingChanged;
    return false;
  }
  const auto names = export_file_names(export_name);
  for (const std::string& name : names) {
    if (!files.inspect_at(opened.handle, placed_name(name).name, &state, &failure)) {
      *error = name + ": cannot check the export file: " + failure_words(failure) + kNothingChanged;
      return false;
    }
    if (state.exists || state.symbolic_link) {
      *error = name + ": " + kExportFileExists + kNothingChanged;
      return false;
    }
  }
  if (!files.folder_takes_new_files(opened.handle, &failure)) {
    *error = where + ": cannot write the export's files there: " + failure_words(failure) +
             kChooseAnother + kNothingChanged;
    return false;
  }
  return true;
}

}  // namespace

bool run_can_be_written(FileSystem& files, const std::optional<std::string>& export_name,
                        std::string* error) {
  OpenFolder working(files);
  FileSystem::FileIdentity identity;
  FileFailure failure;
  if (!files.open_folder(".", &working.handle, &identity, &failure) ||
      !files.folder_takes_new_files(working.handle, &failure)) {
    *error = "the working folder: cannot write the reports there: " + failure_words(failure) +
             kChooseAnother + kNothingChanged;
    return false;
  }
  return !export_name || export_can_be_written(files, *export_name, error);
}

}  // namespace quorvane

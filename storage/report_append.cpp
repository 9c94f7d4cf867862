#include "storage/report_append.h"

#include <algorithm>
#include <vector>

#include "platform/failure_words.h"
#include "storage/append_journal.h"

namespace quorvane {
namespace {

// One all-or-nothing append, step by step. Each step stops at the first failure and remembers
// which file failed and why. Every file is reached from a folder's handle by its plain name,
// never through a symbolic link, and is written or put back only through a handle whose file
// is the one checked.
class Append {
 public:
  Append(FileSystem& files, int folder, const std::vector<NamedText>& sections,
         const std::vector<NamedText>& new_files)
      : files_(files), folder_(folder) {
    for (const NamedText& section : sections) {
      targets_.push_back({&section, false, section.file_name});
    }
    for (const NamedText& file : new_files) {
      const PlacedName placed = placed_name(file.file_name);
      export_folder_ = placed.folder.empty() ? "." : placed.folder;
      targets_.push_back({&file, true, placed.name});
    }
  }
  Append(const Append&) = delete;
  Append& operator=(const Append&) = delete;
  ~Append() {
    if (export_handle_ >= 0) files_.close_folder(export_handle_);
  }

  // The export's folder, opened once: every file of the export is made there.
  bool open_export_folder() {
    if (export_folder_.empty()) return true;
    FileFailure failure;
    if (!files_.open_folder(export_folder_, &export_handle_, &export_identity_, &failure)) {
      reason_ = "cannot open the export's folder: " + failure_words(failure);
      return fail(targets_.size() - 1);
    }
    return true;
  }

  // Every report name must be free or a plain file of its own, and every new file's name free,
  // before anything is opened.
  bool inspect() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      Target& target = targets_[i];
      FileSystem::FileState state;
      FileFailure failure;
      if (!files_.inspect_at(folder_of(i), target.base, &state, &failure)) {
        reason_ = "cannot check the " + kind(i) + ": " + failure_words(failure);
        return fail(i);
      }
      if (target.must_be_new && (state.exists || state.symbolic_link)) {
        reason_ = kExportFileExists;
        return fail(i);
      }
      if (state.dangling_link) {
        reason_ =
            "this report name is a symbolic link to a missing file; remove the link or create "
            "the file it points to, and run again";
        return fail(i);
      }
      if (state.exists && !state.regular) {
        reason_ =
            "this report name is taken by something that is not a plain file (a folder or "
            "device); move it out of the working folder and run again";
        return fail(i);
      }
      if (state.symbolic_link || state.links > 1) {
        reason_ = std::string(state.symbolic_link ? "this report name is a symbolic link"
                                                  : "this report file has another name (a hard "
                                                    "link), perhaps in another folder") +
                  ", and a run writes only to report files of its own folder, so that putting "
                  "back a stopped run never cuts another folder's lines; put a copy of the file "
                  "in its place, and keep a shared record by collecting the lines of each "
                  "folder's file 7 with a script";
        return fail(i);
      }
      target.created = !state.exists;
      if (!target.created && !recognise_end(i, state.identity)) return fail(i);
    }
    return true;
  }

  // What the journal must know to put every file back, and to recognise the files and this
  // append's text in them.
  Journal journal() const {
    Journal journal;
    if (export_handle_ >= 0) {
      journal.export_folder = export_folder_;
      journal.export_folder_identity = export_identity_;
    }
    for (const Target& target : targets_) {
      const std::string& text = target.text->text;
      JournalEntry entry;
      entry.file_name = target.base;
      entry.exported = target.must_be_new;
      entry.created = target.created;
      if (!target.created) {
        entry.size = target.size;
        entry.identity = target.identity;
        entry.before_checksum = target.before_checksum;
      }
      entry.length = text.size();
      entry.first_bytes = text.substr(0, kRecognisedBytes);
      entry.blocks = block_checksums(text, entry.size);
      journal.entries.push_back(entry);
    }
    return journal;
  }

  bool open() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      Target& target = targets_[i];
      FileSystem::FileState state;
      FileFailure failure;
      const auto how = target.created ? FileSystem::OpenAt::kCreate : FileSystem::OpenAt::kAppend;
      if (!files_.open_at(folder_of(i), target.base, how, &target.handle, &state, &failure)) {
        reason_ = failure_words(failure);
        return fail(i);
      }
      target.opened = true;
      if (target.created) {
        target.identity = state.identity;
      } else if (state.identity != target.identity || state.size != target.size) {
        // Replaced or written to since it was checked: not this append's to write.
        FileFailure ignored;
        files_.close(target.handle, &ignored);
        target.handle = -1;
        target.opened = false;
        reason_ = failure_words({FileFailure::Code::kReplaced, ""});
        return fail(i);
      }
    }
    return true;
  }

  bool write() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      FileFailure failure;
      std::size_t written = 0;
      if (!write_whole(files_, targets_[i].handle, targets_[i].text->text, &written, &failure)) {
        reason_ = failure_words(failure);
        return fail(i);
      }
    }
    return true;
  }

  bool close() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      const int handle = targets_[i].handle;
      targets_[i].handle = -1;
      FileFailure failure;
      if (!files_.close(handle, &failure)) {
        reason_ = failure_words(failure);
        return fail(i);
      }
    }
    return true;
  }

  // The failure of a step that wrote or may have written.
  std::string failure() const {
    return name(failed_) +
           (targets_[failed_].must_be_new ? ": cannot write the export file: "
                                          : ": cannot write the report: ") +
           reason_;
  }

  // Puts every file this append opened back as it was and, when they all are, removes the
  // journal; returns `message` with what could not be put back. A file left over keeps the
  // journal, so that the next run tries again. A file that holds more than this append wrote
  // (another program wrote to it meanwhile), or that is no longer the file it wrote to, is left
  // as it is and named.
  std::string roll_back(const std::string& message) {
    std::string unrestored;
    bool changed = false;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      Target& target = targets_[i];
      if (!target.opened) continue;
      FileFailure failure;
      if (target.handle >= 0) files_.close(target.handle, &failure);
      target.handle = -1;
      int handle = -1;
      FileSystem::FileState state;
      if (!files_.open_at(folder_of(i), target.base, FileSystem::OpenAt::kRepair, &handle, &state,
                          &failure)) {
        if (failure.code == FileFailure::Code::kNotFound && target.created) continue;
        unrestored += "; " + name(i) + " could not be restored: " + failure_words(failure);
        continue;
      }
      if (state.identity != target.identity || !holds_only_own_text(i, handle, state.size)) {
        files_.close(handle, &failure);
        unrestored += "; " + name(i) +
                      " was left as it is, as another program wrote to it at the same time: look "
                      "at its end and take out this run's section cut short";
        changed = true;
        continue;
      }
      bool restored;
      if (target.created) {
        files_.close(handle, &failure);
        restored = files_.remove_at(folder_of(i), target.base, target.identity, &failure);
      } else {
        restored = files_.truncate_handle(handle, target.size, &failure);
        FileFailure ignored;
        files_.close(handle, &ignored);
      }
      if (!restored) {
        unrestored += "; " + name(i) + " could not be restored: " + failure_words(failure);
      }
    }
    if (!unrestored.empty() && !changed) {
      return message + unrestored + "; the next run in this folder will try again to put them back";
    }
    // Should this fail, the journal matches the files, and the next run says so.
    std::string ignored;
    remove_journal(files_, &ignored);
    return message + (changed ? unrestored : std::string(kNothingChanged));
  }

  // The failure of a step taken before any file was opened.
  std::string refusal() const { return name(failed_) + ": " + reason_ + kNothingChanged; }

 private:
  struct Target {
    const NamedText* text;
    bool must_be_new;  // a file of the export, which the append creates
    std::string base;  // its name in its folder
    bool created = false;
    bool opened = false;
    int handle = -1;
    std::uint64_t size = 0;
    FileSystem::FileIdentity identity{};
    std::uint64_t before_checksum = 0;
  };

  const std::string& name(std::size_t i) const { return targets_[i].text->file_name; }
  int folder_of(std::size_t i) const { return targets_[i].must_be_new ? export_handle_ : folder_; }

  // Reads how the kept file ends now, through a handle on the file inspected: what tells the
  // next run the file is the same.
  bool recognise_end(std::size_t i, const FileSystem::FileIdentity& inspected) {
    Target& target = targets_[i];
    FileSystem::FileState state;
    FileFailure failure;
    int handle = -1;
    if (!files_.open_at(folder_, target.base, FileSystem::OpenAt::kRead, &handle, &state,
                        &failure)) {
      reason_ = "cannot check the " + kind(i) + ": " + failure_words(failure);
      return false;
    }
    target.size = state.size;
    target.identity = state.identity;
    const std::uint64_t before = std::min<std::uint64_t>(target.size, kRecognisedBytes);
    std::string bytes;
    const bool read = files_.read_handle(handle, target.size - before,
                                         static_cast<std::size_t>(before), &bytes, &failure);
    FileFailure ignored;
    files_.close(handle, &ignored);
    if (!read) {
      reason_ = "cannot check the " + kind(i) + ": " + failure_words(failure);
      return false;
    }
    if (state.identity != inspected || bytes.size() != before) {
      reason_ =
          "cannot check the " + kind(i) + ": " + failure_words({FileFailure::Code::kReplaced, ""});
      return false;
    }
    target.before_checksum = text_checksum(bytes);
    return true;
  }

  // Whether the file holds, after what it held when opened, nothing but a start of this
  // append's text (or cannot be read, in which case putting it back is still tried).
  bool holds_only_own_text(std::size_t i, int handle, std::uint64_t size) {
    const Target& target = targets_[i];
    const std::string& text = target.text->text;
    if (size < target.size || size - target.size > text.size()) return false;
    std::string bytes;
    FileFailure failure;
    const auto added = static_cast<std::size_t>(size - target.size);
    if (!files_.read_handle(handle, target.size, added, &bytes, &failure)) return true;
    return text.compare(0, added, bytes) == 0;
  }
  std::string kind(std::size_t i) const {
    return targets_[i].must_be_new ? "export file" : "report file";
  }
  bool fail(std::size_t i) {
    failed_ = i;
    return false;
  }

  FileSystem& files_;
  int folder_;  // the working folder
  std::string export_folder_;
  int export_handle_ = -1;
  FileSystem::FileIdentity export_identity_;
  std::vector<Target> targets_;
  std::string reason_;
  std::size_t failed_ = 0;
};

// The append proper. The journal is written before the first report is touched and removed
// after the last is closed, so that a run that stops at any instant in between (killed, or the
// machine's power cut while the file system keeps the order of writes) leaves the next run what
// it needs to put every report back.
bool append_in_folder(FileSystem& files, int folder, const AppendScope& scope,
                      const std::vector<NamedText>& sections,
                      const std::vector<NamedText>& new_files, const AppendNote& note,
                      std::string* error) {
  if (!repair_stopped_append(files, folder, scope, note, error)) return false;
  Append append(files, folder, sections, new_files);
  if (!append.open_export_folder() || !append.inspect()) {
    *error = append.refusal();
    return false;
  }
  if (!write_journal(files, folder, append.journal(), error)) {
    *error += kNothingChanged;
    return false;
  }
  if (!(append.open() && append.write() && append.close())) {
    *error = append.roll_back(append.failure());
    return false;
  }
  std::string journal_error;
  if (remove_journal(files, &journal_error)) return true;
  // A journal left behind would make the next run take this run's sections out again.
  *error = append.roll_back(journal_error);
  return false;
}

bool append_under_lock(FileSystem& files, const AppendScope& scope,
                       const std::vector<NamedText>& sections,
                       const std::vector<NamedText>& new_files, const AppendNote& note,
                       std::string* error) {
  int folder = -1;
  FileSystem::FileIdentity identity;
  FileFailure failure;
  if (!files.open_folder(".", &folder, &identity, &failure)) {
    *error = "cannot open the working folder for writing the reports: " + failure_words(failure) +
             kNothingChanged;
    return false;
  }
  const bool ok = append_in_folder(files, folder, scope, sections, new_files, note, error);
  files.close_folder(folder);
  return ok;
}

}  // namespace

PlacedName placed_name(const std::string& path) {
#if defined(_WIN32)
  const std::size_t separator = path.find_last_of("/\\");
#else
  const std::size_t separator = path.rfind('/');
#endif
  if (separator == std::string::npos) return {"", path};
  return {path.substr(0, separator + 1), path.substr(separator + 1)};
}

std::vector<std::string> AppendScope::edition_holding(const std::string& name) const {
  for (const std::vector<std::string>& names : editions) {
    if (std::find(names.begin(), names.end(), name) != names.end()) return names;
  }
  if (edition_of) {
    std::vector<std::string> names = edition_of(name);
    if (std::find(names.begin(), names.end(), name) != names.end()) return names;
  }
  return {};
}

bool append_reports(FileSystem& files, const AppendScope& scope,
                    const std::vector<NamedText>& sections, const std::vector<NamedText>& new_files,
                    const AppendNote& note, std::string* error) {
  FileFailure failure;
  const auto waiting = [&note] {
    note("another run is writing its reports in this folder; waiting for it to finish");
  };
  if (!files.begin_append(waiting, &failure)) {
    *error = "cannot lock the working folder for writing the reports: " + failure_words(failure) +
             kNothingChanged;
    return false;
  }
  const bool ok = append_under_lock(files, scope, sections, new_files, note, error);
  files.end_append();
  return ok;
}

}  // namespace quorvane

#include "reports/report_append.h"

#include <vector>

#include "reports/append_journal.h"

namespace quorvane {
namespace {

constexpr const char* kNothingChanged = "; no report file was changed";

// One all-or-nothing append, step by step. Each step stops at the first failure and remembers
// which file failed and why.
class Append {
 public:
  Append(FileSystem& files, const ReportSections& sections,
         const std::vector<ReportSection>& new_files)
      : files_(files) {
    for (const ReportSection& section : sections) targets_.push_back({&section, false});
    for (const ReportSection& section : new_files) targets_.push_back({&section, true});
  }

  // Every report name must be free or a plain file, and every new file's name free, before
  // anything is opened.
  bool inspect() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      FileSystem::FileState state;
      std::string reason;
      if (!files_.inspect(name(i), &state, &reason)) {
        reason_ = "cannot check the " + kind(i) + ": " + reason;
        return fail(i);
      }
      if (targets_[i].must_be_new && (state.exists || state.dangling_link)) {
        reason_ = kExportFileExists;
        return fail(i);
      }
      if (state.exists && !state.regular) {
        reason_ =
            "this report name is taken by something that is not a plain file (a folder or "
            "device); move it out of the working folder and run again";
        return fail(i);
      }
      if (state.dangling_link) {
        reason_ =
            "this report name is a symbolic link to a missing file; remove the link or create "
            "the file it points to, and run again";
        return fail(i);
      }
      targets_[i].created = !state.exists;
      targets_[i].size = state.size;
    }
    return true;
  }

  // What the journal must know to put every file back: the sizes and creations inspect found.
  std::vector<JournalEntry> journal() const {
    std::vector<JournalEntry> entries;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      entries.push_back({name(i), targets_[i].created ? 0 : targets_[i].size, targets_[i].created});
    }
    return entries;
  }

  bool open() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      Target& target = targets_[i];
      if (!files_.open_for_append(name(i), target.created, &target.handle, &target.size,
                                  &reason_)) {
        return fail(i);
      }
      target.opened = true;
    }
    return true;
  }

  // Writes each section whole, however many writes it takes.
  bool write() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      const std::string& text = targets_[i].section->text;
      std::size_t done = 0;
      while (done < text.size()) {
        std::size_t written = 0;
        if (!files_.write_some(targets_[i].handle, text.data() + done, text.size() - done, &written,
                               &reason_)) {
          return fail(i);
        }
        if (written == 0) {
          reason_ = "the system accepted no more bytes";
          return fail(i);
        }
        done += written;
      }
    }
    return true;
  }

  bool close() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      const int handle = targets_[i].handle;
      targets_[i].handle = -1;
      if (!files_.close(handle, &reason_)) return fail(i);
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
  // journal, so that the next run tries again.
  std::string roll_back(const std::string& message) {
    std::string unrestored;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      Target& target = targets_[i];
      if (!target.opened) continue;
      std::string reason;
      if (target.handle >= 0) files_.close(target.handle, &reason);
      const bool restored = target.created ? files_.remove(name(i), &reason)
                                           : files_.truncate(name(i), target.size, &reason);
      if (!restored) unrestored += "; " + name(i) + " could not be restored: " + reason;
    }
    if (!unrestored.empty()) {
      return message + unrestored + "; the next run in this folder will try again to put them back";
    }
    // Should this fail, the journal matches the files, and the next run says so.
    std::string ignored;
    remove_journal(files_, &ignored);
    return message + kNothingChanged;
  }

  // The failure of a step taken before any file was opened.
  std::string refusal() const { return name(failed_) + ": " + reason_ + kNothingChanged; }

 private:
  struct Target {
    const ReportSection* section;
    bool must_be_new;  // a file of the export, which the append creates
    bool created = false;
    bool opened = false;
    int handle = -1;
    std::uint64_t size = 0;
  };

  const std::string& name(std::size_t i) const { return targets_[i].section->file_name; }
  std::string kind(std::size_t i) const {
    return targets_[i].must_be_new ? "export file" : "report file";
  }
  bool fail(std::size_t i) {
    failed_ = i;
    return false;
  }

  FileSystem& files_;
  std::vector<Target> targets_;
  std::string reason_;
  std::size_t failed_ = 0;
};

// The append proper. The journal is written before the first report is touched and removed
// after the last is closed, so that a run that stops at any instant in between (killed, or the
// machine's power cut while the file system keeps the order of writes) leaves the next run what
// it needs to put every report back.
bool append_under_lock(FileSystem& files, const ReportSections& sections,
                       const std::vector<ReportSection>& new_files, const FileSystem::Note& note,
                       std::string* error) {
  if (!repair_stopped_append(files, note, error)) return false;
  Append append(files, sections, new_files);
  if (!append.inspect()) {
    *error = append.refusal();
    return false;
  }
  if (!write_journal(files, append.journal(), error)) {
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

}  // namespace

bool append_reports(FileSystem& files, const ReportSections& sections,
                    const std::vector<ReportSection>& new_files, const FileSystem::Note& note,
                    std::string* error) {
  std::string reason;
  if (!files.begin_append(note, &reason)) {
    *error = "cannot lock the working folder for writing the reports: " + reason + kNothingChanged;
    return false;
  }
  const bool ok = append_under_lock(files, sections, new_files, note, error);
  files.end_append();
  return ok;
}

}  // namespace quorvane

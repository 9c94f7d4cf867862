#include "storage/report_append.h"

#include <algorithm>
#include <vector>

#include "platform/failure_words.h"
#include "storage/append_journal.h"

namespace quorvane {
namespace {

// One all-or-nothing append, step by step. Each step stops at the first failure and remembers
// which file failed and why.
class Append {
 public:
  Append(FileSystem& files, const std::vector<AppendedText>& sections,
         const std::vector<AppendedText>& new_files)
      : files_(files) {
    for (const AppendedText& section : sections) targets_.push_back({&section, false});
    for (const AppendedText& file : new_files) targets_.push_back({&file, true});
  }

  // Every report name must be free or a plain file of its own, and every new file's name free,
  // before anything is opened.
  bool inspect() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      Target& target = targets_[i];
      FileSystem::FileState state;
      FileFailure failure;
      if (!files_.inspect(name(i), &state, &failure)) {
        reason_ = "cannot check the " + kind(i) + ": " + failure_words(failure);
        return fail(i);
      }
      if (target.must_be_new && (state.exists || state.dangling_link)) {
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
      target.size = state.size;
      target.identity = state.identity;
      // Whether the file still ends as it does now is what tells the next run the file is
      // the same.
      if (!target.created) {
        const std::uint64_t before = std::min<std::uint64_t>(target.size, kRecognisedBytes);
        std::string bytes;
        if (!files_.read_at(name(i), target.size - before, static_cast<std::size_t>(before), &bytes,
                            &failure)) {
          reason_ = "cannot check the " + kind(i) + ": " + failure_words(failure);
          return fail(i);
        }
        target.before_checksum = text_checksum(bytes);
      }
    }
    return true;
  }

  // What the journal must know to put every file back, and to recognise the files and this
  // append's text in them.
  std::vector<JournalEntry> journal() const {
    std::vector<JournalEntry> entries;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      const Target& target = targets_[i];
      const std::string& text = target.text->text;
      JournalEntry entry;
      entry.file_name = name(i);
      entry.created = target.created;
      if (!target.created) {
        entry.size = target.size;
        entry.identity = target.identity;
        entry.before_checksum = target.before_checksum;
      }
      entry.length = text.size();
      entry.text_checksum = text_checksum(text);
      entry.first_bytes = text.substr(0, kRecognisedBytes);
      entries.push_back(entry);
    }
    return entries;
  }

  bool open() {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      Target& target = targets_[i];
      std::uint64_t size = 0;
      FileFailure failure;
      if (!files_.open_for_append(name(i), target.created, &target.handle, &size, &failure)) {
        reason_ = failure_words(failure);
        return fail(i);
      }
      target.opened = true;
      target.size = size;
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
  // (another program wrote to it meanwhile) is left as it is and named.
  std::string roll_back(const std::string& message) {
    std::string unrestored;
    bool changed = false;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      Target& target = targets_[i];
      if (!target.opened) continue;
      FileFailure failure;
      if (target.handle >= 0) files_.close(target.handle, &failure);
      if (!holds_only_own_text(i)) {
        unrestored += "; " + name(i) +
                      " was left as it is, as another program wrote to it at the same time: look "
                      "at its end and take out this run's section cut short";
        changed = true;
        continue;
      }
      const bool restored = target.created ? files_.remove(name(i), &failure)
                                           : files_.truncate(name(i), target.size, &failure);
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
    const AppendedText* text;
    bool must_be_new;  // a file of the export, which the append creates
    bool created = false;
    bool opened = false;
    int handle = -1;
    std::uint64_t size = 0;
    FileSystem::FileIdentity identity{};
    std::uint64_t before_checksum = 0;
  };

  const std::string& name(std::size_t i) const { return targets_[i].text->file_name; }

  // Whether the file holds, after what it held when opened, nothing but a start of this
  // append's text (or cannot be examined, in which case putting it back is still tried).
  bool holds_only_own_text(std::size_t i) {
    const Target& target = targets_[i];
    FileSystem::FileState state;
    FileFailure failure;
    if (!files_.inspect(name(i), &state, &failure) || !state.regular) return true;
    const std::string& text = target.text->text;
    if (state.size < target.size || state.size - target.size > text.size()) return false;
    std::string bytes;
    const auto added = static_cast<std::size_t>(state.size - target.size);
    if (!files_.read_at(name(i), target.size, added, &bytes, &failure)) return true;
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
  std::vector<Target> targets_;
  std::string reason_;
  std::size_t failed_ = 0;
};

// The append proper. The journal is written before the first report is touched and removed
// after the last is closed, so that a run that stops at any instant in between (killed, or the
// machine's power cut while the file system keeps the order of writes) leaves the next run what
// it needs to put every report back.
bool append_under_lock(FileSystem& files, const AppendScope& scope,
                       const std::vector<AppendedText>& sections,
                       const std::vector<AppendedText>& new_files, const AppendNote& note,
                       std::string* error) {
  if (!repair_stopped_append(files, scope, note, error)) return false;
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

bool AppendScope::holds_report(const std::string& name) const {
  return std::find(report_names.begin(), report_names.end(), name) != report_names.end() ||
         (is_report_name && is_report_name(name));
}

bool append_reports(FileSystem& files, const AppendScope& scope,
                    const std::vector<AppendedText>& sections,
                    const std::vector<AppendedText>& new_files, const AppendNote& note,
                    std::string* error) {
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

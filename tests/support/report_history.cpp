#include "tests/support/report_history.h"

#include <ctime>
#include <map>
#include <utility>

#include "reports/report_files.h"
#include "reports/report_names.h"
#include "tests/support/studies.h"

namespace quorvane::testing {
namespace {

constexpr std::size_t kMvCumulative = static_cast<std::size_t>(ReportFile::kMvCumulative) - 1;

// The sections of each run for each of its seconds, computed when first asked for.
class Candidates {
 public:
  explicit Candidates(const std::vector<ObservedRun>& runs) : runs_(runs) {}

  const ReportSections& of(std::size_t run, std::uint32_t second) {
    auto found = computed_.find({run, second});
    if (found == computed_.end()) {
      const ObservedRun& observed = runs_[run];
      found = computed_
                  .emplace(std::make_pair(run, second),
                           sections_of_run(*observed.edition, observed.responses,
                                           observed.participants, observed.items, second))
                  .first;
    }
    return found->second;
  }

 private:
  const std::vector<ObservedRun>& runs_;
  std::map<std::pair<std::size_t, std::uint32_t>, ReportSections> computed_;
};

std::string excerpt(const std::string& text, std::size_t at) {
  std::string shown;
  for (const char c : text.substr(at, 60))
    shown += c == '\n' ? std::string("\\n") : std::string(1, c);
  return "'" + shown + "'";
}

}  // namespace

std::uint32_t clock_second() {
  return static_cast<std::uint32_t>(static_cast<unsigned long long>(std::time(nullptr)));
}

std::string check_report_history(const TempFolder& folder, const std::vector<ObservedRun>& runs) {
  if (runs.empty()) return "no runs to check";
  Candidates candidates(runs);

  // File 7, one line per run, gives the order of the runs and the second each was seeded with.
  const std::string log_name = report_file_names(runs[0].edition->words)[kMvCumulative];
  const std::string log = folder.read(log_name);
  std::vector<std::pair<std::size_t, std::uint32_t>> order;
  std::vector<bool> placed(runs.size());
  std::size_t at = 0;
  while (at < log.size()) {
    bool found = false;
    for (std::size_t run = 0; run < runs.size() && !found; ++run) {
      if (placed[run]) continue;
      for (std::uint32_t second = runs[run].first_second; second <= runs[run].last_second && !found;
           ++second) {
        const std::string& line = candidates.of(run, second)[kMvCumulative].text;
        if (log.compare(at, line.size(), line) == 0) {
          order.emplace_back(run, second);
          placed[run] = found = true;
          at += line.size();
        }
      }
    }
    if (!found)
      return log_name + ": byte " + std::to_string(at) +
             " begins no run's line: " + excerpt(log, at);
  }
  if (order.size() != runs.size()) {
    return log_name + " holds the lines of " + std::to_string(order.size()) + " of the " +
           std::to_string(runs.size()) + " runs";
  }

  std::map<std::string, std::string> expected;
  for (const auto& [run, second] : order) {
    for (const NamedText& section : candidates.of(run, second)) {
      expected[section.file_name] += section.text;
    }
  }
  const auto files = folder.snapshot();
  for (const auto& [name, text] : expected) {
    const auto found = files.find(name);
    if (found == files.end()) return name + " is missing";
    if (found->second != text) {
      std::size_t differ = 0;
      while (differ < text.size() && differ < found->second.size() &&
             text[differ] == found->second[differ]) {
        ++differ;
      }
      return name + " is not the runs' sections in the order of file 7, from byte " +
             std::to_string(differ) + ": " + excerpt(found->second, differ) + " instead of " +
             excerpt(text, differ);
    }
  }
  for (const auto& [name, text] : files) {
    if (name.rfind("NG-", 0) == 0 && expected.count(name) == 0) return name + " was not expected";
  }
  return "";
}

}  // namespace quorvane::testing

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "reports/report_files.h"
#include "simulation/response_matrix.h"

namespace quorvane::testing {

// Responses of a made-up study, participant by participant: each participant answers each
// item correctly with a probability of their own, from a fixed-seed generator.
std::vector<int> made_up_responses(int participants, int items, unsigned seed);

// The responses as a data file, one participant per line.
std::string data_file_text(const std::vector<int>& responses, int items);

// The small study most runs use, typed at the prompts as "study.txt", 12 and 6: 12 participants
// by 6 items, four full triads.
inline constexpr int kSmallStudyParticipants = 12;
inline constexpr int kSmallStudyItems = 6;
inline constexpr const char* kSmallStudyAnswers = "study.txt\n12\n6\n";
std::vector<int> small_study_responses();
std::string small_study_text();

ResponseMatrix matrix_of(const std::vector<int>& responses, int participants, int items);
// The responses a matrix holds, as made_up_responses gives them: 1 correct, 0 missed.
std::vector<int> responses_of(const ResponseMatrix& matrix);

// The sections a whole run of the edition on the study appends, computed in memory.
ReportSections sections_of_run(const EditionProfile& edition, const std::vector<int>& responses,
                               int participants, int items, std::uint32_t seed);

// One report's section, by its number.
inline const NamedText& section_of(const ReportSections& sections, ReportFile file) {
  return sections[static_cast<std::size_t>(file) - 1];
}

}  // namespace quorvane::testing

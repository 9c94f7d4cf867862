#include "tests/support/studies.h"

#include <random>

#include "reports/run_reports.h"
#include "simulation/nominal_group_run.h"
#include "simulation/response_matrix_internal.h"

namespace quorvane::testing {

std::vector<int> made_up_responses(int participants, int items, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::vector<int> responses;
  for (int participant = 0; participant < participants; ++participant) {
    const double ability = 0.15 + 0.6 * chance(generator);
    for (int item = 0; item < items; ++item) responses.push_back(chance(generator) < ability);
  }
  return responses;
}

std::string data_file_text(const std::vector<int>& responses, int items) {
  std::string text;
  for (std::size_t i = 0; i < responses.size(); ++i) {
    text += std::to_string(responses[i]);
    text += (i + 1) % static_cast<std::size_t>(items) == 0 ? '\n' : ' ';
  }
  return text;
}

std::vector<int> small_study_responses() {
  return made_up_responses(kSmallStudyParticipants, kSmallStudyItems, 9);
}

std::string small_study_text() { return data_file_text(small_study_responses(), kSmallStudyItems); }

ResponseMatrix matrix_of(const std::vector<int>& responses, int participants, int items) {
  ResponseMatrix matrix(participants, items);
  for (int participant = 1; participant <= participants; ++participant) {
    for (int item = 1; item <= items; ++item) {
      matrix.set_response(
          participant, item,
          responses[static_cast<std::size_t>((participant - 1) * items + item - 1)]);
    }
  }
  return matrix;
}

std::vector<int> responses_of(const ResponseMatrix& matrix) {
  std::vector<int> responses;
  for (int participant = 1; participant <= matrix.participants(); ++participant) {
    for (int item = 1; item <= matrix.items(); ++item) {
      responses.push_back(1 - missed(matrix, participant, item));
    }
  }
  return responses;
}

ReportSections sections_of_run(const EditionProfile& edition, const std::vector<int>& responses,
                               int participants, int items, std::uint32_t seed) {
  return render_reports(edition.words, run_simulation(matrix_of(responses, participants, items),
                                                      edition.group_size, seed));
}

}  // namespace quorvane::testing

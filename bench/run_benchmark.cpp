// The cost of a whole run beside the cost of its random draws alone, with each phase on its own,
// for every benchmark study. The reports are written into a temporary folder, removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_studies.h"
#include "bench/draws_alone.h"
#include "bench/summary_reporter.h"
#include "platform/system_file_system.h"
#include "programs/run_driver.h"
#include "reports/report_files.h"
#include "reports/run_reports.h"
#include "simulation/group_scoring.h"
#include "simulation/nominal_group_run.h"
#include "simulation/set_draws.h"
#include "simulation/set_label.h"
#include "simulation/set_scores.h"
#include "simulation/set_statistics.h"
#include "storage/report_append.h"
#include "tests/support/temp_folder.h"

namespace quorvane::bench {
namespace {

constexpr std::uint32_t kSeed = 1765084800u;

int participants(const BenchStudy& study) { return study.matrix.participants(); }

RunResult run_of(const BenchStudy& study) {
  return run_simulation(study.matrix, study.edition->group_size, kSeed);
}

// Appends the sections to the report files of the working folder, then removes the files with
// the clock stopped, so that every iteration writes into an empty folder.
void append_and_clear(benchmark::State& state, const std::vector<AppendedText>& sections) {
  const std::unique_ptr<FileSystem> files = make_system_file_system();
  std::string error;
  if (!append_reports(
          *files, append_scope(), sections, {}, [](const std::string&) {}, &error)) {
    state.SkipWithError(error.c_str());
  }
  state.PauseTiming();
  for (const AppendedText& section : sections) std::remove(section.file_name.c_str());
  state.ResumeTiming();
}

// The sections as the append takes them, moved as the run driver moves them.
std::vector<AppendedText> texts_of(ReportSections sections) {
  std::vector<AppendedText> texts;
  for (NamedText& section : sections) {
    texts.push_back({std::move(section.file_name), std::move(section.text)});
  }
  return texts;
}

void draws(benchmark::State& state, const BenchStudy* study) {
  std::vector<int> order(static_cast<std::size_t>(participants(*study)));
  for (auto _ : state) {
    draws_alone(kSeed, order);
    benchmark::DoNotOptimize(order.data());
  }
}

// The 10,000 sets drawn one after another.
void drawing(benchmark::State& state, const BenchStudy* study) {
  for (auto _ : state) {
    SetDraws draws(participants(*study), kSeed);
    for (int set = 0; set < kSetCount; ++set) benchmark::DoNotOptimize(draws.next());
  }
}

// The pass over the sets: drawing each and scoring every group of it, keeping its distribution.
void scoring(benchmark::State& state, const BenchStudy* study) {
  const GroupScorer scorer(study->matrix, study->edition->group_size);
  for (auto _ : state) {
    SetDraws draws(participants(*study), kSeed);
    SetScores scores = score_sets(draws, scorer);
    benchmark::DoNotOptimize(scores);
  }
}

void statistics(benchmark::State& state, const BenchStudy* study) {
  SetDraws draws(participants(*study), kSeed);
  const SetScores scores =
      score_sets(draws, GroupScorer(study->matrix, study->edition->group_size));
  for (auto _ : state) {
    Statistics computed = compute_statistics(scores);
    benchmark::DoNotOptimize(computed);
  }
}

void formatting(benchmark::State& state, const BenchStudy* study) {
  const RunResult result = run_of(*study);
  for (auto _ : state) {
    ReportSections sections = render_reports(study->edition->words, result);
    benchmark::DoNotOptimize(sections);
  }
}

void writing(benchmark::State& state, const BenchStudy* study) {
  const std::vector<AppendedText> sections =
      texts_of(render_reports(study->edition->words, run_of(*study)));
  for (auto _ : state) append_and_clear(state, sections);
}

// The computation alone: the pass over the sets, the statistics and both searches.
void computing(benchmark::State& state, const BenchStudy* study) {
  for (auto _ : state) {
    RunResult result = run_of(*study);
    benchmark::DoNotOptimize(result);
  }
}

void whole_run(benchmark::State& state, const BenchStudy* study) {
  for (auto _ : state) {
    append_and_clear(state, texts_of(render_reports(study->edition->words, run_of(*study))));
  }
}

// Scoring alone with one kernel: the groups of 100 sets, drawn beforehand, 100 times over, as
// many as the run scores.
void scoring_with(benchmark::State& state, const BenchStudy* study, ScoringKernel kernel) {
  constexpr int kSetsDrawn = 100;
  const GroupScorer scorer(study->matrix, study->edition->group_size, kernel);
  SetDraws draws(participants(*study), kSeed);
  const auto size = static_cast<std::size_t>(participants(*study));
  std::vector<Participant> orders;
  for (int set = 0; set < kSetsDrawn; ++set) {
    const Participant* order = draws.next();
    orders.insert(orders.end(), order, order + size);
  }
  std::vector<int> all_missed(static_cast<std::size_t>(scorer.full_groups()));
  for (auto _ : state) {
    for (int round = 0; round < kSetCount / kSetsDrawn; ++round) {
      for (std::size_t set = 0; set < kSetsDrawn; ++set) {
        scorer.score(&orders[set * size], all_missed.data());
        benchmark::DoNotOptimize(all_missed.data());
      }
    }
  }
}

using Part = void (*)(benchmark::State&, const BenchStudy*);
const std::pair<const char*, Part> kParts[] = {{"draws_alone", draws},   {"drawing", drawing},
                                               {"scoring", scoring},     {"statistics", statistics},
                                               {"computing", computing}, {"formatting", formatting},
                                               {"writing", writing},     {"whole_run", whole_run}};

void register_all(const std::vector<BenchStudy>& studies) {
  for (const BenchStudy& study : studies) {
    for (const auto& [part_name, part] : kParts) {
      benchmark::RegisterBenchmark((study.name + "/" + part_name).c_str(), part, &study)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
    for (const ScoringKernel kernel : available_scoring_kernels()) {
      benchmark::RegisterBenchmark((study.name + "/" + name_of(kernel)).c_str(), scoring_with,
                                   &study, kernel)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
  }
}

std::vector<std::string> part_names() {
  std::vector<std::string> names;
  for (const auto& part : kParts) names.emplace_back(part.first);
  return names;
}

std::vector<std::string> kernel_names() {
  std::vector<std::string> names;
  for (const ScoringKernel kernel : available_scoring_kernels())
    names.emplace_back(name_of(kernel));
  return names;
}

std::vector<std::string> study_names(const std::vector<BenchStudy>& studies) {
  std::vector<std::string> names;
  for (const BenchStudy& study : studies) names.push_back(study.name);
  return names;
}

}  // namespace
}  // namespace quorvane::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const std::vector<quorvane::bench::BenchStudy> studies = quorvane::bench::bench_studies();
  quorvane::bench::register_all(studies);

  const quorvane::testing::TempFolder folder;
  if (::chdir(folder.path().c_str()) != 0) {
    std::perror(folder.path().c_str());
    return 1;
  }
  // Colours only on a terminal, so that a saved report reads as plain text.
  quorvane::bench::SummaryReporter reporter(
      isatty(STDOUT_FILENO) != 0 ? benchmark::ConsoleReporter::OO_ColorTabular
                                 : benchmark::ConsoleReporter::OO_Tabular,
      quorvane::bench::study_names(studies), quorvane::bench::part_names(),
      quorvane::bench::kernel_names());
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  // Leaves the folder before it is removed.
  return ::chdir("/") == 0 ? 0 : 1;
}

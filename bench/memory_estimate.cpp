// What a program estimates a run of a data file to need, in KB: the figure the check before the
// computation compares with the limit, and that every "not enough memory" line gives.
// scripts/time-programs prints it beside the peak it measures.
//
// Usage: quorvane_memory_estimate GROUP_SIZE DATA_FILE
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "programs/run_driver.h"
#include "studies/study.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: quorvane_memory_estimate GROUP_SIZE DATA_FILE\n", stderr);
    return 2;
  }
  const int group_size = std::atoi(argv[1]);
  std::ifstream file(argv[2], std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const quorvane::StudyLoad load = quorvane::load_study(bytes, std::nullopt);
  if (!file || group_size < 2 || !load.loaded()) {
    std::fprintf(stderr, "%s: cannot read the study: %s\n", argv[2], load.refusal.message.c_str());
    return 1;
  }
  std::printf("%llu\n", static_cast<unsigned long long>(
                            quorvane::memory_needed(load.study->responses, group_size) / 1024));
  return 0;
}

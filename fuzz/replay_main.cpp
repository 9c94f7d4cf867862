// Replays fuzzing inputs (files, or folders of files) through the dialogue check, so that
// builds without libFuzzer run the committed corpus with the tests.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/study_dialogue_check.h"

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (std::filesystem::is_directory(argv[i])) {
      for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else {
      inputs.emplace_back(argv[i]);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::cerr << "no inputs to replay\n";
    return 1;
  }
  quorvane::fuzzing::DialogueVerdicts total;
  for (const auto& path : inputs) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto verdicts = quorvane::fuzzing::check_study_dialogue(
        reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    total.accepted += verdicts.accepted;
    total.refused += verdicts.refused;
  }
  std::cout << inputs.size() << " inputs replayed in three editions: " << total.accepted
            << " dialogues accepted, " << total.refused << " refused\n";
  return 0;
}

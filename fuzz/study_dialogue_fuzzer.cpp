// libFuzzer entry point: the study dialogue under arbitrary console answers and data files.
#include <cstddef>
#include <cstdint>

#include "fuzz/study_dialogue_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  quorvane::fuzzing::check_study_dialogue(bytes, size);
  return 0;
}

#include "programs/program_main.h"

#include <ctime>
#include <iostream>
#include <memory>

#include "platform/console_window.h"
#include "platform/system_file_system.h"
#include "programs/run_driver.h"

namespace quorvane {

int program_main(const EditionProfile& edition) {
  const std::unique_ptr<FileSystem> files = make_system_file_system();
  // The generator is seeded with the low 32 bits of the calendar time in seconds.
  const auto seed_from_clock = [] {
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(std::time(nullptr)));
  };
  const int status =
      run_program(edition, Console{std::cin, std::cout, std::cerr}, *files, seed_from_clock);
  // A window opened by a double click stays until its last lines have been read.
  wait_before_console_closes(std::cout);
  return status;
}

}  // namespace quorvane

#include "programs/program_main.h"

#include <ctime>
#include <iostream>
#include <memory>

#include "programs/command_line.h"
#include "programs/run_driver.h"
#include "platform/system_file_system.h"

namespace quorvane {

int program_main(const EditionProfile& edition, int argc, const char* const argv[]) {
  const Console console{std::cin, std::cout, std::cerr};
  const CommandLine command = read_command_line(argc, argv);
  switch (command.action) {
    case CommandLine::Action::kShowHelp:
      std::cout << usage_text(edition) << std::flush;
      return std::cout ? kRunSucceeded : kRunFailed;
    case CommandLine::Action::kShowVersion:
      std::cout << version_line(edition) << '\n' << std::flush;
      return std::cout ? kRunSucceeded : kRunFailed;
    case CommandLine::Action::kRefuse:
      say_error(edition, console,
                command.error + "; see '" + std::string(edition.program_name) + " --help'");
      return kCommandLineRefused;
    case CommandLine::Action::kRun:
      break;
  }
  const std::unique_ptr<FileSystem> files = make_system_file_system();
  // Without --seed the generator is seeded with the low 32 bits of the calendar time in seconds.
  const std::optional<std::uint32_t> given_seed = command.seed;
  const auto seed = [given_seed] {
    if (given_seed) return *given_seed;
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(std::time(nullptr)));
  };
  return run_program(edition, console, *files, seed);
}

}  // namespace quorvane

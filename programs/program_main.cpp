#include "programs/program_main.h"

#include <ctime>
#include <exception>
#include <iostream>
#include <memory>
#include <new>

#include "platform/console_window.h"
#include "platform/process.h"
#include "platform/system_file_system.h"
#include "programs/command_line.h"
#include "programs/run_driver.h"

namespace quorvane {
namespace {

// Written without building a string: memory may have run out.
int stop(const EditionProfile& edition, const char* text, const char* detail) {
  std::cerr << edition.program_name << ": error: " << text << detail << '\n' << std::flush;
  return kRunFailed;
}

}  // namespace

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
  prepare_process();
  // Whatever goes wrong, the run ends with one line and its exit status, not with an abort.
  try {
    const std::unique_ptr<FileSystem> files = make_system_file_system();
    // Without --seed the generator is seeded with the low 32 bits of the calendar time in seconds.
    const std::optional<std::uint32_t> given_seed = command.seed;
    const auto seed = [given_seed] {
      if (given_seed) return *given_seed;
      return static_cast<std::uint32_t>(static_cast<unsigned long long>(std::time(nullptr)));
    };
    const int status = run_program(edition, console, *files,
                                   RunOptions{seed, command.export_name, memory_limit()});
    // A window opened by a double click stays until its last lines have been read.
    wait_before_console_closes(std::cout);
    return status;
  } catch (const std::bad_alloc&) {
    return stop(edition,
                "not enough memory for this study (the system refused the memory the run needs, "
                "perhaps under a limit such as ulimit -v); close other programs or raise the "
                "limit and run again",
                "");
  } catch (const std::exception& failure) {
    return stop(edition, "the run stopped on an unexpected failure: ", failure.what());
  } catch (...) {
    return stop(edition, "the run stopped on an unexpected failure", "");
  }
}

}  // namespace quorvane

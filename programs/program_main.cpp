#include "programs/program_main.h"

#include <ctime>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/console_window.h"
#include "platform/process.h"
#include "platform/system_file_system.h"
#include "programs/command_line.h"
#include "programs/run_driver.h"
#include "studies/word_reader.h"

namespace quorvane {
namespace {

constexpr const char* kOutOfMemory =
    "not enough memory for this study (the system refused the memory the run needs, perhaps "
    "under a limit such as ulimit -v); close other programs or raise the limit and run again";

// Written without building a string: memory may have run out.
int stop(const EditionProfile& edition, Console console, const char* text, const char* detail) {
  console.err << edition.program_name << ": error: " << text << detail << '\n' << std::flush;
  return kRunFailed;
}

int run(const EditionProfile& edition, Console console, bool interactive,
        const CommandLine& command) {
  prepare_process();
  RunOptions options;
  // Without --seed the generator is seeded with the low 32 bits of the calendar time in seconds.
  const std::optional<std::uint32_t> given_seed = command.seed;
  options.read_seed = [given_seed] {
    if (given_seed) return *given_seed;
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(std::time(nullptr)));
  };
  options.seed_from_clock = !given_seed;
  options.export_name = command.export_name;
  options.memory_limit = memory_limit();
  if (command.data_file) {
    // The reports, and a relative export name, belong beside the study's file.
    std::string file_name;
    std::string reason;
    if (!enter_folder_of(*command.data_file, &file_name, &reason)) {
      say_error(edition, console,
                readable(*command.data_file) +
                    ": cannot enter the folder of the data file: " + reason + "; check the name");
      return kRunFailed;
    }
    options.data_file = file_name;
  }
  if (interactive) options.report_folder = working_folder();
  const std::unique_ptr<FileSystem> files = make_system_file_system();
  return run_program(edition, console, *files, options);
}

// `edition` is the program's own, or with GroupSizeOption::kRequired the one that names the
// program until the command line gives the size.
int run_command_line(const EditionProfile& edition, GroupSizeOption group_size_option,
                     const SystemConsole& system, const std::vector<std::string>& words) {
  const Console console{system.in, system.out, system.err};
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  const CommandLine command =
      read_command_line(static_cast<int>(argv.size()), argv.data(), group_size_option);
  switch (command.action) {
    case CommandLine::Action::kShowHelp:
      console.out << (group_size_option == GroupSizeOption::kRequired ? groups_usage_text()
                                                                      : usage_text(edition))
                  << std::flush;
      return console.out ? kRunSucceeded : kRunFailed;
    case CommandLine::Action::kShowVersion:
      console.out << version_line(edition) << '\n' << std::flush;
      return console.out ? kRunSucceeded : kRunFailed;
    case CommandLine::Action::kRefuse:
      say_error(edition, console,
                command.error + "; see '" + std::string(edition.program_name) + " --help'");
      return kCommandLineRefused;
    case CommandLine::Action::kRun:
      break;
  }
  // Groups of 2 to 4 are the editions' runs, word for word; larger ones name their size.
  const EditionProfile sized =
      command.group_size ? edition_profile(*command.group_size) : EditionProfile{};
  const EditionProfile& runs = command.group_size ? sized : edition;
  // Whatever goes wrong, the run ends with one line and its exit status, not with an abort.
  try {
    return run(runs, console, system.interactive, command);
  } catch (const std::bad_alloc&) {
    return stop(runs, console, kOutOfMemory, "");
  } catch (const std::exception& failure) {
    return stop(runs, console, "the run stopped on an unexpected failure: ", failure.what());
  } catch (...) {
    return stop(runs, console, "the run stopped on an unexpected failure", "");
  }
}

// Memory may run out before the run's own guard, while the command line is read: that too ends
// with one line. A window opened by a double click or a file dropped on the program stays until
// its last lines have been read, whatever ended the program.
int guarded_main(const EditionProfile& edition, GroupSizeOption group_size_option, int argc,
                 const char* const argv[]) {
  const SystemConsole system = system_console();
  int status = kRunFailed;
  try {
    status = run_command_line(edition, group_size_option, system, program_arguments(argc, argv));
  } catch (const std::bad_alloc&) {
    status = stop(edition, {system.in, system.out, system.err}, kOutOfMemory, "");
  }
  wait_before_console_closes(system.out);
  return status;
}

}  // namespace

int program_main(const EditionProfile& edition, int argc, const char* const argv[]) {
  return guarded_main(edition, GroupSizeOption::kNone, argc, argv);
}

int groups_program_main(int argc, const char* const argv[]) {
  return guarded_main(groups_program(), GroupSizeOption::kRequired, argc, argv);
}

}  // namespace quorvane

#pragma once

// A run of a real program started in a folder on a study of its own, as the tests that start
// several runs in one folder see it.

#include <memory>
#include <string>

#include "tests/programs/programs_under_test.h"
#include "tests/support/program_process.h"
#include "tests/support/report_history.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"

namespace quorvane::testing {

// A run of `program` started in `folder` on a study of its own, told apart from every other
// run's by its `number`.
struct StartedRun {
  StartedRun(const Program& edition, const TempFolder& folder, int number,
             ProgramProcess::Options options = {})
      : program(edition), observed{program.edition, {}, 12 + number, 6 + number % 3,
                                   clock_second(),  0} {
    observed.responses = made_up_responses(observed.participants, observed.items,
                                           100 + static_cast<unsigned>(number));
    const std::string data = "study-" + std::to_string(number) + ".txt";
    folder.write(data, data_file_text(observed.responses, observed.items));
    process = std::make_unique<ProgramProcess>(edition.path, folder.path(),
                                               data + "\n" + std::to_string(observed.participants) +
                                                   "\n" + std::to_string(observed.items) + "\n",
                                               options);
  }

  ProgramResult wait() {
    ProgramResult result = process->wait();
    observed.last_second = clock_second();
    return result;
  }

  const Program& program;
  ObservedRun observed;
  std::unique_ptr<ProgramProcess> process;
};

}  // namespace quorvane::testing

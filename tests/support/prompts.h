#pragma once

#include <string>

namespace quorvane::testing {

// What a program writes on its console: the prompts and lines of the study dialogue, in order,
// and the note of a run that waits for the folder's report lock.
inline const std::string kNamePrompt = "\n\nEnter name of DATA file (e.g., data.txt): ";
inline const std::string kOpenedLine = "The data file was opened\n";
inline const std::string kNotOpenedLine = "The data file was not opened\n";
inline const std::string kParticipantsPrompt =
    "\nEnter number of participants in the study (i.e., # of rows in file): ";
inline const std::string kItemsPrompt =
    "\nEnter number of items in the study (i.e., # of columns in file): ";
inline const std::string kCalculatingLine = "Performing calculations...";

// The whole console output of a run whose answers were all accepted.
inline const std::string kCompleteDialogue =
    kNamePrompt + kOpenedLine + kParticipantsPrompt + kItemsPrompt + kCalculatingLine;

// The note of a run that waits for another run in the folder to finish writing its reports.
inline const std::string kWaitingNote =
    "another run is writing its reports in this folder; waiting for it to finish";

}  // namespace quorvane::testing

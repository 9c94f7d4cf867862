// The entry points R calls (.Call), registered in init.cpp. Each takes and gives R values only;
// the computation, the reports and the append are the programs' own.
#pragma once

#include <Rinternals.h>

extern "C" {

// The study in a data file (its path, a string), read as the programs read a file named on their
// command line: list(responses = an N x M integer matrix, 1 correct and 0 missed, labels =
// character or NULL, notes = character), or list(error = what is wrong, as the programs say it).
SEXP quorvane_read_study(SEXP path);

// One run: responses an N x M integer matrix of 0 and 1, labels character or NULL, file_name,
// group_size and seed (a double); gives the reports' texts, the export's tables as lists of
// columns and the notes a program would print (quorvane_run.cpp).
SEXP quorvane_run(SEXP responses, SEXP labels, SEXP file_name, SEXP group_size, SEXP seed);

// Appends each text to the report file of its name in the working folder, as a run does:
// list(error = NULL or the refusal, notes = what the repair of a stopped run said).
SEXP quorvane_append(SEXP names, SEXP texts);

// The largest study a run takes on either side, and the group sizes that have report words.
SEXP quorvane_limits();
}

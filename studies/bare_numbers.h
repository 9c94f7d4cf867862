#pragma once

#include <istream>
#include <string>
#include <vector>

#include "simulation/response_matrix.h"
#include "studies/study.h"

namespace quorvane {

// Loads the responses of a file of bare numbers into `matrix`: N x M whole numbers separated by any
// white space, participant 1's M responses first. Line breaks carry no meaning.
//
// Returns false, with *refusal saying where (row, item and line of the file) and what was found,
// when a response is missing or is not a whole number, or when the file holds a word or a run of
// blanks longer than any study's (see WordReader). Otherwise returns true and adds to *notes
// one line for each kind of slip that does not stop a run: responses other than 0 and 1 (which
// count as correct) and values after the last response (which are ignored).
bool load(std::istream& data, ResponseMatrix& matrix, std::vector<std::string>* notes,
          Refusal* refusal);

// The note on responses other than 0 and 1, which count as correct.
std::string unusual_note(long unusual, const std::string& first, const std::string& more);

// "row 3, item 2"
std::string place(int participant, int item);

// "1 response", "2 responses"
std::string count_of(long count, const char* one, const char* many);

}  // namespace quorvane

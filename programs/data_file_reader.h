#pragma once

#include <istream>
#include <string>
#include <vector>

#include "simulation/response_matrix.h"

namespace quorvane {

// Values after the responses are counted up to this many; a note says "more than" beyond it.
inline constexpr long kMostExtraValues = 100000;

// Loads the data file's responses into `matrix`: N x M whole numbers separated by any white
// space, participant 1's M responses first. Line breaks carry no meaning.
//
// Returns false, with *error saying where (row, item and line of the file) and what was found,
// when a response is missing or is not a whole number, or when the file holds a word or a run of
// blanks longer than any study's (see WordReader). Otherwise returns true and adds to *notes
// one line for each kind of slip that does not stop a run: responses other than 0 and 1 (which
// count as correct) and values after the last response (which are ignored).
bool load(std::istream& data, ResponseMatrix& matrix, std::vector<std::string>* notes,
          std::string* error);

}  // namespace quorvane

#include "programs/pairs_edition.h"
#include "programs/program_main.h"

int main() { return quorvane::program_main(quorvane::kPairsEdition); }

#include "programs/program_main.h"
#include "programs/triads_edition.h"

int main() { return quorvane::program_main(quorvane::kTriadsEdition); }

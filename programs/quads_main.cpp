#include "programs/program_main.h"
#include "programs/quads_edition.h"

int main() { return quorvane::program_main(quorvane::kQuadsEdition); }

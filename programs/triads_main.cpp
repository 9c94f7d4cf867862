#include "editions/edition_profile.h"
#include "programs/program_main.h"

int main(int argc, char** argv) {
  return quorvane::program_main(quorvane::kTriadsEdition, argc, argv);
}

#include "programs/program_main.h"

int main(int argc, char** argv) { return quorvane::groups_program_main(argc, argv); }

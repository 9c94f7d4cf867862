#include <R_ext/Rdynload.h>

#include "glue.h"

namespace {

const R_CallMethodDef kEntries[] = {
    {"quorvane_read_study", reinterpret_cast<DL_FUNC>(&quorvane_read_study), 1},
    {"quorvane_run", reinterpret_cast<DL_FUNC>(&quorvane_run), 5},
    {"quorvane_append", reinterpret_cast<DL_FUNC>(&quorvane_append), 2},
    {"quorvane_limits", reinterpret_cast<DL_FUNC>(&quorvane_limits), 0},
    {nullptr, nullptr, 0},
};

}  // namespace

extern "C" void R_init_quorvane(DllInfo* info) {
  R_registerRoutines(info, nullptr, kEntries, nullptr, nullptr);
  R_useDynamicSymbols(info, FALSE);
  R_forceSymbols(info, TRUE);
}

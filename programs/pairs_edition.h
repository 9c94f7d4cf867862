#pragma once

#include "reports/edition_profile.h"

namespace quorvane {

inline constexpr EditionProfile kPairsEdition{"Quorvane-Pairs", 2, "Pairings", "Pairs", " & "};

}  // namespace quorvane

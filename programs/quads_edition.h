#pragma once

#include "reports/edition_profile.h"

namespace quorvane {

inline constexpr EditionProfile kQuadsEdition{"Quorvane-Quads", 4, "Quads", "Quads", ","};

}  // namespace quorvane

#pragma once

#include "reports/edition_profile.h"

namespace quorvane {

inline constexpr EditionProfile kTriadsEdition{"Quorvane-Triads", 3, "Triads", "Triads", ","};

}  // namespace quorvane

// The identity of the scenario this program carries: the route name and the
// train number that name every file of its run and feed the check codes.
#pragma once

#include <string_view>

namespace scenario {

inline constexpr std::string_view kPercorso = "Ulmo_Tarvignano_Rovesco";
inline constexpr std::string_view kTreno = "4816";

}  // namespace scenario

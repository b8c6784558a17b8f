#pragma once
// The configurable efficiency of a player: the formula of the settings with the player's figures
// put in for the statistic keys.

#include <string>
#include <string_view>

#include "records/hash_table.h"

namespace velmora {

// The formula in lower case without blanks, with every whole name that is "pt" (points) or a key of
// the table replaced by its value in brackets. A name directly followed by "(" is a function and
// stays; a decimal comma between digits becomes a point.
std::string SubstituteEfficiencyFormula(std::string_view formula, const TIntegerHash& table);

// The formula's value for the player's table, rounded to two decimals; 0 when it cannot be
// compiled or evaluated.
double Efficiency(const TIntegerHash& table, std::string_view formula);

// An efficiency as the sheets show it: the shortest decimal text of at most 15 significant digits,
// so that the two-decimal rounding's binary residue does not show ("0.07", "11", "-3.5").
std::string EfficiencyText(double value);

// The settings dialog's test of a formula: true when it compiles and evaluates with every statistic
// at 1.
bool FormulaEvaluates(std::string_view formula);

}  // namespace velmora

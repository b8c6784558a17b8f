#pragma once
// The box score as a spreadsheet: the game's title, both teams' player rows, team lines and totals
// at fixed cells, with the column heads and formats that make the sheet readable on its own.

#include <filesystem>
#include <string>
#include <string_view>

#include "records/result.h"

namespace velmora {

class TModel;

// Writes the .xlsx workbook of the model as it stands, through a temporary file beside `file`, so
// that a failure (the error names the file and the reason) leaves what was there before. The
// efficiency columns evaluate `efficiencyFormula` (the setting "eff_formula").
TStatus WriteBoxScoreWorkbook(const TModel& model, std::string_view efficiencyFormula,
                              const std::filesystem::path& file);

// The sheet's title: both team names, the score and the period scores up to the current period,
// or "Partido no comenzado" before the game.
std::string BoxScoreTitle(const TModel& model);

// Made × 100 / attempted rounded to one decimal place; 0 when nothing was attempted.
double ShotPercentage(int made, int attempted);

}  // namespace velmora

#pragma once
// The federation's exchange file of a game's box score: the game context, the results, one
// statistics section per team, and a checksum line over everything before it.

#include <filesystem>
#include <string>

#include "records/result.h"

namespace velmora {

class TModel;

// The whole file as the model stands: windows-1252 bytes, CR LF line ends, the checksum line last
// (without a line end). A character windows-1252 lacks is written by its nearest letter or "?";
// a ";" or line break inside a name would break the file's fields and becomes "," or a blank.
std::string FederationFileText(const TModel& model);

// Writes the file through a temporary file beside it, so that a failure (the error names the file
// and the reason) leaves what was there before.
TStatus WriteFederationFile(const TModel& model, const std::filesystem::path& file);

}  // namespace velmora

#pragma once
// Copies of the game written beside the store: the periodic backup into the folder the operator
// named ("backup_folder"), and the rescue copy of a game whose actions the store could not keep.
// Both are transfer files written atomically (a temporary file renamed over the target), so a crash
// during the write never leaves a broken copy.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "records/date_time.h"
#include "records/result.h"

namespace velmora {

class TModel;

// "<game number>.log", with the characters a file name cannot hold replaced; none when the game
// number cannot name a file.
std::optional<std::string> GameFileName(std::string_view gameNumber);

// Writes the game into the folder when `folder` names an existing folder; nothing (and success)
// when it is empty or not a folder.
TStatus WriteBackup(const TModel& model, std::string_view folder);

// Where a rescue copy may go, best first: the data folder, the user's home, the temporary folder.
std::vector<std::filesystem::path> RescueFolders(const std::filesystem::path& dataFolder);

// Writes the whole game, under a name that tells the time, into the first of `folders` that takes
// it (the disk of the store is often the full one) and gives the file; the error names every
// folder tried and why it refused.
TResult<std::filesystem::path> WriteRescueFile(const TModel& model, const std::vector<std::filesystem::path>& folders,
                                               TDateTime now);

}  // namespace velmora

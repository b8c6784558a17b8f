#pragma once
// Importing a game from a transfer file into the store, and exporting a stored game to one.

#include <filesystem>
#include <string_view>

#include "records/hash_table.h"
#include "records/match_info.h"
#include "records/result.h"

namespace velmora {

class TDatabasePlugin;
class TModel;

inline constexpr const char* kGameExistsError =
    "Error al crear partido - ya existe otro partido con el mismo número de partido!";
inline constexpr const char* kExportError = "Error al abrir el fichero para escritura.";

// Reads the transfer file and stores its game as a local game, all or nothing: the match
// information, then its action log; the stored clock moves to the last action when it differs.
// Fails with the reading errors of the transfer file, with kGameExistsError when `games` (the
// games the operator sees) or the store already hold the game number, or with the store's error.
// Gives the stored match information.
TResult<TMatchInfo> ImportGame(TDatabasePlugin& store, const std::filesystem::path& file,
                               const TObjectHash<TMatchInfo>& games);

// Opens the stored game in the model and writes its transfer file; fails with kExportError, also
// when the store does not hold the game.
TStatus ExportGame(TModel& model, TDatabasePlugin& store, std::string_view gameNumber,
                   const std::filesystem::path& file);

}  // namespace velmora

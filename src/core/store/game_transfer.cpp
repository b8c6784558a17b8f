#include "store/game_transfer.h"

#include "platform/logger.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "store/database_plugin.h"

namespace velmora {

TResult<TMatchInfo> ImportGame(TDatabasePlugin& store, const std::filesystem::path& file,
                               const TObjectHash<TMatchInfo>& games) {
  auto read = ReadTransferFile(file);
  if (!read) return TError{read.Error()};
  TTransferGame& game = read.Value();
  TMatchInfo& matchInfo = game.MatchInfo;
  if (games.Exists(matchInfo.GameNumber) || store.FindGameId(matchInfo.GameNumber) != 0) {
    return TError{kGameExistsError};
  }
  matchInfo.Availability = kLocalOnly;

  std::string failure;
  const bool stored = store.InTransaction([&] {
    if (const TStatus saved = store.StoreMatchInfo(matchInfo); !saved) {
      failure = saved.Error();
      return false;
    }
    if (!game.Actions) return true;
    const TActionList& actions = *game.Actions;
    if (!store.SaveActionList(matchInfo.GameNumber, actions, false, matchInfo.CurrentGameTime)) {
      failure = "No se pudieron guardar las acciones del partido: " + store.LastError();
      return false;
    }
    if (!actions.empty() && actions.back()->GameTime != matchInfo.CurrentGameTime) {
      matchInfo.CurrentGameTime = actions.back()->GameTime;
      if (const TStatus saved = store.StoreMatchInfo(matchInfo); !saved) {
        failure = saved.Error();
        return false;
      }
    }
    return true;
  });
  if (!stored) return TError{failure.empty() ? store.LastError() : failure};
  return matchInfo;
}

TStatus ExportGame(TModel& model, TDatabasePlugin& store, std::string_view gameNumber,
                   const std::filesystem::path& file) {
  if (store.FindGameId(gameNumber) == 0 || !model.OpenGame(gameNumber)) return TError{kExportError};
  if (const TStatus written = WriteTransferFile(model, file); !written) {
    Log("Export of game " + std::string(gameNumber) + " failed: " + written.Error());
    return TError{kExportError};
  }
  return {};
}

}  // namespace velmora

#include <ostream>

#include "cli_session.h"
#include "commands.h"
#include "store/database_plugin.h"
#include "store/game_transfer.h"
#include "store/games_list.h"

namespace velmora::cli {

namespace {

int Usage(std::ostream& err, const char* usage) {
  err << "usage: velmora-cli " << usage << '\n';
  return kUsageError;
}

int Fail(std::ostream& err, const std::string& message) {
  err << message << '\n';
  return kFailure;
}

}  // namespace

int StoreCommand(const TCliEnvironment& environment, const std::string& command, const std::vector<std::string>& args,
                 std::ostream& out, std::ostream& err) {
  const std::size_t expected = command == "export" ? 2 : command == "games" ? 0 : 1;
  if (args.size() != expected) {
    if (command == "import") return Usage(err, "import FILE");
    if (command == "export") return Usage(err, "export GAME FILE");
    if (command == "games") return Usage(err, "games");
    return Usage(err, command == "delete" ? "delete GAME" : "checksum GAME");
  }

  TCliSession session(environment);
  const bool writes = command == "import" || command == "delete";
  const auto use = writes ? TCliSession::TStoreUse::Write : TCliSession::TStoreUse::Read;
  if (TStatus opened = session.OpenStore(use, err); !opened) return Fail(err, opened.Error());
  TDatabasePlugin& store = session.Store();

  if (command == "games" || command == "import") {
    TObjectHash<TMatchInfo> games;
    if (!store.LoadGamesList(games)) return Fail(err, "No se pudo leer la lista de partidos.");
    if (command == "games") {
      for (const TMatchInfo* game : GamesInGridOrder(games)) {
        out << game->GameNumber << '\t' << GridDateText(*game) << '\t' << game->Team1.Name << '\t' << game->Team2.Name
            << '\t' << AvailabilityText(game->Availability) << '\n';
      }
      return kSuccess;
    }
    auto imported = ImportGame(store, args[0], games);
    if (!imported) return Fail(err, imported.Error());
    out << imported.Value().GameNumber << '\n';
    return kSuccess;
  }

  const std::string& gameNumber = args[0];
  if (store.FindGameId(gameNumber) == 0) return Fail(err, "No existe el partido \"" + gameNumber + "\".");
  if (command == "export") {
    if (TStatus exported = ExportGame(session.Model(), store, gameNumber, args[1]); !exported) {
      return Fail(err, exported.Error());
    }
    return kSuccess;
  }
  if (command == "delete") {
    if (TStatus deleted = store.DeleteGame(gameNumber); !deleted) return Fail(err, deleted.Error());
    return kSuccess;
  }
  TMatchInfo matchInfo;
  if (!store.LoadMatchInfo(gameNumber, matchInfo)) return Fail(err, "No se pudo leer el partido.");
  const auto checksum = store.ComputeChecksum(matchInfo);
  if (!checksum) return Fail(err, checksum.Error());
  out << checksum.Value() << '\n';
  return kSuccess;
}

}  // namespace velmora::cli

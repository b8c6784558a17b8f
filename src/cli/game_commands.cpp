#include <ostream>

#include <pugixml.hpp>

#include "cli_session.h"
#include "commands.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "stats/stats_json.h"

namespace velmora::cli {

// Loads the game named by "--file FILE" or by a stored game number.
TStatus LoadGame(TCliSession& session, const std::vector<std::string>& args, std::ostream& err) {
  if (args.size() == 2 && args[0] == "--file") {
    auto game = ReadTransferFile(args[1]);
    if (!game) return TError{game.Error()};
    LoadTransferGame(session.Model(), std::move(game.Value()));
    return {};
  }
  if (TStatus opened = session.OpenStore(TCliSession::TStoreUse::Read, err); !opened) return opened;
  return session.OpenStoredGame(args[0]);
}

int GameCommand(const TCliEnvironment& environment, const std::string& command, const std::vector<std::string>& args,
                std::ostream& out, std::ostream& err) {
  const bool fromFile = args.size() == 2 && args[0] == "--file";
  const bool fromStore = args.size() == 1 && !args[0].starts_with("--");
  if (!fromFile && !fromStore) {
    err << "usage: velmora-cli " << command << " (GAME | --file FILE)\n";
    return kUsageError;
  }
  TCliSession session(environment);
  if (TStatus loaded = LoadGame(session, args, err); !loaded) {
    err << loaded.Error() << '\n';
    return kFailure;
  }

  const TModel& model = session.Model();
  if (command == "stats") {
    out << StatsJson(model) << '\n';
    return kSuccess;
  }
  pugi::xml_document document;
  if (command == "boxscore") {
    BoxScoreDocument(model, document);
  } else {
    ActionsDocument(model, document);
  }
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return kSuccess;
}

}  // namespace velmora::cli

#include <nlohmann/json.hpp>
#include <ostream>

#include "cli_session.h"
#include "commands.h"
#include "live/game_checks.h"
#include "records/date_time.h"
#include "stats/model.h"

namespace velmora::cli {

int CheckCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err) {
  std::vector<std::string> game;
  bool json = false;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else {
      game.push_back(arg);
    }
  }
  const bool fromFile = game.size() == 2 && game[0] == "--file";
  const bool fromStore = game.size() == 1 && !game[0].starts_with("--");
  if (!fromFile && !fromStore) {
    err << "usage: velmora-cli check (GAME | --file FILE) [--json]\n";
    return kUsageError;
  }
  TCliSession session(environment);
  if (TStatus loaded = LoadGame(session, game, err); !loaded) {
    err << loaded.Error() << '\n';
    return kFailure;
  }
  const TModel& model = session.Model();
  const std::vector<TCheckFlag> flags = CheckGame(model);
  if (!json) {
    for (const TCheckFlag& flag : flags) {
      out << FormatLongTime(flag.GameTime) << '\t' << flag.Period << '\t' << CheckKindName(flag.Kind) << '\t'
          << flag.Text << '\n';
    }
    return kSuccess;
  }
  nlohmann::ordered_json document;
  document["game"] = model.MatchInfo.GameNumber;
  document["flags"] = nlohmann::ordered_json::array();
  for (const TCheckFlag& flag : flags) {
    document["flags"].push_back({{"kind", CheckKindName(flag.Kind)},
                                 {"action", flag.ActionID},
                                 {"period", flag.Period},
                                 {"game_time", FormatLongTime(flag.GameTime)},
                                 {"team", flag.Team},
                                 {"player", flag.Player},
                                 {"text", flag.Text}});
  }
  out << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  return kSuccess;
}

}  // namespace velmora::cli

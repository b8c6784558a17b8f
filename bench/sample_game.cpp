// Writes a simulated game as a transfer file, for trying the program and for measuring it:
//   sample_game FILE [--actions N] [--game NUMBER]
// The game is cut after N actions (all of a whole game when N is larger), so it can stand in for
// a game in play; its clock stands at the last action.

#include <cstdlib>
#include <iostream>
#include <string>

#include "game_builder.h"
#include "platform/configuration.h"
#include "stats/game_documents.h"
#include "stats/model.h"

namespace {

constexpr const char* kUsage = "usage: sample_game FILE [--actions N] [--game NUMBER]\n";

void GiveNames(velmora::TMatchInfo& matchInfo) {
  static const char* const kFirst[] = {"Álvaro", "Marc",  "Sergio", "Rudy",  "Pau",  "Willy", "Juan",  "Felipe",
                                       "Carlos", "Jorge", "Iván",   "Darío", "Luka", "Goran", "Nikola"};
  static const char* const kLast[] = {"Navarro",     "Llull",    "Rodríguez", "Fernández", "Gasol",
                                      "Hernangómez", "Núñez",    "Reyes",     "Abrines",   "Garbajosa",
                                      "Cruz",        "Brizuela", "Dončić",    "Dragić",    "Mirotić"};
  matchInfo.Team1.Name = "Club Baloncesto Valencia";
  matchInfo.Team1.Shortname = "VAL";
  matchInfo.Team2.Name = "Real Club Deportivo Bilbao";
  matchInfo.Team2.Shortname = "BIL";
  for (int team = 1; team <= 2; ++team) {
    velmora::TTeam& roster = matchInfo.Team(team);
    for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
      const int pick = (slot * 7 + team * 3) % 15;
      roster.Player(slot).Name = kFirst[pick];
      roster.Player(slot).Surname = kLast[(pick + team * 5) % 15];
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string file;
  std::string gameNumber = "2026-001";
  int actions = 600;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--actions" && i + 1 < argc) {
      actions = std::atoi(argv[++i]);
    } else if (argument == "--game" && i + 1 < argc) {
      gameNumber = argv[++i];
    } else if (file.empty() && argument.rfind("--", 0) != 0) {
      file = argument;
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  if (file.empty() || actions < 0) {
    std::cerr << kUsage;
    return 2;
  }

  velmora::TConfiguration config("/");
  velmora::TModel model(config);
  model.MatchInfo = velmora::testing::MakeMatchInfo(12, gameNumber);
  GiveNames(model.MatchInfo);
  velmora::TActionList game = velmora::testing::SimulateGame(model.MatchInfo, std::max(actions, 1000));
  if (static_cast<int>(game.size()) > actions) game.resize(static_cast<std::size_t>(actions));
  if (!game.empty()) model.MatchInfo.CurrentGameTime = game.back()->GameTime;
  model.SetActions(std::move(game));
  if (const auto written = velmora::WriteTransferFile(model, file); !written) {
    std::cerr << "sample_game: " << written.Error() << '\n';
    return 1;
  }
  std::cout << gameNumber << '\n';
  return 0;
}

#include "game_builder.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace velmora::testing {

TMatchInfo MakeMatchInfo(int players, const std::string& gameNumber) {
  TMatchInfo matchInfo;
  matchInfo.GameNumber = gameNumber;
  matchInfo.Place = "Valencia";
  matchInfo.Field = "Pabellón Fuente de San Luis";
  matchInfo.Referee1 = "Ana Pérez";
  matchInfo.Competition = "Liga";
  matchInfo.Spectators = 1234;
  const char* names[2] = {"Club Baloncesto Norte", "Müller Basket Süd"};
  for (int team = 1; team <= 2; ++team) {
    TTeam& roster = matchInfo.Team(team);
    roster.Name = names[team - 1];
    roster.Shortname = team == 1 ? "NOR" : "SUD";
    roster.ID = std::to_string(100 + team);
    roster.Coach = team == 1 ? "José García" : "Łukasz Nowak";
    roster.Tracked = true;
    roster.PlayerCount = players;
    for (int slot = 1; slot <= players; ++slot) {
      TPlayer& player = roster.Player(slot);
      player.Number = slot + 3;
      player.ID = std::to_string(team * 1000 + slot);
      player.Name = "Player" + std::to_string(slot);
      player.Surname = team == 1 ? "Pérez" : "Müller";
      player.Active = true;
    }
  }
  matchInfo.Empty = false;
  return matchInfo;
}

TActionFactory::TActionFactory() { Catalogue_.LoadCatalogue(); }

std::unique_ptr<TAction> TActionFactory::Make(const std::string& kind, int seconds,
                                              std::initializer_list<std::pair<std::string, std::string>> params) {
  auto action = Catalogue_.NewAction(kind, seconds / 86400.0, 0, 0.5);
  for (const auto& [name, value] : params) action->SetParam(name, value);
  return action;
}

std::unique_ptr<TAction> TActionFactory::Shot(int seconds, int team, int player, const std::string& made, int points,
                                              const std::string& coordinates, bool counterAttack) {
  return Make("shot", seconds,
              {{"Team", std::to_string(team)}, {"Player", std::to_string(player)}, {"Coordinates", coordinates},
               {"Made", made}, {"Shot type", "Jump shot"}, {"Points", std::to_string(points)},
               {"CounterAttack", counterAttack ? "True" : "False"}});
}

std::unique_ptr<TAction> TActionFactory::FreeThrow(int seconds, int team, int player, bool made) {
  return Make("fthrow", seconds,
              {{"Team", std::to_string(team)}, {"Player", std::to_string(player)}, {"Throws Left", "1"},
               {"Throw Number", "1"}, {"Made", made ? "Made" : "Missed"}, {"CounterAttack", "False"}});
}

std::unique_ptr<TAction> TActionFactory::Rebound(int seconds, int team, int player, bool defensive) {
  return Make("reb", seconds,
              {{"Team", std::to_string(team)}, {"Player", std::to_string(player)},
               {"Type", defensive ? "Defensive" : "Offensive"}});
}

std::unique_ptr<TAction> TActionFactory::Foul(int seconds, int team, int player, int fouledOn) {
  return Make("foul", seconds,
              {{"Team", std::to_string(team)}, {"Player", std::to_string(player)}, {"Type", "Personal"},
               {"Fouled on", std::to_string(fouledOn)}, {"Type of personal", "Non-shooting"}, {"Shots to make", "0"}});
}

std::unique_ptr<TAction> TActionFactory::Subst(int seconds, int team, int out, int in) {
  return Make("subst", seconds,
              {{"Team", std::to_string(team)}, {"Player Out", std::to_string(out)}, {"Player In", std::to_string(in)}});
}

std::unique_ptr<TAction> TActionFactory::Period(int seconds, int quarter, const std::string& type) {
  return Make("quarter", seconds, {{"Quarter", std::to_string(quarter)}, {"Type", type}});
}

std::unique_ptr<TAction> TActionFactory::Simple(const std::string& kind, int seconds, int team, int player) {
  return Make(kind, seconds, {{"Team", std::to_string(team)}, {"Player", std::to_string(player)}});
}

namespace {

class TSimulation {
 public:
  TSimulation(const TMatchInfo& matchInfo, std::uint32_t seed) : Random_(seed) {
    for (int team = 0; team < 2; ++team) {
      const TTeam& roster = matchInfo.Team(team + 1);
      for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
        (slot <= 5 ? OnCourt_[team] : Bench_[team]).push_back(roster.Player(slot).Number);
      }
    }
  }

  TActionList Run(int targetActions) {
    const int periodSeconds = 600;
    for (int team = 1; team <= 2; ++team) {
      for (const int number : OnCourt_[team - 1]) Add(Factory_.Subst(0, team, 0, number));
    }
    Add(Factory_.Period(0, 1, "Start Game"));
    // About 1.9 actions per possession at this mix of plays.
    const int possessions = std::max(8, targetActions * 10 / 19 / 4);
    for (int period = 1; period <= 4; ++period) {
      const int start = (period - 1) * periodSeconds;
      if (period > 1) Add(Factory_.Period(start, period, "Start"));
      for (int p = 0; p < possessions; ++p) {
        const int now = start + (p + 1) * (periodSeconds - 1) / (possessions + 1);
        Possession(now, 1 + (p + period) % 2);
      }
      Add(Factory_.Period(start + periodSeconds, period, period == 4 ? "End Game" : "End"));
    }
    return std::move(Actions_);
  }

 private:
  int Pick(const std::vector<int>& players) {
    return players[std::uniform_int_distribution<std::size_t>(0, players.size() - 1)(Random_)];
  }
  bool Chance(double p) { return std::bernoulli_distribution(p)(Random_); }
  void Add(std::unique_ptr<TAction> action) { Actions_.push_back(std::move(action)); }

  // A spot on the court for the shot, spread around the basket: beyond the arc for three points,
  // inside it for two. Taken from the clock and the shooter, so the random plays stay as they are.
  static std::string ShotSpot(int now, int shooter, bool three) {
    const std::uint32_t hash = static_cast<std::uint32_t>(now) * 2654435761u ^ static_cast<std::uint32_t>(shooter) * 40503u;
    const double angle = 0.15 + (hash % 1000) / 1000.0 * 2.84;  // radians from the baseline
    const double distance = three ? 117 + (hash >> 10) % 20 : 8 + (hash >> 10) % 96;
    const int x = std::clamp(static_cast<int>(std::lround(139 + distance * std::cos(angle))), 1, 278);
    const int y = std::clamp(static_cast<int>(std::lround(29 + distance * std::sin(angle))), 1, 199);
    return std::to_string(x) + "+" + std::to_string(y);
  }

  void Possession(int now, int team) {
    const int other = 3 - team;
    const int shooter = Pick(OnCourt_[team - 1]);
    if (Chance(0.12)) {
      Add(Factory_.Make("turnover", now,
                        {{"Team", std::to_string(team)}, {"Player", std::to_string(shooter)}, {"Type", "Bad Pass"}}));
      if (Chance(0.5)) Add(Factory_.Simple("steal", now, other, Pick(OnCourt_[other - 1])));
    } else if (Chance(0.15)) {
      Add(Factory_.Foul(now, other, Pick(OnCourt_[other - 1]), shooter));
      Add(Factory_.FreeThrow(now, team, shooter, Chance(0.75)));
      Add(Factory_.FreeThrow(now, team, shooter, Chance(0.75)));
    } else {
      const bool three = Chance(0.35);
      const std::string coordinates = ShotSpot(now, shooter, three);
      const std::string made = Chance(0.47) ? "Made" : (Chance(0.1) ? "Blocked" : "Missed");
      auto shot = Factory_.Shot(now, team, shooter, made, three ? 3 : 2, coordinates, Chance(0.1));
      const std::string root = shot->ID;
      Add(std::move(shot));
      if (made == "Made" && Chance(0.6)) {
        auto assist = Factory_.Simple("assist", now, team, Pick(OnCourt_[team - 1]));
        assist->FollowUpID = root;
        Add(std::move(assist));
      } else if (made != "Made") {
        if (made == "Blocked") Add(Factory_.Simple("block", now, other, Pick(OnCourt_[other - 1])));
        const bool defensive = Chance(0.72);
        const int rebounder = defensive ? other : team;
        auto rebound = Factory_.Rebound(now, rebounder, Pick(OnCourt_[rebounder - 1]), defensive);
        rebound->FollowUpID = root;
        Add(std::move(rebound));
      }
    }
    if (Chance(0.08)) Substitute(now, team);
    if (Chance(0.02)) Add(Factory_.Make("timeout", now, {{"Team", team == 1 ? "First Team" : "Second Team"}}));
  }

  void Substitute(int now, int team) {
    auto& court = OnCourt_[team - 1];
    auto& bench = Bench_[team - 1];
    if (bench.empty()) return;
    const std::size_t outIndex = std::uniform_int_distribution<std::size_t>(0, court.size() - 1)(Random_);
    const std::size_t inIndex = std::uniform_int_distribution<std::size_t>(0, bench.size() - 1)(Random_);
    Add(Factory_.Subst(now, team, court[outIndex], bench[inIndex]));
    std::swap(court[outIndex], bench[inIndex]);
  }

  std::mt19937 Random_;
  TActionFactory Factory_;
  std::vector<int> OnCourt_[2];
  std::vector<int> Bench_[2];
  TActionList Actions_;
};

}  // namespace

TActionList SimulateGame(const TMatchInfo& matchInfo, int targetActions, std::uint32_t seed) {
  return TSimulation(matchInfo, seed).Run(targetActions);
}

}  // namespace velmora::testing

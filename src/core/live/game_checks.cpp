#include "live/game_checks.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "platform/configuration.h"
#include "records/action.h"
#include "records/game_time.h"
#include "records/team.h"
#include "stats/model.h"

namespace velmora {

namespace {

int TeamNumberOf(const TAction& action) {
  const std::string team = action.GetParam("Team");
  return team == "1" ? 1 : team == "2" ? 2 : 0;
}

bool HasActingPlayer(const std::string& kind) {
  static constexpr std::array<std::string_view, 8> kKinds = {"shot",     "reb",   "fthrow", "foul",
                                                             "turnover", "steal", "assist", "block"};
  return std::find(kKinds.begin(), kKinds.end(), kind) != kKinds.end();
}

// How the lists name a player of the roster, or "el jugador N" for a shirt it does not hold.
std::string PlayerText(const TModel& model, int team, const std::string& shirt) {
  if (team == 1 || team == 2) {
    const TTeam& roster = model.MatchInfo.Team(team);
    if (const int slot = roster.PlayerIndex(shirt); slot > 0) return PlayerCaption(roster.Player(slot));
  }
  return "el jugador " + ShirtText(std::string_view(shirt));
}

std::string TeamName(const TModel& model, int team) {
  return team == 1 || team == 2 ? model.MatchInfo.Team(team).Name : std::string("?");
}

// The period that opens the time-out span of `period`, as the model counts time-outs.
int TimeoutSpan(int period, int quarters) {
  const int half = quarters / 2;
  if (period <= half) return 1;
  if (period > quarters) return period;
  return half + 1;
}

enum class TPhase { BeforeGame, InPeriod, BetweenPeriods, AfterGame };

class TGameChecker {
 public:
  explicit TGameChecker(const TModel& model)
      : Model_(model),
        FoulLimit_(model.Config().GetInt("fouls_per_player")),
        Periods_(PeriodSettingsOf(model.Config())) {
    const TActionList& actions = model.Actions();
    Index_.reserve(actions.size());
    for (std::size_t i = 0; i < actions.size(); ++i) Index_.emplace(actions[i]->ID, i);
  }

  std::vector<TCheckFlag> Run() {
    const TActionList& actions = Model_.Actions();
    for (std::size_t i = 0; i < actions.size(); ++i) Check(i, *actions[i]);
    return std::move(Flags_);
  }

 private:
  struct TCourt {
    bool Tracked = false;
    std::vector<std::string> Players;
    bool Has(const std::string& shirt) const {
      return std::find(Players.begin(), Players.end(), shirt) != Players.end();
    }
  };

  void Flag(TCheckKind kind, std::size_t index, const TAction& action, int team, std::string text) {
    TCheckFlag flag{kind, index, action.ID, action.Period, action.GameTime, team, "0", std::move(text)};
    if (const std::string player = action.GetParam("Player"); !player.empty()) flag.Player = player;
    Flags_.push_back(std::move(flag));
  }

  const TAction* RootOf(const TAction& action) const {
    if (!action.IsFollowUp()) return nullptr;
    const auto found = Index_.find(action.FollowUpID);
    return found == Index_.end() ? nullptr : Model_.Actions()[found->second].get();
  }

  void Check(std::size_t index, const TAction& action) {
    const std::string& kind = action.ShortName;
    const int team = TeamNumberOf(action);
    const std::string player = action.GetParam("Player");
    const bool teamPlayer = (team == 1 || team == 2) && !player.empty() && player != "0";

    if (index > 0 && WholeSeconds(action.GameTime) < WholeSeconds(Model_.Actions()[index - 1]->GameTime)) {
      Flag(TCheckKind::ClockBackwards, index, action, team,
           "El reloj está antes que el de la acción anterior (" +
               MinutesSecondsOf(Model_.Actions()[index - 1]->GameTime) + ")");
    }
    if (kind == "subst") {
      ApplySubstitution(action);
      return;
    }
    if (SubstitutionsBefore_) CheckLineupSizes(index, action);
    SubstitutionsBefore_ = false;

    if (kind == "quarter") {
      const std::string type = action.GetParam("Type");
      if (type == "Start Game" || type == "Start") Phase_ = TPhase::InPeriod;
      if (type == "End") Phase_ = TPhase::BetweenPeriods;
      if (type == "End Game") Phase_ = TPhase::AfterGame;
      return;
    }
    if (kind == "timeout") {
      CheckTimeout(index, action);
      return;
    }
    if (kind == "comment") return;

    if (Phase_ != TPhase::InPeriod) {
      Flag(TCheckKind::OutsidePeriod, index, action, team, "Acción fuera de un periodo de juego");
    }
    if (teamPlayer && HasActingPlayer(kind) && !(kind == "foul" && action.GetParam("Type") == "Technical")) {
      const TCourt& court = Courts_[static_cast<std::size_t>(team)];
      if (court.Tracked && !court.Has(player)) {
        Flag(TCheckKind::NotOnCourt, index, action, team, PlayerText(Model_, team, player) + " no está en la pista");
      }
    }
    if (teamPlayer) {
      const int fouls = Fouls_[FoulKey(team, player)];
      if (FoulLimit_ > 0 && fouls >= FoulLimit_) {
        Flag(TCheckKind::FouledOut, index, action, team,
             PlayerText(Model_, team, player) + " ya tenía " + std::to_string(fouls) + " faltas");
      }
    }
    if (kind == "foul" && teamPlayer && Model_.StatPlayerIndex(team, player) > 0) ++Fouls_[FoulKey(team, player)];
    if (kind == "fthrow") {
      const TAction* root = RootOf(action);
      if (!root || root->ShortName != "foul" || TeamNumberOf(*root) == team) {
        Flag(TCheckKind::FreeThrowWithoutFoul, index, action, team, "Tiro libre sin una falta del equipo contrario");
      }
    } else if (kind == "assist") {
      const TAction* root = RootOf(action);
      if (!root || root->ShortName != "shot" || root->GetParam("Made") != "Made" || TeamNumberOf(*root) != team) {
        Flag(TCheckKind::AssistWithoutBasket, index, action, team, "Asistencia sin una canasta de su equipo");
      }
    }
  }

  void ApplySubstitution(const TAction& action) {
    SubstitutionsBefore_ = true;
    const int team = TeamNumberOf(action);
    if (team == 0) return;
    TCourt& court = Courts_[static_cast<std::size_t>(team)];
    court.Tracked = true;
    const std::string out = action.GetParam("Player Out");
    const std::string in = action.GetParam("Player In");
    if (!out.empty() && out != "0") std::erase(court.Players, out);
    if (!in.empty() && in != "0" && !court.Has(in)) court.Players.push_back(in);
  }

  void CheckLineupSizes(std::size_t index, const TAction& action) {
    for (int team = 1; team <= 2; ++team) {
      const TCourt& court = Courts_[static_cast<std::size_t>(team)];
      if (!court.Tracked || court.Players.size() == 5) continue;
      TCheckFlag flag{TCheckKind::LineupSize, index, action.ID, action.Period, action.GameTime, team, "0",
                      TeamName(Model_, team) + " tiene " + std::to_string(court.Players.size()) +
                          " jugadores en la pista"};
      Flags_.push_back(std::move(flag));
    }
  }

  void CheckTimeout(std::size_t index, const TAction& action) {
    // Counted as the model counts them: the team in the choice's data, periods 1 to 15.
    const TParameter* parameter = action.Param("Team");
    const int team = parameter && parameter->Data == "1" ? 1 : parameter && parameter->Data == "2" ? 2 : 0;
    if (team == 0 || action.Period < 1 || action.Period > 15) return;
    const int span = TimeoutSpan(action.Period, Periods_.NoOfQuarters);
    const int used = ++Timeouts_[team * 100 + span];
    const int allowed = TimeoutsAllowed(Periods_, action.Period);
    if (used > allowed) {
      TCheckFlag flag{TCheckKind::TimeoutsOverLimit, index, action.ID, action.Period, action.GameTime, team, "0",
                      TeamName(Model_, team) + " supera los " + std::to_string(allowed) +
                          " tiempos muertos permitidos"};
      Flags_.push_back(std::move(flag));
    }
  }

  static std::string FoulKey(int team, const std::string& player) { return std::to_string(team) + ":" + player; }

  const TModel& Model_;
  const int FoulLimit_;
  const TPeriodSettings Periods_;
  std::unordered_map<std::string, std::size_t> Index_;
  std::array<TCourt, 3> Courts_;
  std::unordered_map<std::string, int> Fouls_;
  std::unordered_map<int, int> Timeouts_;
  TPhase Phase_ = TPhase::BeforeGame;
  bool SubstitutionsBefore_ = false;
  std::vector<TCheckFlag> Flags_;
};

}  // namespace

std::string_view CheckKindName(TCheckKind kind) {
  switch (kind) {
    case TCheckKind::NotOnCourt: return "not-on-court";
    case TCheckKind::LineupSize: return "lineup-size";
    case TCheckKind::FouledOut: return "fouled-out";
    case TCheckKind::FreeThrowWithoutFoul: return "free-throw-without-foul";
    case TCheckKind::AssistWithoutBasket: return "assist-without-basket";
    case TCheckKind::TimeoutsOverLimit: return "timeouts-over-limit";
    case TCheckKind::ClockBackwards: return "clock-backwards";
    case TCheckKind::OutsidePeriod: return "outside-period";
  }
  return "";
}

std::vector<TCheckFlag> CheckGame(const TModel& model) { return TGameChecker(model).Run(); }

std::string FlagCountText(std::size_t count) {
  if (count == 0) return {};
  return std::to_string(count) + (count == 1 ? " aviso" : " avisos");
}

}  // namespace velmora

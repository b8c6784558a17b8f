#include "charts/shot_chart.h"

#include <algorithm>

#include "platform/configuration.h"
#include "records/team.h"
#include "stats/model.h"

namespace velmora {

namespace {

// "J. Pérez": the caption without the shirt.
std::string ShortName(const TPlayer& player) {
  const std::string caption = PlayerCaption(player);
  return caption.substr(caption.find(". ") + 2);
}

}  // namespace

TShotChart::TShotChart(const TModel& model) : Model_(model) {
  for (int team = 1; team <= 2; ++team) {
    std::vector<TChartPlayer>& players = Players_[Index(team)];
    players = ChartPlayers(model.MatchInfo, team);
    for (std::size_t i = 0; i < players.size(); ++i) {
      players[i].Caption = PlayerCaption(model.MatchInfo.Team(team).Player(static_cast<int>(i) + 1));
      players[i].Selected = true;
    }
  }
  const int quarters = model.Config().GetInt("no_of_quarters");
  PeriodCaptions_.push_back("Todos los cuartos");
  const int periods = static_cast<int>(model.PeriodScores().size());
  for (int k = 1; k <= periods; ++k) {
    PeriodCaptions_.push_back(k <= quarters ? "Cuarto " + std::to_string(k)
                                            : "Prórroga " + std::to_string(k - quarters));
  }
  PeriodTicks_.assign(PeriodCaptions_.size(), false);
  PeriodTicks_[0] = true;
}

void TShotChart::TogglePlayer(int team, std::size_t index) {
  std::vector<TChartPlayer>& players = Players_[Index(team)];
  if (index < players.size()) players[index].Selected = !players[index].Selected;
}

void TShotChart::SetTeamTicked(int team, bool ticked) {
  TeamTicked_[Index(team)] = ticked;
  SelectAll(team, ticked);
}

void TShotChart::SelectAll(int team, bool selected) {
  for (TChartPlayer& player : Players_[Index(team)]) player.Selected = selected;
}

void TShotChart::TogglePeriod(std::size_t index) {
  if (index >= PeriodTicks_.size()) return;
  PeriodTicks_[index] = !PeriodTicks_[index];
  if (!PeriodTicks_[index]) return;
  if (index == 0) {
    std::fill(PeriodTicks_.begin() + 1, PeriodTicks_.end(), false);
  } else {
    PeriodTicks_[0] = false;
  }
}

bool TShotChart::PlayerShown(int team, const std::string& player) const {
  const int slot = Model_.MatchInfo.Team(team).PlayerIndex(player);
  const std::vector<TChartPlayer>& players = Players_[Index(team)];
  // A shooter missing from the roster has no entry to untick.
  return slot < 1 || static_cast<std::size_t>(slot) > players.size() ||
         players[static_cast<std::size_t>(slot - 1)].Selected;
}

bool TShotChart::PeriodShown(int period) const {
  if (PeriodTicks_[0]) return true;
  return period >= 1 && static_cast<std::size_t>(period) < PeriodTicks_.size() &&
         PeriodTicks_[static_cast<std::size_t>(period)];
}

std::vector<TShotMark> TShotChart::Shots() const {
  const TPeriodSettings settings = PeriodSettingsOf(Model_.Config());
  std::vector<TShotMark> shots;
  for (const auto& action : Model_.Actions()) {
    if (action->ShortName != "shot") continue;
    const int period = PeriodOfClock(settings, action->GameTime);
    if (!PeriodShown(period)) continue;
    const std::string team = action->GetParam("Team");
    if (team == "1" || team == "2") {
      // An unticked team box hides the team's shots, also those of a shooter missing from the roster.
      if (!TeamTicked(TeamOf(team)) || !PlayerShown(TeamOf(team), action->GetParam("Player"))) continue;
    }
    const auto point = ParseCoordinates(action->GetParam("Coordinates"));
    if (!point) continue;
    TCourtSide side;
    if (ByHalf_) {
      side = period > settings.NoOfQuarters / 2 ? TCourtSide::Right : TCourtSide::Left;
    } else {
      side = team == "1" ? TCourtSide::Left : TCourtSide::Right;
    }
    shots.push_back({PlaceOnCourt(*point, side), TeamOf(team), action->GetParam("Made"), period, side});
  }
  return shots;
}

std::array<std::string, 2> TShotChart::SideLabels() const {
  if (ByHalf_) return {"Primera mitad", "Segunda mitad"};
  return {Model_.MatchInfo.Team1.Name, Model_.MatchInfo.Team2.Name};
}

std::string TShotChart::Description() const {
  const TMatchInfo& matchInfo = Model_.MatchInfo;
  std::string text;
  if (!TeamTicked(1) || !TeamTicked(2)) {
    text += "Sólo los tiros del " + matchInfo.Team(TeamTicked(1) ? 1 : 2).Name + " representados.\r";
  }
  for (int team = 1; team <= 2; ++team) {
    const std::vector<TChartPlayer>& players = Players(team);
    const bool all = std::all_of(players.begin(), players.end(), [](const TChartPlayer& p) { return p.Selected; });
    if (!TeamTicked(team) || all) continue;
    text += "Representar los tiros de los jugadores del equipo " + matchInfo.Team(team).Name + " seleccionados:";
    std::string names;
    for (std::size_t i = 0; i < players.size(); ++i) {
      if (!players[i].Selected) continue;
      if (!names.empty()) names += ", ";
      names += ShortName(matchInfo.Team(team).Player(static_cast<int>(i) + 1));
    }
    text += names + "\r";
  }
  std::vector<std::size_t> ticked;
  for (std::size_t k = 1; k < PeriodTicks_.size(); ++k) {
    if (PeriodTicks_[k]) ticked.push_back(k);
  }
  if (!PeriodTicks_[0] && !ticked.empty()) {
    text += "Representar sólo los tiros marcados en los cuartos";
    for (std::size_t i = 0; i < ticked.size(); ++i) {
      const bool last = i + 1 == ticked.size();
      text += (i == 0 ? " " : last ? " y " : ", ") + std::to_string(ticked[i]);
    }
    text += ".\r";
  }
  return text;
}

TChartParameters TShotChart::PrintParameters() const {
  const auto labels = SideLabels();
  return {{"Expl1", labels[0]}, {"Expl2", labels[1]}, {"Expl3", Description()}};
}

}  // namespace velmora

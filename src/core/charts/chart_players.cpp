#include "charts/chart_players.h"

#include <algorithm>

#include "records/match_info.h"
#include "records/team.h"

namespace velmora {

namespace {

constexpr std::size_t kReportNames = 13;  // "Name0" to "Name12"

}  // namespace

std::vector<TChartPlayer> ChartPlayers(const TMatchInfo& matchInfo, int team) {
  const TTeam& roster = matchInfo.Team(team);
  std::vector<TChartPlayer> players;
  for (int slot = 1; slot <= std::clamp(roster.PlayerCount, 0, TTeam::kMaxPlayers); ++slot) {
    const TPlayer& player = roster.Player(slot);
    players.push_back({player.Number, ShirtText(player.Number) + " " + player.Name + " " + player.Surname, false});
  }
  return players;
}

std::vector<std::string> SelectedCaptions(const std::vector<TChartPlayer>& players) {
  std::vector<std::string> captions;
  for (const TChartPlayer& player : players) {
    if (player.Selected) captions.push_back(player.Caption);
  }
  return captions;
}

void AddTeamNames(TChartParameters& parameters, int team, const std::vector<std::string>& names) {
  const std::string prefix = "Team" + std::to_string(team) + "Name";
  const std::size_t count = std::max(kReportNames, names.size());
  for (std::size_t k = 0; k < count; ++k) {
    parameters.emplace_back(prefix + std::to_string(k), k < names.size() ? names[k] : std::string());
  }
}

}  // namespace velmora

#pragma once
// What the chart windows share: the player lists of both teams and the named texts a chart hands
// to its printed report.

#include <string>
#include <utility>
#include <vector>

namespace velmora {

class TMatchInfo;

// A roster player in a chart's list: the stored shirt number, the caption and the tick.
struct TChartPlayer {
  int Number = 0;
  std::string Caption;
  bool Selected = false;
};

// Every roster player of the team in roster order, captioned shirt, first name and surname
// ("7 Juan Pérez"), none selected.
std::vector<TChartPlayer> ChartPlayers(const TMatchInfo& matchInfo, int team);

// The named texts of a printed chart, in the order they are set.
using TChartParameters = std::vector<std::pair<std::string, std::string>>;

// The captions of the selected players, in list order.
std::vector<std::string> SelectedCaptions(const std::vector<TChartPlayer>& players);

// "Team" + t + "Name" + k = the k-th name, k from 0. Names up to 12 are always set (empty when
// there are fewer), so that a report shows no name left from another chart.
void AddTeamNames(TChartParameters& parameters, int team, const std::vector<std::string>& names);

}  // namespace velmora

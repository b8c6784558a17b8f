#pragma once
// The shot chart without a screen: the team, player and period lists with their tick rules, the
// shots that pass them placed on the full court, the side labels and the printed explanation.
// The heat map filters and places its shots the same way.

#include <array>
#include <string>
#include <vector>

#include "charts/chart_players.h"
#include "charts/court_geometry.h"

namespace velmora {

class TModel;

// A shot as the chart draws it.
struct TShotMark {
  TCourtPoint Point;  // on the 481 x 279 court
  int Team = 1;       // 1 for team "1", 2 for any other team value
  std::string Made;   // "Made", "Missed" or "Blocked"
  int Period = 1;
  TCourtSide Side = TCourtSide::Left;
};

class TShotChart {
 public:
  // Both teams ticked with every roster player ("7. J. Pérez"), "Todos los cuartos" ticked and
  // one unticked entry per period of the game; the model must outlive the chart.
  explicit TShotChart(const TModel& model);

  const std::vector<TChartPlayer>& Players(int team) const { return Players_[Index(team)]; }
  std::vector<TChartPlayer>& Players(int team) { return Players_[Index(team)]; }
  bool TeamTicked(int team) const { return TeamTicked_[Index(team)]; }
  // "Todos los cuartos" first, then "Cuarto k" and "Prórroga k".
  const std::vector<std::string>& PeriodCaptions() const { return PeriodCaptions_; }
  const std::vector<bool>& PeriodTicks() const { return PeriodTicks_; }
  bool ByHalf() const { return ByHalf_; }

  // A click on a player entry toggles it.
  void TogglePlayer(int team, std::size_t index);
  // The team's box ticks or unticks its whole list.
  void SetTeamTicked(int team, bool ticked);
  void SelectAll(int team, bool selected);
  // A click on period entry `index` (0 is "Todos los cuartos") toggles it; ticking the first
  // unticks every period, ticking a period unticks the first.
  void TogglePeriod(std::size_t index);
  void SetByHalf(bool byHalf) { ByHalf_ = byHalf; }

  // The shots that pass the filters, in game order; shots without readable coordinates are left out.
  std::vector<TShotMark> Shots() const;
  // The captions above the left and right halves.
  std::array<std::string, 2> SideLabels() const;
  // What the printed chart explains of the filters, each sentence ending in a carriage return.
  std::string Description() const;
  // "Expl1", "Expl2" (the side labels) and "Expl3" (the description).
  TChartParameters PrintParameters() const;

 private:
  static std::size_t Index(int team) { return team == 1 ? 0 : 1; }
  bool PlayerShown(int team, const std::string& player) const;
  bool PeriodShown(int period) const;

  const TModel& Model_;
  std::array<std::vector<TChartPlayer>, 2> Players_;
  std::array<bool, 2> TeamTicked_{true, true};
  std::vector<std::string> PeriodCaptions_;
  std::vector<bool> PeriodTicks_;
  bool ByHalf_ = false;
};

}  // namespace velmora

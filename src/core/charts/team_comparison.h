#pragma once
// The team comparison without a screen: one of seventeen statistics for the players chosen in
// each team, counted per period and stacked in eight series (the regular periods, then
// overtimes), or the whole game's percentage; with the legend rules and the printed names.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "charts/chart_players.h"
#include "records/game_time.h"

namespace velmora {

class TAction;
class TMessageSource;
class TModel;

inline constexpr int kComparisonStatistics = 17;
inline constexpr int kComparisonSeries = 8;

// The caption of statistic n (1 to 17) in the window's choice.
std::string ComparisonStatisticCaption(int n);

// Period lengths in seconds of the periods the game has started (from 1; later ones 0): the
// regular periods "quarter_duration" minutes, the overtimes "overtime_duration" minutes.
std::array<int, kComparisonSeries> ComparisonPeriodLengths(const TPeriodSettings& settings, int startedPeriods);
// The series (1 to 8) an action's clock counts in: the first period whose end it does not pass.
// Past the last started period, the last one (and at least the first).
int ComparisonPeriodOf(const std::array<int, kComparisonSeries>& lengths, TDateTime clock);

struct TComparisonSeries {
  std::string Title;
  bool InLegend = false;
  std::optional<std::array<int, 2>> Bars;  // team 1, team 2; none when the series has no bars
};

struct TComparisonChart {
  std::string Title;
  std::array<std::string, 2> TeamNames;
  std::array<TComparisonSeries, kComparisonSeries> Series;
  bool Percentage = false;
};

class TTeamComparison {
 public:
  // Every roster player of both teams, all selected; statistic 1. The model and the messages must
  // outlive the object.
  TTeamComparison(const TModel& model, const TMessageSource& messages);

  std::vector<TChartPlayer>& Players(int team) { return Players_[team == 1 ? 0 : 1]; }
  const std::vector<TChartPlayer>& Players(int team) const { return Players_[team == 1 ? 0 : 1]; }
  void SelectAll(int team, bool selected);
  int Statistic() const { return Statistic_; }
  // 1 to 17; others are ignored.
  void SetStatistic(int n);

  TComparisonChart Chart() const;
  // "TeamtNamek" of both teams: "Todos los jugadores" when every player is selected.
  TChartParameters PrintParameters() const;

 private:
  bool Counts(const TAction& action) const;

  const TModel& Model_;
  const TMessageSource& Messages_;
  std::array<std::vector<TChartPlayer>, 2> Players_;
  std::array<int, kComparisonSeries> Lengths_{};
  int Statistic_ = 1;
};

}  // namespace velmora

#pragma once
// The score development chart without a screen: minute by minute, both teams' points, field-goal
// percentage, fouls, assists, turnovers or steals, per minute or accumulated; and the minutes in
// which the players chosen in either team were on the court together.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "charts/chart_players.h"

namespace velmora {

class TModel;

inline constexpr int kDevelopmentOptions = 6;

// The caption of option n (1 to 6), which is also the chart's title.
std::string DevelopmentOptionTitle(int n);

// Who of the chosen players is on the court in a minute.
enum class TPresence { None, Team1, Team2, Both };
const char* PresenceName(TPresence presence);  // "none", "team1", "team2", "both"

// The five on the court per team for each minute; a slot holds a stored shirt number as text,
// or nothing.
using TFive = std::array<std::string, 5>;
struct TOnCourtMinute {
  std::array<TFive, 2> Fives;
};

struct TDevelopmentChart {
  std::string Title;
  bool Percentage = false;
  int Minutes = 0;
  // One value per minute, 0 to Minutes - 1.
  std::array<std::vector<double>, 2> Values;
  std::vector<TPresence> Bands;
};

// The points a series draws: for lines (0, 0) and then (i, minute i - 1); for bars (i, minute i - 1).
std::vector<std::pair<double, double>> DevelopmentPoints(const std::vector<double>& values, bool bars);

class TScoreDevelopment {
 public:
  // Every roster player of both teams, none selected; option 1, accumulated. The model must
  // outlive the object; the on-court table is built here, once.
  explicit TScoreDevelopment(const TModel& model);

  std::vector<TChartPlayer>& Players(int team) { return Players_[team == 1 ? 0 : 1]; }
  const std::vector<TChartPlayer>& Players(int team) const { return Players_[team == 1 ? 0 : 1]; }
  void SelectAll(int team, bool selected);

  int Option() const { return Option_; }
  // 1 to 6; others are ignored.
  void SetOption(int n);
  bool Accumulated() const { return Accumulated_; }
  void SetAccumulated(bool accumulated) { Accumulated_ = accumulated; }

  // The minutes drawn: the game clock in minutes, rounded up, and at least up to the latest action.
  int Minutes() const { return Minutes_; }
  const std::vector<TOnCourtMinute>& OnCourt() const { return OnCourt_; }

  TDevelopmentChart Chart() const;
  // "TeamtNamek" of both teams: "Sin jugadores" unless one to five players are selected.
  TChartParameters PrintParameters() const;

 private:
  // The minute an action counts in; an action at the final clock counts in the last minute.
  int MinuteOf(double gameTime) const;
  bool Present(int team, int minute) const;

  const TModel& Model_;
  std::array<std::vector<TChartPlayer>, 2> Players_;
  int Minutes_ = 0;
  std::vector<TOnCourtMinute> OnCourt_;
  int Option_ = 1;
  bool Accumulated_ = true;
};

}  // namespace velmora

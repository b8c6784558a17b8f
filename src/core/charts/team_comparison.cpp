#include "charts/team_comparison.h"

#include <algorithm>
#include <cmath>

#include "platform/configuration.h"
#include "records/message_source.h"
#include "records/text_utils.h"
#include "stats/model.h"

namespace velmora {

namespace {

struct TStatistic {
  const char* Caption;
  const char* TitleKey;
  const char* Kind;
  const char* Points;    // the shot's "Points"; none for other kinds
  const char* Type;      // the rebound's "Type"; none for any
  bool MadeOnly;         // only actions whose "Made" is "Made"
  bool Percentage;       // made of attempts over the whole game
};

constexpr TStatistic kStatistics[kComparisonStatistics] = {
    {"Canastas de 2 puntos anotadas", "2Points_FG_Made", "shot", "2", nullptr, true, false},
    {"Intentos de canastas de 2 puntos", "2Points_FG_Attempted", "shot", "2", nullptr, false, false},
    {"% de canastas de 2 puntos", "2Points_FG_PERCENTS", "shot", "2", nullptr, false, true},
    {"Canastas de 3 puntos anotadas", "3Points_FG_Made", "shot", "3", nullptr, true, false},
    {"Intentos de canastas de 3 puntos", "3Points_FG_Attempted", "shot", "3", nullptr, false, false},
    {"% de canastas de 3 puntos", "3Points_FG_PERCENTS", "shot", "3", nullptr, false, true},
    {"Tiros libres anotados", "FT_Made", "fthrow", nullptr, nullptr, true, false},
    {"Intentos de tiros libres", "FT_Attempted", "fthrow", nullptr, nullptr, false, false},
    {"Porcentaje de tiros libres", "FT_PERCENTS", "fthrow", nullptr, nullptr, false, true},
    {"Asistencias", "Assists", "assist", nullptr, nullptr, false, false},
    {"Perdidas de balon", "Turnovers", "turnover", nullptr, nullptr, false, false},
    {"Recuperaciones", "Steals", "steal", nullptr, nullptr, false, false},
    {"Tapones", "Blocked_Shots", "block", nullptr, nullptr, false, false},
    {"Rebotes ofensivos", "Reb_Offensive", "reb", nullptr, "Offensive", false, false},
    {"Rebotes defensives", "Reb_Defensive", "reb", nullptr, "Defensive", false, false},
    {"Rebotes totales", "Reb_Total", "reb", nullptr, nullptr, false, false},
    {"Faltas cometidas", "Fouls", "foul", nullptr, nullptr, false, false},
};
// From statistic 10 on, an action of the team as a whole counts whatever the selection.
constexpr int kFirstTeamStatistic = 10;

const TStatistic& StatisticOf(int n) { return kStatistics[std::clamp(n, 1, kComparisonStatistics) - 1]; }

}  // namespace

std::string ComparisonStatisticCaption(int n) { return StatisticOf(n).Caption; }

std::array<int, kComparisonSeries> ComparisonPeriodLengths(const TPeriodSettings& settings, int startedPeriods) {
  std::array<int, kComparisonSeries> lengths{};
  for (int k = 1; k <= std::min(startedPeriods, kComparisonSeries); ++k) {
    lengths[static_cast<std::size_t>(k - 1)] =
        (k <= settings.NoOfQuarters ? settings.QuarterDuration : settings.OvertimeDuration) * 60;
  }
  return lengths;
}

int ComparisonPeriodOf(const std::array<int, kComparisonSeries>& lengths, TDateTime clock) {
  const int seconds = WholeSeconds(clock);
  int end = 0;
  int last = 1;
  for (int k = 1; k <= kComparisonSeries; ++k) {
    const int length = lengths[static_cast<std::size_t>(k - 1)];
    if (length <= 0) continue;
    end += length;
    last = k;
    if (seconds <= end) return k;
  }
  return last;
}

TTeamComparison::TTeamComparison(const TModel& model, const TMessageSource& messages)
    : Model_(model), Messages_(messages) {
  for (int team = 1; team <= 2; ++team) {
    Players(team) = ChartPlayers(model.MatchInfo, team);
    SelectAll(team, true);
  }
  Lengths_ = ComparisonPeriodLengths(PeriodSettingsOf(model.Config()), static_cast<int>(model.PeriodScores().size()));
}

void TTeamComparison::SelectAll(int team, bool selected) {
  for (TChartPlayer& player : Players(team)) player.Selected = selected;
}

void TTeamComparison::SetStatistic(int n) {
  if (n >= 1 && n <= kComparisonStatistics) Statistic_ = n;
}

bool TTeamComparison::Counts(const TAction& action) const {
  const TStatistic& statistic = StatisticOf(Statistic_);
  if (action.ShortName != statistic.Kind) return false;
  if (statistic.Points && action.GetParam("Points") != statistic.Points) return false;
  if (statistic.Type && action.GetParam("Type") != statistic.Type) return false;
  return !statistic.MadeOnly || action.GetParam("Made") == "Made";
}

TComparisonChart TTeamComparison::Chart() const {
  const TStatistic& statistic = StatisticOf(Statistic_);
  // Counts (made, for the percentages) and attempts per team and series.
  std::array<std::array<int, kComparisonSeries>, 2> counts{};
  std::array<std::array<int, kComparisonSeries>, 2> attempts{};
  for (const auto& action : Model_.Actions()) {
    if (!Counts(*action)) continue;
    const std::string team = action->GetParam("Team");
    if (team != "1" && team != "2") continue;
    const auto t = static_cast<std::size_t>(TeamOf(team) - 1);
    const auto p = static_cast<std::size_t>(ComparisonPeriodOf(Lengths_, action->GameTime) - 1);
    const std::string player = action->GetParam("Player");
    const bool made = !statistic.Percentage || action->GetParam("Made") == "Made";
    // A player value that is not a number names nobody.
    const auto number = ParseInt32(player);
    int times = 0;
    for (const TChartPlayer& entry : Players(TeamOf(team))) {
      if (entry.Selected && number && entry.Number == *number) ++times;
    }
    if (Statistic_ >= kFirstTeamStatistic && player == "0") ++times;
    attempts[t][p] += times;
    if (made) counts[t][p] += times;
  }

  TComparisonChart chart;
  chart.Title = Messages_.Message(statistic.TitleKey);
  chart.TeamNames = {Model_.MatchInfo.Team1.Name, Model_.MatchInfo.Team2.Name};
  chart.Percentage = statistic.Percentage;
  if (statistic.Percentage) {
    for (std::size_t t = 0; t < 2; ++t) {
      int made = 0;
      int tried = 0;
      for (std::size_t p = 0; p < kComparisonSeries; ++p) {
        made += counts[t][p];
        tried += attempts[t][p];
      }
      counts[t].fill(0);
      // Rounded half to even, as the percentage of the box score.
      counts[t][kComparisonSeries - 1] = tried == 0 ? 0 : static_cast<int>(std::nearbyint(made * 100.0 / tried));
    }
  }
  const int quarters = Model_.Config().GetInt("no_of_quarters");
  bool anyData = false;
  std::array<bool, kComparisonSeries> hasData{};
  for (std::size_t p = 0; p < kComparisonSeries; ++p) {
    hasData[p] = counts[0][p] > 0 || counts[1][p] > 0;
    anyData = anyData || hasData[p];
  }
  for (int k = 1; k <= kComparisonSeries; ++k) {
    const auto p = static_cast<std::size_t>(k - 1);
    TComparisonSeries& series = chart.Series[p];
    series.Title = k <= quarters ? "Cuarto " + std::to_string(k) : "Prórroga " + std::to_string(k - quarters);
    series.InLegend = k <= quarters || hasData[p];
    if (statistic.Percentage && k == kComparisonSeries) series.InLegend = false;
    if (anyData && (k == 1 || hasData[p])) series.Bars = std::array<int, 2>{counts[0][p], counts[1][p]};
  }
  return chart;
}

TChartParameters TTeamComparison::PrintParameters() const {
  TChartParameters parameters;
  for (int team = 1; team <= 2; ++team) {
    const std::vector<TChartPlayer>& players = Players(team);
    const bool all = std::all_of(players.begin(), players.end(),
                                 [](const TChartPlayer& player) { return player.Selected || player.Number <= 0; });
    AddTeamNames(parameters, team, all ? std::vector<std::string>{"Todos los jugadores"} : SelectedCaptions(players));
  }
  return parameters;
}

}  // namespace velmora

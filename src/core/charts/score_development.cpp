#include "charts/score_development.h"

#include <algorithm>
#include <cmath>

#include "records/text_utils.h"
#include "stats/model.h"

namespace velmora {

namespace {

constexpr const char* kOptionTitles[kDevelopmentOptions] = {
    "Marcador", "Porcentaje de tiros", "Faltas", "Assistencias", "Pérdidas de balón", "Recuperaciones"};
// The kind each counting option counts, from option 3 on.
constexpr const char* kCountedKinds[kDevelopmentOptions] = {nullptr, nullptr, "foul", "assist", "turnover", "steal"};

int MinutesRoundedUp(double clock) { return (WholeSeconds(clock) + 59) / 60; }

// Puts the entering player into the five of a substitution.
void Substitute(TFive& five, const std::string& out, const std::string& in) {
  if (out != "0") {
    const auto slot = std::find(five.begin(), five.end(), out);
    if (slot != five.end()) *slot = in;
    return;
  }
  const auto slot = std::find_if(five.begin(), five.end(), [](const std::string& s) { return s.empty() || s == "0"; });
  if (slot != five.end()) *slot = in;
}

}  // namespace

std::string DevelopmentOptionTitle(int n) { return kOptionTitles[std::clamp(n, 1, kDevelopmentOptions) - 1]; }

const char* PresenceName(TPresence presence) {
  switch (presence) {
    case TPresence::Team1: return "team1";
    case TPresence::Team2: return "team2";
    case TPresence::Both: return "both";
    case TPresence::None: break;
  }
  return "none";
}

std::vector<std::pair<double, double>> DevelopmentPoints(const std::vector<double>& values, bool bars) {
  std::vector<std::pair<double, double>> points;
  if (!bars) points.emplace_back(0, 0);
  for (std::size_t i = 1; i <= values.size(); ++i) points.emplace_back(static_cast<double>(i), values[i - 1]);
  return points;
}

TScoreDevelopment::TScoreDevelopment(const TModel& model) : Model_(model) {
  for (int team = 1; team <= 2; ++team) Players(team) = ChartPlayers(model.MatchInfo, team);
  // The clock may have been put back below actions already entered; those are drawn as well.
  Minutes_ = MinutesRoundedUp(model.MatchInfo.CurrentGameTime);
  for (const auto& action : model.Actions()) Minutes_ = std::max(Minutes_, MinutesRoundedUp(action->GameTime));

  OnCourt_.resize(static_cast<std::size_t>(Minutes_));
  std::array<TFive, 2> fives;
  for (const auto& action : model.Actions()) {
    if (action->ShortName != "subst") continue;
    const std::string team = action->GetParam("Team");
    if (team != "1" && team != "2") continue;
    Substitute(fives[static_cast<std::size_t>(TeamOf(team) - 1)], action->GetParam("Player Out"),
               action->GetParam("Player In"));
    for (int m = WholeSeconds(action->GameTime) / 60; m < Minutes_; ++m) {
      OnCourt_[static_cast<std::size_t>(m)].Fives = fives;
    }
  }
}

void TScoreDevelopment::SelectAll(int team, bool selected) {
  for (TChartPlayer& player : Players(team)) player.Selected = selected;
}

void TScoreDevelopment::SetOption(int n) {
  if (n >= 1 && n <= kDevelopmentOptions) Option_ = n;
}

int TScoreDevelopment::MinuteOf(double gameTime) const {
  if (Minutes_ == 0) return -1;
  return std::min(WholeSeconds(gameTime) / 60, Minutes_ - 1);
}

bool TScoreDevelopment::Present(int team, int minute) const {
  const std::vector<TChartPlayer>& players = Players(team);
  const auto selected = std::count_if(players.begin(), players.end(), [](const TChartPlayer& p) { return p.Selected; });
  if (selected < 1 || selected > 5) return false;
  const TFive& five = OnCourt_[static_cast<std::size_t>(minute)].Fives[static_cast<std::size_t>(team - 1)];
  if (std::any_of(five.begin(), five.end(), [](const std::string& slot) { return slot.empty(); })) return false;
  return std::all_of(players.begin(), players.end(), [&five](const TChartPlayer& p) {
    return !p.Selected || std::find(five.begin(), five.end(), std::to_string(p.Number)) != five.end();
  });
}

TDevelopmentChart TScoreDevelopment::Chart() const {
  const auto minutes = static_cast<std::size_t>(Minutes_);
  // Per team: the counted value, and for the percentage the made field goals and the attempts.
  std::array<std::vector<double>, 2> values{std::vector<double>(minutes), std::vector<double>(minutes)};
  std::array<std::vector<double>, 2> made = values;
  std::array<std::vector<double>, 2> attempts = values;
  const char* kind = kCountedKinds[Option_ - 1];
  for (const auto& action : Model_.Actions()) {
    const std::string team = action->GetParam("Team");
    const int minute = MinuteOf(action->GameTime);
    if ((team != "1" && team != "2") || minute < 0) continue;
    const auto t = static_cast<std::size_t>(TeamOf(team) - 1);
    const auto m = static_cast<std::size_t>(minute);
    const bool isMade = action->GetParam("Made") == "Made";
    if (kind) {
      if (action->ShortName == kind) values[t][m] += 1;
    } else if (action->ShortName == "shot") {
      const std::string points = action->GetParam("Points");
      if (points != "2" && points != "3") continue;
      attempts[t][m] += 1;
      if (isMade) {
        made[t][m] += 1;
        values[t][m] += ParseInt32(points).value_or(0);
      }
    } else if (action->ShortName == "fthrow" && isMade) {
      values[t][m] += 1;
    }
  }
  for (std::size_t t = 0; t < 2; ++t) {
    if (Accumulated_) {
      for (auto* table : {&values[t], &made[t], &attempts[t]}) {
        for (std::size_t m = 1; m < minutes; ++m) (*table)[m] += (*table)[m - 1];
      }
    }
    if (Option_ == 2) {
      for (std::size_t m = 0; m < minutes; ++m) {
        values[t][m] = attempts[t][m] > 0 ? made[t][m] * 100 / attempts[t][m] : 0;
      }
    }
  }

  TDevelopmentChart chart;
  chart.Title = DevelopmentOptionTitle(Option_);
  chart.Percentage = Option_ == 2;
  chart.Minutes = Minutes_;
  chart.Values = std::move(values);
  for (int m = 0; m < Minutes_; ++m) {
    const bool first = Present(1, m);
    const bool second = Present(2, m);
    chart.Bands.push_back(first && second ? TPresence::Both
                          : first         ? TPresence::Team1
                          : second        ? TPresence::Team2
                                          : TPresence::None);
  }
  return chart;
}

TChartParameters TScoreDevelopment::PrintParameters() const {
  TChartParameters parameters;
  for (int team = 1; team <= 2; ++team) {
    std::vector<std::string> names = SelectedCaptions(Players(team));
    if (names.empty() || names.size() > 5) names = {"Sin jugadores"};
    AddTeamNames(parameters, team, names);
  }
  return parameters;
}

}  // namespace velmora

#include "reports/lineup_efficiency_report.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "records/team.h"
#include "records/text_utils.h"
#include "reports/common_header.h"
#include "stats/model.h"

namespace velmora {

namespace {

constexpr long long kFortyMinutes = 2400;  // seconds

bool AllEmpty(const TStint& stint) {
  return std::all_of(stint.Players.begin(), stint.Players.end(), [](const std::string& p) { return p.empty(); });
}

// The same players, whatever their slots; a slot left empty is nobody, never a player in common.
bool SamePlayers(const TStint& a, const TStint& b) {
  std::array<std::string, 5> left = a.Players;
  std::array<std::string, 5> right = b.Players;
  std::sort(left.begin(), left.end());
  std::sort(right.begin(), right.end());
  return left == right;
}

// value × 2400 / seconds to the nearest integer, a half to the even neighbour.
long long PerFortyMinutes(long long value, long long seconds) {
  const long long numerator = value * kFortyMinutes;
  long long quotient = numerator / seconds;
  const long long twiceRest = 2 * std::llabs(numerator % seconds);
  if (twiceRest > seconds || (twiceRest == seconds && quotient % 2 != 0)) quotient += numerator < 0 ? -1 : 1;
  return quotient;
}

// The made points of a shot or free throw; 0 for any other action.
TResult<int> PointsOf(const TAction& action) {
  if ((action.ShortName != "shot" && action.ShortName != "fthrow") || action.GetParam("Made") != "Made") return 0;
  if (action.ShortName == "fthrow") return 1;
  const std::string points = action.GetParam("Points");
  const auto value = ParseInt32(points);
  if (!value) return TError{"\"" + points + "\" is not a valid integer value"};
  return *value;
}

// Neighbouring numbers in ascending order; an empty slot stays where it is and keeps its
// neighbours apart.
TStatus SortSlots(std::array<std::string, 5>& slots) {
  std::array<std::int32_t, 5> numbers{};
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].empty()) continue;
    const auto number = ParseInt32(slots[i]);
    if (!number) return TError{"\"" + slots[i] + "\" is not a valid integer value"};
    numbers[i] = *number;
  }
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (std::size_t i = 0; i + 1 < slots.size(); ++i) {
      if (slots[i].empty() || slots[i + 1].empty() || numbers[i] <= numbers[i + 1]) continue;
      std::swap(slots[i], slots[i + 1]);
      std::swap(numbers[i], numbers[i + 1]);
      swapped = true;
    }
  }
  return {};
}

}  // namespace

std::vector<TStint> StintsOf(const TActionList& actions, TDateTime currentGameTime, int team) {
  const std::string teamText = std::to_string(team);
  const int now = WholeSeconds(currentGameTime);
  std::vector<const TAction*> substitutions;
  for (const auto& action : actions) {
    if (action->ShortName == "subst" && action->GetParam("Team") == teamText) substitutions.push_back(action.get());
  }
  std::vector<TStint> stints(1);
  // Players coming in without anybody leaving start the game.
  for (const TAction* action : substitutions) {
    if (action->GetParam("Player Out") != "0") continue;
    auto& players = stints[0].Players;
    const auto empty = std::find(players.begin(), players.end(), std::string());
    if (empty == players.end()) continue;
    *empty = action->GetParam("Player In");
    stints[0].Start = WholeSeconds(action->GameTime);
    stints[0].End = now;
  }
  for (const TAction* action : substitutions) {
    const int clock = WholeSeconds(action->GameTime);
    TStint next = stints.back();
    const auto out = std::find(next.Players.begin(), next.Players.end(), action->GetParam("Player Out"));
    if (out != next.Players.end()) *out = action->GetParam("Player In");
    stints.back().End = clock;
    next.Start = clock;
    next.End = now;
    stints.push_back(std::move(next));
  }
  return stints;
}

TResult<std::vector<TStint>> StintValues(const std::vector<TStint>& stints, const TActionList& actions, int team,
                                         int option) {
  std::vector<TStint> taken;
  for (const TStint& stint : stints) {
    if (option == 0) {
      taken.push_back(stint);
      taken.back().Value = stint.End - stint.Start;
    } else if (stint.Start < stint.End) {
      taken.push_back(stint);
      taken.back().Value = 0;
    }
  }
  if (option == 0) return taken;
  const std::string ours = std::to_string(team);
  const std::string theirs = std::to_string(3 - team);
  const bool forUs = option <= 4;
  const bool againstUs = option <= 2 || option >= 5;
  for (const auto& action : actions) {
    TResult<int> points = PointsOf(*action);
    if (!points) return TError{points.Error()};
    if (points.Value() == 0) continue;
    const std::string actingTeam = action->GetParam("Team");
    int change = 0;
    if (actingTeam == ours && forUs) change = points.Value();
    if (actingTeam == theirs && againstUs) change = option <= 2 ? -points.Value() : points.Value();
    if (change == 0) continue;
    // A basket at the second of a substitution belongs to the five that leaves then.
    const int clock = WholeSeconds(action->GameTime);
    for (TStint& stint : taken) {
      if (stint.Start < clock && clock <= stint.End) stint.Value += change;
    }
  }
  if (option % 2 == 0) {
    for (TStint& stint : taken) stint.Value = PerFortyMinutes(stint.Value, stint.End - stint.Start);
  }
  return taken;
}

TResult<std::vector<TStint>> LineupResults(std::vector<TStint> stints) {
  for (std::size_t i = 0; i < stints.size(); ++i) {
    if (AllEmpty(stints[i])) continue;
    for (std::size_t j = i + 1; j < stints.size(); ++j) {
      if (!SamePlayers(stints[i], stints[j])) continue;
      stints[i].Value += stints[j].Value;
      stints[j] = TStint{};
    }
  }
  std::stable_sort(stints.begin(), stints.end(), [](const TStint& a, const TStint& b) {
    if (AllEmpty(a) || AllEmpty(b)) return !AllEmpty(a) && AllEmpty(b);
    return a.Value > b.Value;
  });
  std::erase_if(stints, AllEmpty);
  for (TStint& stint : stints) {
    if (TStatus sorted = SortSlots(stint.Players); !sorted) return TError{sorted.Error()};
  }
  return stints;
}

std::string LineupValueText(long long value, int option) {
  if (option == 0) {
    if (value < 0) return "-" + LineupValueText(-value, option);
    std::string text = value >= 3600 ? "0" + std::to_string(value / 3600) + ":" : "";
    const auto twoDigits = [](long long n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return text + twoDigits(value / 60 % 60) + ":" + twoDigits(value % 60);
  }
  if (option <= 2 && value > 0) return "+" + std::to_string(value);
  return std::to_string(value);
}

void DefineLineupEfficiencyReport(TReportData& data) {
  data.ProjectFileName = "reports.rav";
  data.ReportName = "LineupEfficiency";
  data.Caption = "Eficiencia de los quintetos";
  data.Copies = 1;
}

void FillLineupEfficiencyReport(TReportData& data, const TModel& model, const TMessageSource& messages) {
  data.Orientation = TReportOrientation::Portrait;
  SetCommonHeader(data, model, messages, THeaderScores::With);
  // Empty until a generation; set here so that they stand before the labels.
  data.SetParameter("COUNTRYSELECTED", "");
  data.SetParameter("OPTIONSELECTED", "");
  data.AddConnection("LineupEfficiencyConnection", std::make_unique<TLineupEfficiencyConnection>(model, messages));
}

TStatus GenerateLineupReport(TReportData& data, int team, int option) {
  auto* lineups = dynamic_cast<TLineupEfficiencyConnection*>(data.Connection("LineupEfficiencyConnection"));
  if (!lineups) return TError{"the report has no lineups"};
  if (TStatus generated = lineups->Generate(team, option); !generated) return generated;
  data.SetParameter("COUNTRYSELECTED", lineups->TeamName(team));
  data.SetParameter("OPTIONSELECTED", lineups->OptionLabel(option));
  return {};
}

TLineupEfficiencyConnection::TLineupEfficiencyConnection(const TModel& model, const TMessageSource& messages)
    : Model_(model) {
  for (int team = 1; team <= 2; ++team) {
    Stints_[static_cast<std::size_t>(team - 1)] = StintsOf(model.Actions(), model.MatchInfo.CurrentGameTime, team);
    const TTeam& roster = model.MatchInfo.Team(team);
    TeamNames_[static_cast<std::size_t>(team - 1)] = roster.Name;
    for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
      const TPlayer& player = roster.Player(slot);
      Players_.push_back(
          {team, player.Number, ShirtText(player.Number) + ". " + player.Name + " " + player.Surname + " "});
    }
  }
  for (std::size_t i = 0; i < kLineupOptions.size(); ++i) OptionLabels_[i] = messages.Message(kLineupOptions[i]);
}

TStatus TLineupEfficiencyConnection::Generate(int team, int option) {
  if (team < 1 || team > 2) return TError{"team " + std::to_string(team) + " is not 1 or 2"};
  if (option < 0 || option >= static_cast<int>(kLineupOptions.size())) {
    return TError{"option " + std::to_string(option) + " is not 0 to 6"};
  }
  auto values = StintValues(Stints_[static_cast<std::size_t>(team - 1)], Model_.Actions(), team, option);
  if (!values) return TError{values.Error()};
  auto results = LineupResults(std::move(values.Value()));
  if (!results) return TError{results.Error()};
  Rows_.clear();
  for (const TStint& entry : results.Value()) {
    if (option == 0 && entry.Value == 0) continue;
    Rows_.push_back({PlayersText(entry, team), LineupValueText(entry.Value, option)});
  }
  return {};
}

std::string TLineupEfficiencyConnection::PlayersText(const TStint& entry, int team) const {
  std::string text;
  for (const std::string& slot : entry.Players) {
    for (const TPlayerEntry& player : Players_) {
      if (player.Team == team && std::to_string(player.Number) == slot) text += player.Text;
    }
  }
  return text;
}

std::vector<TReportColumn> TLineupEfficiencyConnection::Columns() {
  return {{"TeamPlayers", 255, "TeamPlayers"}, {"TeamScore", 255, "TeamScore"}};
}

std::vector<std::string> TLineupEfficiencyConnection::Row(int index) {
  if (index < 0 || index >= static_cast<int>(Rows_.size())) return std::vector<std::string>(2);
  const auto& row = Rows_[static_cast<std::size_t>(index)];
  return {row[0], row[1]};
}

}  // namespace velmora

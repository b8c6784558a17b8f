#include "reports/team_leaders_report.h"

#include <cmath>
#include <memory>

#include "records/game_time.h"
#include "records/team.h"
#include "records/text_utils.h"
#include "reports/common_header.h"
#include "stats/model.h"

namespace velmora {

namespace {

using enum TLeaderKind;

constexpr std::array<TLeaderCategory, 19> kCategories = {{
    {"P2FG", "Canastas de 2 puntos anotadas", true, "2Points_FG_Made", "P2M", "", Integer},
    {"P2FGATT", "Intentos de canastas de 2 puntos", false, "2Points_FG_Attempted", "P2A", "", Integer},
    {"P2FGPER", "% de canastas de 2 puntos", false, "2Points_FG_PERCENTS", "P2M", "P2A", Percent},
    {"P3FG", "Canastas de 3 puntos anotadas", true, "3Points_FG_Made", "P3M", "", Integer},
    {"P3FGATT", "Intentos de canastas de 3 puntos", false, "3Points_FG_Attempted", "P3A", "", Integer},
    {"P3FGPER", "% de canastas de 3 puntos", false, "3Points_FG_PERCENTS", "P3M", "P3A", Percent},
    {"FT", "Tiros libres anotados", true, "FT_Made", "P1M", "", Integer},
    {"FTATT", "Intentos de tiros libres", false, "FT_Attempted", "P1A", "", Integer},
    {"FTPER", "Porcentaje de tiros libres", false, "FT_PERCENTS", "P1M", "P1A", Percent},
    {"REBOFF", "Rebotes ofensivos", false, "Reb_Offensive", "RO", "", Integer},
    {"REBDEF", "Rebotes defensives", false, "Reb_Defensive", "RD", "", Integer},
    {"REBTOT", "Rebotes totales", true, "Reb_Total", "RT", "", Integer},
    {"ASSI", "Asistencias", true, "Assists", "AS", "", Integer},
    {"PF", "Faltas personales", false, "Fouls", "PF", "", Integer},
    {"TURN", "Perdidas de balon", false, "Turnovers", "TO", "", Integer},
    {"ST", "Recuperaciones", true, "Steals", "ST", "", Integer},
    {"BS", "Tapones", true, "Blocked_Shots", "BS", "", Integer},
    {"PTS", "Puntos totales", true, "Total_Points", "PTS", "", Integer},
    {"MINU", "Minutos jugados", true, "Minutes_Played", "MIN", "", Minutes},
}};

// The ranking holds at least this many places; the empty ones count in a tie of nothing.
constexpr std::size_t kRankingPlaces = 13;

struct TRanked {
  const TPlayer* Player = nullptr;  // none: an empty place
  double Value = 0;
};

double ValueOf(const TIntegerHash& table, const TLeaderCategory& category) {
  const int made = table.Get(category.Made);
  if (category.Kind == Percent) return static_cast<double>(PercentTenths(made, table.Get(category.Attempted))) / 10;
  return made;
}

std::string ValueText(double value, TLeaderKind kind) {
  if (kind == Minutes) return MinutesSecondsText(static_cast<int>(std::nearbyint(value)));
  if (kind == Integer) return std::to_string(static_cast<long long>(value));
  const long long tenths = std::llround(value * 10);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace

std::span<const TLeaderCategory> LeaderCategories() { return kCategories; }

TLeaderSelection InitialLeaderSelection() {
  TLeaderSelection selection{};
  for (std::size_t i = 0; i < kCategories.size(); ++i) selection[i] = kCategories[i].Checked;
  return selection;
}

TResult<TLeaderSelection> LeaderSelectionOf(std::string_view names) {
  TLeaderSelection selection{};
  for (const std::string& name : SplitTrimmed(names, ',')) {
    const auto found = std::find_if(kCategories.begin(), kCategories.end(),
                                    [&](const TLeaderCategory& category) { return category.Name == name; });
    if (found == kCategories.end()) return TError{"unknown category \"" + name + "\""};
    selection[static_cast<std::size_t>(found - kCategories.begin())] = true;
  }
  return selection;
}

std::array<TLeaderPlace, 3> LeaderPlaces(const TModel& model, int team, const TLeaderCategory& category) {
  const TTeam& roster = model.MatchInfo.Team(team);
  std::vector<TRanked> ranking(std::max<std::size_t>(kRankingPlaces, static_cast<std::size_t>(roster.PlayerCount)));
  for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
    const double value = ValueOf(model.Stats(TModel::PlayerSlot(team, slot)), category);
    // Among equal values the later roster slot stands higher.
    const auto place = std::find_if(ranking.begin(), ranking.end(), [&](const TRanked& r) { return r.Value <= value; });
    ranking.insert(place, TRanked{&roster.Player(slot), value});
    ranking.pop_back();
  }
  std::array<TLeaderPlace, 3> places;
  std::size_t at = 0;
  for (std::size_t p = 0; p < places.size();) {
    const double value = ranking[at].Value;
    const auto tied = static_cast<std::size_t>(
        std::find_if(ranking.begin() + static_cast<std::ptrdiff_t>(at), ranking.end(),
                     [&](const TRanked& r) { return r.Value != value; }) -
        (ranking.begin() + static_cast<std::ptrdiff_t>(at)));
    if (tied <= places.size() - p) {
      for (std::size_t i = 0; i < tied; ++i, ++p, ++at) {
        const TRanked& ranked = ranking[at];
        if (ranked.Player) {
          places[p] = {ShirtText(ranked.Player->Number), ranked.Player->Name + " " + ranked.Player->Surname,
                       ValueText(ranked.Value, category.Kind)};
        }
      }
      continue;
    }
    if (value != 0) {
      places[p] = {"", std::to_string(tied) + " jugadores", ValueText(value, category.Kind)};
    } else if (p == 0) {
      places[p].Player = "Sin jugadores";
    }
    break;
  }
  return places;
}

void DefineTeamLeadersReport(TReportData& data) {
  data.ProjectFileName = "reports.rav";
  data.ReportName = "TeamLeaders";
  data.Caption = "Líderes del partido";
  data.Copies = 1;
}

void FillTeamLeadersReport(TReportData& data, const TModel& model, const TMessageSource& messages) {
  data.Orientation = TReportOrientation::Portrait;
  SetCommonHeader(data, model, messages, THeaderScores::With);
  data.AddConnection("TeamLeadersConnection", std::make_unique<TTeamLeadersConnection>(model, messages));
}

TTeamLeadersConnection::TTeamLeadersConnection(const TModel& model, const TMessageSource& messages)
    : Model_(model), Selection_(InitialLeaderSelection()) {
  for (const TLeaderCategory& category : kCategories) Titles_.push_back(messages.Message(category.TitleKey));
}

int TTeamLeadersConnection::Open() {
  Marked_.clear();
  for (std::size_t i = 0; i < kCategories.size(); ++i) {
    if (Selection_[i]) Marked_.push_back(&kCategories[i]);
  }
  return static_cast<int>(Marked_.size());
}

std::vector<TReportColumn> TTeamLeadersConnection::Columns() {
  std::vector<TReportColumn> columns{{"Title", 8, "Title"}};
  for (const std::string team : {"Team1", "Team2"}) {
    columns.push_back({team + "Name", 255, "Team Name"});
    for (const std::string n : {"1", "2", "3"}) {
      columns.push_back({team + "No" + n, 255, "No " + n});
      columns.push_back({team + "PlayerName" + n, 255, "Player Name " + n});
      columns.push_back({team + "Value" + n, 255, "Value " + n});
    }
  }
  return columns;
}

std::vector<std::string> TTeamLeadersConnection::Row(int index) {
  if (index < 0 || index >= static_cast<int>(Marked_.size())) return std::vector<std::string>(21);
  const TLeaderCategory& category = *Marked_[static_cast<std::size_t>(index)];
  std::vector<std::string> row{Titles_[static_cast<std::size_t>(&category - kCategories.data())]};
  for (int team = 1; team <= 2; ++team) {
    const TTeam& roster = Model_.MatchInfo.Team(team);
    row.push_back(roster.PlayerCount > 0 ? roster.Name : "");
    for (const TLeaderPlace& place : LeaderPlaces(Model_, team, category)) {
      row.insert(row.end(), {place.Number, place.Player, place.Value});
    }
  }
  return row;
}

}  // namespace velmora

// "velmora-cli chart KIND ...": the chart data of a game as JSON, its picture as PNG and its printed
// sheet as PDF; "velmora-cli report KIND ..." the data of that printed sheet and the same PDF.

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <tuple>

#include <nlohmann/json.hpp>

#include "chart_png.h"
#include "charts/chart_reports.h"
#include "charts/heat_map.h"
#include "cli_session.h"
#include "commands.h"
#include "records/text_utils.h"
#include "report_json.h"
#include "stats/model.h"

namespace velmora::cli {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kChartUsage =
    "usage: velmora-cli chart shotchart|heatmap|teamcomparison|scoredevelopment (GAME | --file FILE)\n"
    "           [--json] [--png FILE] [--pdf FILE] [options]\n";
constexpr const char* kReportUsage =
    "usage: velmora-cli report shotchart|heatmap|teamcomparison|scoredevelopment (GAME | --file FILE)\n"
    "           [--json] [--pdf FILE] [options]\n";
constexpr const char* kOptionsUsage =
    "  --players 1:7,2:10   only these players are chosen (team:stored shirt number); by default\n"
    "                       every player, none for scoredevelopment\n"
    "  shotchart, heatmap:  --no-team 1|2, --periods 1,3, --by-half; shotchart --bw;\n"
    "                       heatmap --intensity N (2..100, 50)\n"
    "  teamcomparison:      --stat N (1..17, 1)\n"
    "  scoredevelopment:    --option N (1..6, 1), --no-accumulated, --bars, --flat (no 3D)\n";
constexpr const char* kChartOutputUsage =
    "--png writes the picture the window shows, --pdf the chart as its window prints it. Without\n"
    "either the chart's data is printed as JSON; with them as well when --json is given.\n";
constexpr const char* kReportOutputUsage =
    "--json prints the data of the chart's report (also the default when no --pdf is given), --pdf\n"
    "the chart as its window prints it, as velmora-cli chart --pdf writes it.\n";

struct TChartRequest {
  bool Report = false;  // "report KIND": the printed chart's data instead of the chart's, no picture
  std::string Kind;
  std::string Game;
  std::optional<std::string> File;
  bool Json = false;
  std::optional<std::string> Png;
  std::optional<std::string> Pdf;
  std::optional<std::vector<std::pair<int, int>>> Players;  // team, stored shirt number
  int NoTeam = 0;
  std::vector<int> Periods;
  bool ByHalf = false;
  bool BlackAndWhite = false;
  int Intensity = kDefaultIntensity;
  int Stat = 1;
  int Option = 1;
  bool Accumulated = true;
  bool Bars = false;
  bool ThreeD = true;
};

// The options each kind takes besides the common ones.
const std::map<std::string, std::vector<std::string>> kKindOptions = {
    {"shotchart", {"--players", "--no-team", "--periods", "--by-half", "--bw"}},
    {"heatmap", {"--players", "--no-team", "--periods", "--by-half", "--intensity"}},
    {"teamcomparison", {"--players", "--stat"}},
    {"scoredevelopment", {"--players", "--option", "--no-accumulated", "--bars", "--flat"}},
};

std::optional<int> NumberIn(const std::string& text, int low, int high) {
  const auto number = ParseInt32(text);
  if (!number || *number < low || *number > high) return std::nullopt;
  return *number;
}

// The request, or an error message for the usage.
TResult<TChartRequest> ReadRequest(const std::vector<std::string>& args, bool report) {
  const std::string command = report ? "report" : "chart";
  if (args.empty() || !kKindOptions.contains(args[0])) return TError{"velmora-cli: " + command + " needs a kind"};
  TChartRequest request;
  request.Report = report;
  request.Kind = args[0];
  // Switches and the value they set; numbers with their range.
  const std::map<std::string, std::pair<bool*, bool>> switches = {
      {"--json", {&request.Json, true}},         {"--by-half", {&request.ByHalf, true}},
      {"--bw", {&request.BlackAndWhite, true}},  {"--no-accumulated", {&request.Accumulated, false}},
      {"--bars", {&request.Bars, true}},         {"--flat", {&request.ThreeD, false}}};
  const std::map<std::string, std::tuple<int*, int, int>> numbers = {
      {"--no-team", {&request.NoTeam, 1, 2}},
      {"--intensity", {&request.Intensity, kMinIntensity, kMaxIntensity}},
      {"--stat", {&request.Stat, 1, kComparisonStatistics}},
      {"--option", {&request.Option, 1, kDevelopmentOptions}}};
  const std::vector<std::string>& allowed = kKindOptions.at(request.Kind);
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& option = args[i];
    const auto bad = [&option](const std::string& why) { return TError{"velmora-cli: " + option + " " + why}; };
    if (!option.starts_with("--")) {
      if (!request.Game.empty() || request.File) return TError{"velmora-cli: one game only"};
      request.Game = option;
      continue;
    }
    const bool common = option == "--json" || option == "--file" || (option == "--png" && !report) || option == "--pdf";
    if (!common && std::find(allowed.begin(), allowed.end(), option) == allowed.end()) {
      return bad("does not apply to " + command + " " + request.Kind);
    }
    if (const auto flag = switches.find(option); flag != switches.end()) {
      *flag->second.first = flag->second.second;
      continue;
    }
    if (i + 1 == args.size()) return bad("needs a value");
    const std::string& value = args[++i];
    if (option == "--file") {
      if (!request.Game.empty() || request.File) return TError{"velmora-cli: one game only"};
      request.File = value;
    } else if (option == "--png") {
      request.Png = value;
    } else if (option == "--pdf") {
      request.Pdf = value;
    } else if (option == "--players") {
      std::vector<std::pair<int, int>> players;
      for (const std::string& entry : SplitTrimmed(value, ',')) {
        const auto parts = SplitTrimmed(entry, ':');
        const auto team = parts.size() == 2 ? NumberIn(parts[0], 1, 2) : std::nullopt;
        const auto shirt = parts.size() == 2 ? ParseInt32(parts[1]) : std::nullopt;
        if (!team || !shirt) return bad("takes team:shirt pairs such as 1:7,2:10");
        players.emplace_back(*team, *shirt);
      }
      request.Players = std::move(players);
    } else if (option == "--periods") {
      for (const std::string& period : SplitTrimmed(value, ',')) {
        const auto number = NumberIn(period, 1, kMaxPeriod);
        if (!number) return bad("takes period numbers such as 1,3");
        request.Periods.push_back(*number);
      }
    } else {
      const auto& [target, low, high] = numbers.at(option);
      const auto number = NumberIn(value, low, high);
      if (!number) return bad("takes a number from " + std::to_string(low) + " to " + std::to_string(high));
      *target = *number;
    }
  }
  if (request.Game.empty() && !request.File) return TError{"velmora-cli: " + command + " needs a game or --file FILE"};
  return request;
}

// The request's game in the form the session loads it from.
std::vector<std::string> GameSource(const TChartRequest& request) {
  return request.File ? std::vector<std::string>{"--file", *request.File} : std::vector<std::string>{request.Game};
}

// Chooses exactly the requested players; an error names one missing from its roster.
TStatus ChoosePlayers(const TChartRequest& request, const std::function<std::vector<TChartPlayer>&(int)>& players) {
  if (!request.Players) return {};
  for (int team = 1; team <= 2; ++team) {
    for (TChartPlayer& player : players(team)) player.Selected = false;
  }
  for (const auto& [team, shirt] : *request.Players) {
    bool found = false;
    for (TChartPlayer& player : players(team)) {
      if (player.Number == shirt) player.Selected = found = true;
    }
    if (!found) return TError{"No hay jugador " + std::to_string(team) + ":" + std::to_string(shirt) + " en el equipo."};
  }
  return {};
}

// What to make besides the chart's JSON; the printed chart's data only for a report or a PDF.
struct TChartOutput {
  const TChartRequest& Request;
  const TModel& Model;
  const TMessages& Messages;
  const TConfiguration& Config;
  std::optional<TReportData> Report;

  bool Wanted() const { return Request.Png || Request.Pdf; }
  // Makes the printed chart's data when it is wanted; the files to write, none when none is asked for.
  std::optional<TChartFiles> Files(TChartReport report, const TChartParameters& parameters) {
    if (Request.Report || Request.Pdf) Report = MakeChartReportData(report, Model, Messages, parameters);
    if (!Wanted()) return std::nullopt;
    return TChartFiles{Request.Png, Request.Pdf, Report ? &*Report : nullptr, &Config};
  }
};

TResult<Json> ShotChart(TChartOutput& output) {
  const TChartRequest& request = output.Request;
  const TModel& model = output.Model;
  TShotChart chart(model);
  if (TStatus chosen = ChoosePlayers(request, [&](int team) -> std::vector<TChartPlayer>& { return chart.Players(team); });
      !chosen) {
    return TError{chosen.Error()};
  }
  if (request.NoTeam != 0) chart.SetTeamTicked(request.NoTeam, false);
  for (const int period : request.Periods) {
    if (static_cast<std::size_t>(period) >= chart.PeriodTicks().size()) {
      return TError{"El partido no tiene el cuarto " + std::to_string(period) + "."};
    }
    if (!chart.PeriodTicks()[static_cast<std::size_t>(period)]) chart.TogglePeriod(static_cast<std::size_t>(period));
  }
  chart.SetByHalf(request.ByHalf);
  const std::vector<TShotMark> shots = chart.Shots();
  if (const auto files = output.Files(TChartReport::ShotChart, chart.PrintParameters())) {
    const TStatus written = request.Kind == "heatmap" ? WriteHeatMap(shots, request.Intensity, *files)
                                                      : WriteShotChart(shots, request.BlackAndWhite, *files);
    if (!written) return TError{written.Error()};
  }
  const auto labels = chart.SideLabels();
  Json json = {{"side_labels", {labels[0], labels[1]}}, {"shots", Json::array()}};
  for (const TShotMark& shot : shots) {
    json["shots"].push_back({{"x", shot.Point.X},
                             {"y", shot.Point.Y},
                             {"team", shot.Team},
                             {"made", shot.Made},
                             {"period", shot.Period},
                             {"side", shot.Side == TCourtSide::Left ? "left" : "right"}});
  }
  json["description"] = chart.Description();
  if (request.Kind == "heatmap") {
    THeatGrid grid;
    for (const TShotMark& shot : shots) grid.Stamp(shot.Point);
    grid.Normalise(request.Intensity);
    json["cells"] = grid.Cells();
  }
  return json;
}

TResult<Json> TeamComparison(TChartOutput& output) {
  const TChartRequest& request = output.Request;
  TTeamComparison comparison(output.Model, output.Messages);
  if (TStatus chosen = ChoosePlayers(request, [&](int team) -> std::vector<TChartPlayer>& { return comparison.Players(team); });
      !chosen) {
    return TError{chosen.Error()};
  }
  comparison.SetStatistic(request.Stat);
  const TComparisonChart chart = comparison.Chart();
  if (const auto files = output.Files(TChartReport::TeamComparison, comparison.PrintParameters())) {
    if (TStatus written = WriteComparison(chart, *files); !written) return TError{written.Error()};
  }
  Json json = {{"title", chart.Title}, {"series", Json::array()}};
  for (const TComparisonSeries& series : chart.Series) {
    Json bars = series.Bars ? Json{(*series.Bars)[0], (*series.Bars)[1]} : Json(nullptr);
    json["series"].push_back({{"title", series.Title}, {"in_legend", series.InLegend}, {"bars", bars}});
  }
  return json;
}

TResult<Json> ScoreDevelopment(TChartOutput& output) {
  const TChartRequest& request = output.Request;
  const TModel& model = output.Model;
  TScoreDevelopment development(model);
  if (TStatus chosen =
          ChoosePlayers(request, [&](int team) -> std::vector<TChartPlayer>& { return development.Players(team); });
      !chosen) {
    return TError{chosen.Error()};
  }
  development.SetOption(request.Option);
  development.SetAccumulated(request.Accumulated);
  const TDevelopmentChart chart = development.Chart();
  if (const auto files = output.Files(TChartReport::ScoreDevelopment, development.PrintParameters())) {
    const std::array<std::string, 2> names{model.MatchInfo.Team1.Name, model.MatchInfo.Team2.Name};
    if (TStatus written = WriteDevelopment(chart, names, request.Bars, request.ThreeD, *files); !written) {
      return TError{written.Error()};
    }
  }
  Json json = {{"title", chart.Title}, {"minutes", chart.Minutes}};
  for (std::size_t t = 0; t < 2; ++t) {
    Json& values = json[t == 0 ? "team1" : "team2"] = Json::array();
    for (const double value : chart.Values[t]) {
      // Percentages are fractions; every other figure is a count.
      values.push_back(chart.Percentage ? Json(value) : Json(static_cast<int>(value)));
    }
  }
  json["bands"] = Json::array();
  for (const TPresence band : chart.Bands) json["bands"].push_back(PresenceName(band));
  return json;
}

// "chart KIND ..." and "report KIND ...": one reading of the options and one way to the PDF.
int RunChart(const TCliEnvironment& environment, const std::vector<std::string>& args, bool report, std::ostream& out,
             std::ostream& err) {
  if (!report && args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kChartUsage << kOptionsUsage << kChartOutputUsage;
    return kSuccess;
  }
  auto request = ReadRequest(args, report);
  if (!request) {
    err << request.Error() << '\n'
        << (report ? kReportUsage : kChartUsage) << kOptionsUsage << (report ? kReportOutputUsage : kChartOutputUsage);
    return kUsageError;
  }
  const TChartRequest& asked = request.Value();
  TCliSession session(environment);
  if (TStatus loaded = session.LoadGame(GameSource(asked), err); !loaded) {
    err << loaded.Error() << '\n';
    return kFailure;
  }
  const TModel& model = session.Model();
  const TMessages messages = session.ReportMessages(err);

  const std::string& kind = asked.Kind;
  TChartOutput output{asked, model, messages, session.Config(), std::nullopt};
  const TResult<Json> json = kind == "teamcomparison"     ? TeamComparison(output)
                             : kind == "scoredevelopment" ? ScoreDevelopment(output)
                                                          : ShotChart(output);
  if (!json) {
    err << json.Error() << '\n';
    return kFailure;
  }
  if (asked.Json || !output.Wanted()) out << (report ? ReportJson(*output.Report) : json.Value()).dump(2) << '\n';
  return kSuccess;
}

}  // namespace

int ChartCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err) {
  return RunChart(environment, args, false, out, err);
}

bool IsChartKind(const std::string& name) { return kKindOptions.contains(name); }

int ChartReportCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err) {
  return RunChart(environment, args, true, out, err);
}

}  // namespace velmora::cli

// "report NAME (GAME | --file FILE) [--json] [--pdf FILE]": a report's data as the report window
// holds it, and the PDF its "Exportar a PDF" writes.

#include <optional>
#include <ostream>

#include "cli_session.h"
#include "commands.h"
#include "platform/folders.h"
#include "report_json.h"
#include "platform/messages.h"
#include "records/text_utils.h"
#include "reports/engine/headless_gui.h"
#include "reports/engine/report_generator.h"
#include "reports/lineup_efficiency_report.h"
#include "reports/report_list.h"
#include "reports/team_leaders_report.h"

namespace velmora::cli {

namespace {

struct TReportOptions {
  std::string Name;
  std::vector<std::string> Game;  // GAME, or --file FILE
  bool Json = false;
  std::optional<std::string> Pdf;
  std::optional<std::string> Categories;  // of the team leaders
  // Of the lineups; a value out of range is a usage fault.
  std::optional<int> Team;
  std::optional<int> Option;
};

// A number from `low` to `high`; none otherwise.
std::optional<int> ChoiceOf(const std::string& text, int low, int high) {
  const auto value = ParseInt32(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return *value;
}

std::optional<TReportOptions> ReadOptions(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  TReportOptions options;
  options.Name = args[0];
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--json") {
      options.Json = true;
    } else if (args[i] == "--pdf" && hasValue && !options.Pdf) {
      options.Pdf = args[++i];
    } else if (args[i] == "--categories" && hasValue && !options.Categories) {
      options.Categories = args[++i];
    } else if (args[i] == "--team" && hasValue && !options.Team) {
      options.Team = ChoiceOf(args[++i], 1, 2);
      if (!options.Team) return std::nullopt;
    } else if (args[i] == "--option" && hasValue && !options.Option) {
      options.Option = ChoiceOf(args[++i], 0, 6);
      if (!options.Option) return std::nullopt;
    } else if (args[i] == "--file" && hasValue && options.Game.empty()) {
      options.Game = {args[i], args[i + 1]};
      ++i;
    } else if (!args[i].starts_with("--") && options.Game.empty()) {
      options.Game = {args[i]};
    } else {
      return std::nullopt;
    }
  }
  if (options.Game.empty()) return std::nullopt;
  return options;
}

std::string Usage() {
  std::string names;
  for (const TReportKind& kind : ReportKinds()) names += (names.empty() ? "" : ", ") + std::string(kind.Name);
  return "usage: velmora-cli report NAME (GAME | --file FILE) [--json] [--pdf FILE] [--categories NAMES]\n"
         "       [--team 1|2] [--option 0..6] [chart options]\n"
         "  NAME is one of: " +
         names + ", shotchart, heatmap, teamcomparison, scoredevelopment" +
         "\n  --json prints the report's data (also the default when no --pdf is given)"
         "\n  --pdf FILE writes the report as a PDF file"
         "\n  --categories P2FG,P3FG,... the team leaders' categories (default: those ticked in its window)"
         "\n  --team 1|2 --option 0..6 the lineups' team and figure (default: team 1, playing time)"
         "\n  The charts take the options of velmora-cli chart (velmora-cli report shotchart lists them).\n";
}

// What the report's window offers beyond its data: the team leaders' categories, the lineups'
// team and figure.
TStatus ApplyChoices(const TReportOptions& options, TReportData& data) {
  if ((options.Team || options.Option) && !data.Connection("LineupEfficiencyConnection")) {
    return TError{"velmora-cli: --team and --option are options of the lineup efficiency"};
  }
  if (!options.Categories) return {};
  auto* leaders = dynamic_cast<TTeamLeadersConnection*>(data.Connection("TeamLeadersConnection"));
  if (!leaders) return TError{"velmora-cli: --categories is an option of the team leaders"};
  auto selection = LeaderSelectionOf(*options.Categories);
  if (!selection) return TError{"velmora-cli: " + selection.Error()};
  leaders->Select(selection.Value());
  return {};
}

TStatus WriteReportPdf(const TReportData& data, const TConfiguration& config, const std::string& file) {
  const report::THeadlessGui gui;
  auto pages = report::GenerateReport(data.ProjectFileName, data.ReportName, report::InputOf(data, {}),
                                      report::ReportFilesOf(config, ProgramFolder()));
  if (!pages) return TError{pages.Error()};
  return report::WritePdf(pages.Value(), report::ReportPdfInfo(), file);
}

}  // namespace

int ReportCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err) {
  if (!args.empty() && IsChartKind(args[0])) return ChartReportCommand(environment, args, out, err);
  const auto options = ReadOptions(args);
  const TReportKind* kind = options ? FindReportKind(options->Name) : nullptr;
  if (!kind) {
    if (options) err << "velmora-cli: unknown report \"" << options->Name << "\"\n";
    err << Usage();
    return kUsageError;
  }
  TCliSession session(environment);
  if (TStatus loaded = session.LoadGame(options->Game, err); !loaded) {
    err << loaded.Error() << '\n';
    return kFailure;
  }
  const TMessages messages = session.ReportMessages(err);
  TReportData data = MakeReportData(*kind, session.Model(), messages);
  if (TStatus applied = ApplyChoices(*options, data); !applied) {
    err << applied.Error() << '\n' << Usage();
    return kUsageError;
  }
  // The lineups as "Generar informe" leaves them; a fault of the game's data is no usage fault.
  if (data.Connection("LineupEfficiencyConnection")) {
    if (TStatus made = GenerateLineupReport(data, options->Team.value_or(1), options->Option.value_or(0)); !made) {
      err << "velmora-cli: " << made.Error() << '\n';
      return kFailure;
    }
  }
  if (options->Json || !options->Pdf) out << ReportJson(data).dump(2) << '\n';
  if (options->Pdf) {
    if (TStatus written = WriteReportPdf(data, session.Config(), *options->Pdf); !written) {
      err << written.Error() << '\n';
      return kFailure;
    }
  }
  return kSuccess;
}

}  // namespace velmora::cli

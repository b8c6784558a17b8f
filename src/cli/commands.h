#pragma once
// The subcommands of velmora-cli; each returns its exit status.

#include <iosfwd>
#include <string>
#include <vector>

#include "command_line.h"

namespace velmora::cli {

int SettingsCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err);
int EvalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// "stats", "boxscore" and "actions" of a stored game or of a game read from a transfer file.
int GameCommand(const TCliEnvironment& environment, const std::string& command, const std::vector<std::string>& args,
                std::ostream& out, std::ostream& err);
// "import", "export", "delete", "checksum" and "games" on the game store.
int StoreCommand(const TCliEnvironment& environment, const std::string& command, const std::vector<std::string>& args,
                 std::ostream& out, std::ostream& err);
// "server login", "ping", "games", "pull", "push", "upload-stats" and "replay".
int ServerCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err);
// "report NAME (GAME | --file FILE) [--json] [--pdf FILE]".
int ReportCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err);
// "export federation" and "export xlsx": the federation file or the workbook of a stored game or of
// a transfer file. IsFileExport tells them from "export GAME FILE".
bool IsFileExport(const std::vector<std::string>& args);
int FileExportCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& err);
// "chart shotchart|heatmap|teamcomparison|scoredevelopment" of a stored game or a transfer file.
int ChartCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err);
// "report shotchart|heatmap|teamcomparison|scoredevelopment": the report a chart prints through,
// made with the options "chart" takes for that kind; its PDF is the sheet "chart --pdf" writes.
bool IsChartKind(const std::string& name);
int ChartReportCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err);
// "check": the slips the game's checks find, readable or as JSON; 0 whatever they find.
int CheckCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err);
int CatalogueCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli

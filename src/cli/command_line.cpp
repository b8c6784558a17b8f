#include "command_line.h"

#include <ostream>

#include "platform/folders.h"
#include "commands.h"

namespace velmora::cli {

namespace {

constexpr const char* kUsage =
    "usage: velmora-cli [--data-dir DIR] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  settings                 list every setting as KEY=VALUE\n"
    "  settings get KEY         print one setting\n"
    "  settings set KEY VALUE   change one setting and save it\n"
    "  catalogue                print the action catalogue as an ACTIONS document\n"
    "  eval EXPRESSION          evaluate an arithmetic expression\n"
    "  games                    list the stored games (tab-separated)\n"
    "  import FILE              store the game of a transfer file; prints its game number\n"
    "  export GAME FILE         write a stored game to a transfer file\n"
    "  export federation (GAME | --file FILE) OUT\n"
    "                           its box score as the federation's exchange file\n"
    "  export xlsx (GAME | --file FILE) OUT\n"
    "                           its box score as an .xlsx workbook\n"
    "  delete GAME              delete a stored game\n"
    "  checksum GAME            the checksum of a stored game\n"
    "  stats GAME | stats --file FILE\n"
    "                           the statistics of a stored game or of a transfer file, as JSON\n"
    "  boxscore (GAME | --file FILE)\n"
    "                           its BOXSCORE document\n"
    "  actions (GAME | --file FILE)\n"
    "                           its ACTIONS document\n"
    "  report NAME (GAME | --file FILE) [--json] [--pdf FILE]\n"
    "                           a report's data as JSON, or the report as a PDF file; the charts'\n"
    "                           reports take the options of chart (velmora-cli report for more)\n"
    "  check (GAME | --file FILE) [--json]\n"
    "                           the slips the game's checks find (a player on the bench, free\n"
    "                           throws without a foul, ...), one a line or as JSON\n"
    "  server ...               talk to the statistics server (velmora-cli server --help)\n"
    "  chart KIND (GAME | --file FILE) [--json] [--png FILE] [--pdf FILE]\n"
    "                           a chart's data as JSON, its picture and its printed sheet\n"
    "                           (velmora-cli chart --help)\n"
    "\n"
    "Options may stand anywhere; \"--\" ends them (for values that start with \"--\").\n"
    "--data-dir DIR keeps the game store, the log and the settings in DIR instead of the\n"
    "user data folder ($APPDATA/Velmora or $XDG_DATA_HOME/Velmora) and the registry file\n"
    "($XDG_CONFIG_HOME/Talvex/DravonES.json).\n"
    "--version prints the version, --help this text.\n";

}  // namespace

std::filesystem::path TCliEnvironment::DataFolder() const {
  return DataDir ? EnsureDataFolder(*DataDir) : UserDataFolder();
}

std::filesystem::path TCliEnvironment::RegistryFile() const {
  return DataDir ? RegistryFileIn(*DataDir) : DefaultRegistryFile();
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliEnvironment environment;
  std::vector<std::string> rest;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (optionsEnded) {
      rest.push_back(args[i]);
    } else if (args[i] == "--") {
      optionsEnded = true;
    } else if (args[i] == "--data-dir") {
      if (i + 1 == args.size()) {
        err << "velmora-cli: --data-dir needs a folder\n" << kUsage;
        return kUsageError;
      }
      environment.DataDir = args[++i];
    } else if (rest.empty() && (args[i] == "--help" || args[i] == "-h")) {
      out << kUsage;
      return kSuccess;
    } else if (rest.empty() && args[i] == "--version") {
      out << "velmora-cli " << VELMORA_VERSION << '\n';
      return kSuccess;
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.empty()) {
    err << kUsage;
    return kUsageError;
  }

  const std::string command = rest.front();
  const std::vector<std::string> commandArgs(rest.begin() + 1, rest.end());
  try {
    if (command == "settings") return SettingsCommand(environment, commandArgs, out, err);
    if (command == "catalogue") return CatalogueCommand(commandArgs, out, err);
    if (command == "eval") return EvalCommand(commandArgs, out, err);
    if (command == "stats" || command == "boxscore" || command == "actions") {
      return GameCommand(environment, command, commandArgs, out, err);
    }
    if (command == "export" && IsFileExport(commandArgs)) return FileExportCommand(environment, commandArgs, err);
    if (command == "games" || command == "import" || command == "export" || command == "delete" ||
        command == "checksum") {
      return StoreCommand(environment, command, commandArgs, out, err);
    }
    if (command == "server") return ServerCommand(environment, commandArgs, out, err);
    if (command == "report") return ReportCommand(environment, commandArgs, out, err);
    if (command == "chart") return ChartCommand(environment, commandArgs, out, err);
    if (command == "check") return CheckCommand(environment, commandArgs, out, err);
  } catch (const std::exception& error) {
    err << "velmora-cli: " << error.what() << '\n';
    return kFailure;
  }
  err << "velmora-cli: unknown command \"" << command << "\"\n" << kUsage;
  return kUsageError;
}

}  // namespace velmora::cli

#include <ostream>

#include "cli_session.h"
#include "commands.h"
#include "exports/box_score_workbook.h"
#include "exports/federation_file.h"

namespace velmora::cli {

bool IsFileExport(const std::vector<std::string>& args) {
  // Two arguments are the transfer-file export of a game that may be called "xlsx".
  return args.size() >= 3 && (args[0] == "federation" || args[0] == "xlsx");
}

int FileExportCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& err) {
  const bool fromFile = args.size() == 4 && args[1] == "--file";
  const bool fromStore = args.size() == 3 && !args[1].starts_with("--");
  if (!fromFile && !fromStore) {
    err << "usage: velmora-cli export " << args[0] << " (GAME | --file FILE) OUT\n";
    return kUsageError;
  }
  TCliSession session(environment);
  const std::vector<std::string> source(args.begin() + 1, args.end() - 1);
  if (TStatus loaded = session.LoadGame(source, err); !loaded) {
    err << loaded.Error() << '\n';
    return kFailure;
  }
  const TModel& model = session.Model();

  const std::filesystem::path out = args.back();
  const TStatus written = args[0] == "federation"
                              ? WriteFederationFile(model, out)
                              : WriteBoxScoreWorkbook(model, session.Config().GetString("eff_formula"), out);
  if (!written) {
    err << written.Error() << '\n';
    return kFailure;
  }
  return kSuccess;
}

}  // namespace velmora::cli

#include <optional>
#include <ostream>

#include <pugixml.hpp>

#include "app/configuration.h"
#include "app/folders.h"
#include "app/registry.h"
#include "commands.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "stats/stats_json.h"

namespace velmora::cli {

namespace {

struct TGameOptions {
  std::optional<std::string> File;
};

std::optional<TGameOptions> ParseGameOptions(const std::vector<std::string>& args) {
  TGameOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--file" && i + 1 < args.size()) {
      options.File = args[++i];
    } else {
      return std::nullopt;
    }
  }
  if (!options.File) return std::nullopt;
  return options;
}

void PrintDocument(const pugi::xml_document& document, std::ostream& out) {
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
}

}  // namespace

int GameCommand(const TCliEnvironment& environment, const std::string& command, const std::vector<std::string>& args,
                std::ostream& out, std::ostream& err) {
  const auto options = ParseGameOptions(args);
  if (!options) {
    err << "usage: velmora-cli " << command << " --file FILE\n";
    return kUsageError;
  }

  TRegistry registry(environment.RegistryFile());
  TConfiguration config(ProgramFolder());
  config.Load(registry);
  TModel model(config);

  auto game = ReadTransferFile(*options->File);
  if (!game) {
    err << game.Error() << '\n';
    return kFailure;
  }
  LoadTransferGame(model, std::move(game.Value()));

  if (command == "stats") {
    out << StatsJson(model) << '\n';
  } else {
    pugi::xml_document document;
    if (command == "boxscore") {
      BoxScoreDocument(model, document);
    } else {
      ActionsDocument(model, document);
    }
    PrintDocument(document, out);
  }
  return kSuccess;
}

}  // namespace velmora::cli

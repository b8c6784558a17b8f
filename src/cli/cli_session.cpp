#include "cli_session.h"

#include <ostream>

#include "platform/folders.h"
#include "platform/logger.h"
#include "stats/game_documents.h"
#include "store/database_plugin.h"

namespace velmora::cli {

TCliSession::TCliSession(const TCliEnvironment& environment)
    : Environment_(environment), Registry_(environment.RegistryFile()), Config_(ProgramFolder()), Model_(Config_) {
  Config_.Load(Registry_);
}

TCliSession::~TCliSession() = default;

TStatus TCliSession::OpenStore(TStoreUse use, std::ostream& err) {
  const std::filesystem::path dataFolder = Environment_.DataFolder();
  if (!Logger().IsOpen()) {
    if (TStatus opened = Logger().Open(dataFolder); !opened) {
      if (use == TStoreUse::Write) {
        if (const auto reason = UnwritableReason(dataFolder)) return TError{"No se puede escribir: " + *reason + "."};
        return opened;
      }
      err << "velmora-cli: the day log cannot be written (" << opened.Error() << "); going on without it\n";
    }
  }
  auto store = TDatabasePlugin::Open(dataFolder, ReadVersionValue(Registry_, "DBVersion"), ProgramFolder());
  if (!store) return TError{store.Error()};
  if (use == TStoreUse::Write && !store.Value()->WriteRefusal().empty()) {
    return TError{store.Value()->WriteRefusal()};
  }
  Store_ = store.Value().get();
  Model_.SetStore(std::move(store.Value()));
  return {};
}

TStatus TCliSession::OpenStoredGame(const std::string& gameNumber) {
  if (Store_->FindGameId(gameNumber) == 0) return TError{"No existe el partido \"" + gameNumber + "\"."};
  if (!Model_.OpenGame(gameNumber)) return TError{"No se pudo leer el partido \"" + gameNumber + "\"."};
  return {};
}

TStatus TCliSession::LoadGame(const std::vector<std::string>& source, std::ostream& err) {
  if (source.size() == 2 && source[0] == "--file") {
    auto game = ReadTransferFile(source[1]);
    // A file that was read but not understood is named too, as a file that could not be read is.
    if (!game) {
      const bool named = game.Error().find(source[1]) != std::string::npos;
      return TError{named ? game.Error() : source[1] + ": " + game.Error()};
    }
    LoadTransferGame(Model_, std::move(game.Value()));
    return {};
  }
  if (TStatus opened = OpenStore(TStoreUse::Read, err); !opened) return opened;
  return OpenStoredGame(source.at(0));
}

TMessages TCliSession::ReportMessages(std::ostream& err) const {
  TMessages messages;
  if (!messages.Load(ProgramFolder(), Config_.GetString("report_language"))) {
    err << "velmora-cli: Failed to load messages from language file\n";
  }
  return messages;
}

}  // namespace velmora::cli

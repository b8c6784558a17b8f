#pragma once
// What a subcommand works with: the settings of the registry, a game model and, when asked for,
// the local game store of the data folder.

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "platform/configuration.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "command_line.h"
#include "records/result.h"
#include "stats/model.h"

namespace velmora {
class TDatabasePlugin;
}

namespace velmora::cli {

class TCliSession {
 public:
  explicit TCliSession(const TCliEnvironment& environment);
  ~TCliSession();

  // What a command does with the store: reading works on a read-only or full disk, where a day
  // log that cannot be opened is only reported (on `err`).
  enum class TStoreUse { Read, Write };

  // Opens the log and the game store of the data folder (in the registry's "DBVersion" folder);
  // the error says why it cannot be used as asked.
  TStatus OpenStore(TStoreUse use, std::ostream& err);
  // The game from the store, or none with the reason when it is not stored.
  TStatus OpenStoredGame(const std::string& gameNumber);
  // The game named on the command line: a transfer file ("--file", FILE) or a stored game (GAME).
  TStatus LoadGame(const std::vector<std::string>& source, std::ostream& err);
  // The messages of the "report_language" setting; a language file that cannot be read is
  // reported on `err` and leaves them empty.
  TMessages ReportMessages(std::ostream& err) const;

  TDatabasePlugin& Store() const { return *Store_; }
  TModel& Model() { return Model_; }
  TConfiguration& Config() { return Config_; }
  TRegistry& Registry() { return Registry_; }

 private:
  const TCliEnvironment& Environment_;
  TRegistry Registry_;
  TConfiguration Config_;
  TModel Model_;
  TDatabasePlugin* Store_ = nullptr;  // owned by the model
};

}  // namespace velmora::cli

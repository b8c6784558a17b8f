#pragma once
// What a subcommand works with: the settings of the registry, a game model and, when asked for,
// the local game store of the data folder.

#include <memory>
#include <string>

#include "platform/configuration.h"
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

  // Opens the log and the game store of the data folder (in the registry's "DBVersion" folder);
  // the error says why it cannot be used.
  TStatus OpenStore();
  // The game from the store, or none with the reason when it is not stored.
  TStatus OpenStoredGame(const std::string& gameNumber);

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

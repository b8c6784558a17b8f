#pragma once
// The application object: the action catalogue, the settings facade, the translated messages and
// the sender of the open game.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/configuration.h"
#include "platform/messages.h"
#include "serverlink/sender.h"
#include "records/catalogue.h"
#include "records/message_source.h"
#include "stats/game_store.h"

namespace velmora {

class TModel;
class TRegistry;
class TUserInterface;

class TApp final : public TActionSubmitter, public TMessageSource {
 public:
  using TSenderFactory = std::function<std::unique_ptr<TSender>()>;

  // Loads the settings from the registry and the messages file of the report language. The model,
  // the settings, the registry and the user interface (which may be none) outlive the object.
  TApp(TModel& model, TConfiguration& config, TRegistry& registry, std::filesystem::path programFolder,
       TUserInterface* userInterface);
  ~TApp() override;
  TApp(const TApp&) = delete;
  TApp& operator=(const TApp&) = delete;

  // Catalogue.
  void LoadCatalogue();
  bool HasAction(std::string_view shortName) const { return Catalogue_.HasAction(shortName); }
  int ActionIndex(std::string_view shortName) const { return Catalogue_.ActionIndex(shortName); }
  // A new action of the kind, stamped with the game clock, the period and the time of day.
  std::unique_ptr<TAction> NewAction(std::string_view shortName) override;
  const TCatalogue& Catalogue() const { return Catalogue_; }

  // Settings facade.
  std::int32_t GetInt(std::string_view key) const { return Config_.GetInt(key); }
  void SetInt(std::string_view key, std::int32_t value) { Config_.SetInt(key, value); }
  std::string GetString(std::string_view key) const { return Config_.GetString(key); }
  void SetString(std::string_view key, std::string_view value) { Config_.SetString(key, value); }
  // False when the registry could not be written.
  bool SaveSettings();
  const TConfiguration& Config() const { return Config_; }

  // Messages.
  std::string Message(std::string_view key) const override { return Messages_.Message(key); }
  // Re-reads the messages file; shows "Failed to load messages from language file" and the file's
  // name when it cannot.
  bool LoadMessages();
  const TMessages& Messages() const { return Messages_; }

  // Sender.
  void SetSenderFactory(TSenderFactory factory) { SenderFactory_ = std::move(factory); }
  // Stops any sender, starts a new one and sends a clock mark.
  void StartSender();
  // Ends the sender at once.
  void StopSender();
  TSender* Sender() const { return Sender_.get(); }
  // Hands an action to the running sender; dropped when none runs.
  void Submit(std::unique_ptr<TAction> action) override;

  const std::filesystem::path& ProgramFolder() const { return ProgramFolder_; }

 private:
  TModel& Model_;
  TConfiguration& Config_;
  TRegistry& Registry_;
  std::filesystem::path ProgramFolder_;
  TUserInterface* UserInterface_;
  TCatalogue Catalogue_;
  TMessages Messages_;
  TSenderFactory SenderFactory_;
  std::unique_ptr<TSender> Sender_;
};

}  // namespace velmora

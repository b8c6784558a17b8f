#include "app/app.h"

#include "platform/registry.h"
#include "platform/user_interface.h"
#include "stats/model.h"

namespace velmora {

TApp::TApp(TModel& model, TConfiguration& config, TRegistry& registry, std::filesystem::path programFolder,
           TUserInterface* userInterface)
    : Model_(model),
      Config_(config),
      Registry_(registry),
      ProgramFolder_(std::move(programFolder)),
      UserInterface_(userInterface) {
  Config_.Load(Registry_);
  LoadMessages();
  Model_.SetSubmitter(this);
}

TApp::~TApp() {
  StopSender();
  Model_.SetSubmitter(nullptr);
}

void TApp::LoadCatalogue() { Catalogue_.LoadCatalogue(); }

std::unique_ptr<TAction> TApp::NewAction(std::string_view shortName) {
  return Catalogue_.NewAction(shortName, Model_.MatchInfo.CurrentGameTime, Model_.CurrentPeriod(), Now());
}

bool TApp::SaveSettings() { return Config_.Save(Registry_); }

bool TApp::LoadMessages() {
  const std::string language = Config_.GetString("report_language");
  const bool loaded = Messages_.Load(ProgramFolder_, language);
  if (!loaded && UserInterface_) {
    // The file's name tells the operator whether the language or the installation is at fault.
    const std::string file = TMessages::FileFor(ProgramFolder_, language).string();
    UserInterface_->ShowMessage(kApplicationTitle, "Failed to load messages from language file \"" + file + "\"",
                                TMessageIcon::Error);
  }
  return loaded;
}

void TApp::StartSender() {
  StopSender();
  if (SenderFactory_) Sender_ = SenderFactory_();
  Model_.SendClockMark();
}

void TApp::StopSender() { Sender_.reset(); }

void TApp::Submit(std::unique_ptr<TAction> action) {
  if (Sender_) Sender_->Enqueue(std::move(action));
}

}  // namespace velmora

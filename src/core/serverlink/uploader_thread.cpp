#include "serverlink/uploader_thread.h"

#include <pugixml.hpp>

#include "platform/logger.h"
#include "platform/user_interface.h"
#include "records/xml_text.h"
#include "serverlink/internet_plugin.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "store/database_plugin.h"

namespace velmora {

TUploaderThread::~TUploaderThread() { Wait(); }

void TUploaderThread::Wait() {
  if (Thread_.joinable()) Thread_.join();
}

void TUploaderThread::Start(std::function<void()> job) {
  Thread_ = std::thread([this, job = std::move(job)] {
    job();
    Finished_ = true;
  });
}

std::unique_ptr<TUploaderThread> TUploaderThread::UploadBoxScore(TModel& model, TInternetPlugin& server,
                                                                 std::string boxScore) {
  std::unique_ptr<TUploaderThread> thread(new TUploaderThread);
  TUploaderThread* self = thread.get();
  self->Start([self, &model, &server, boxScore = std::move(boxScore)] {
    Log("Uploading statistics for game " + model.GameNumberText());
    self->ResultText_ = server.UploadStatistics(model.GameNumberText(), boxScore);
  });
  return thread;
}

std::unique_ptr<TUploaderThread> TUploaderThread::BringIntoStore(TModel& model, TInternetPlugin& server,
                                                                 TDatabasePlugin& store) {
  std::unique_ptr<TUploaderThread> thread(new TUploaderThread);
  thread->Start([&model, &server, &store] {
    const std::string gameNumber = model.GameNumberText();
    Log("Synchronizing remote -> local for game " + gameNumber);
    if (const TStatus saved = model.SaveMatchInfo(); !saved) Log(saved.Error());
    const TActionList actions = server.GetActionList(gameNumber);
    store.SaveActionList(gameNumber, actions, false, model.MatchInfo.CurrentGameTime);
    model.OpenGame(gameNumber);
  });
  return thread;
}

std::unique_ptr<TUploaderThread> TUploaderThread::CompareAndOverwrite(TModel& model, TInternetPlugin& server,
                                                                      TDatabasePlugin& store, TMatchInfo entry,
                                                                      TUserInterface& userInterface) {
  std::unique_ptr<TUploaderThread> thread(new TUploaderThread);
  TUploaderThread* self = thread.get();
  self->Start([self, &model, &server, &store, entry = std::move(entry), &userInterface] {
    self->ResultFlag_ = true;
    const auto local = store.ComputeChecksum(entry);
    const std::string localText = local ? local.Value() : std::string();
    const std::string remote = server.GetRemoteChecksum(entry.GameNumber);
    Log("Local " + localText);
    Log("Remote " + remote);
    if (local && localText == remote) return;
    const bool overwrite = userInterface.AskYesNo(
        kApplicationTitle,
        "Los datos locales no coinciden con los datos en servidor.\n\rSi continua se ELIMINARÁN los datos de "
        "SERVIDOR y se VOLCARÁN los datos LOCALES.\n\rDesea eliminar los datos del servidor y volcar los datos "
        "locales?");
    if (!overwrite) {
      self->ResultFlag_ = false;
      return;
    }
    Log("Synchronizing local -> remote for game " + entry.GameNumber);
    TActionList actions;
    store.LoadActions(entry.GameNumber, actions);
    model.SetActions(std::move(actions));
    server.UpdateMatchInfo(model.MatchInfo);
    pugi::xml_document document;
    server.SendActionList(entry.GameNumber, XmlText(ActionsDocument(model, document)), false);
  });
  return thread;
}

}  // namespace velmora

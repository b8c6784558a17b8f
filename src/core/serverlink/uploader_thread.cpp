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
    auto answer = server.UploadStatistics(model.GameNumberText(), boxScore);
    self->ResultText_ = answer ? answer.Value() : answer.Error();
    if (!answer) self->Fail("El servidor no aceptó las estadísticas: " + answer.Error());
  });
  return thread;
}

std::unique_ptr<TUploaderThread> TUploaderThread::BringIntoStore(TModel& model, TInternetPlugin& server,
                                                                 TDatabasePlugin& store) {
  std::unique_ptr<TUploaderThread> thread(new TUploaderThread);
  TUploaderThread* self = thread.get();
  self->Start([self, &model, &server, &store] {
    const std::string gameNumber = model.GameNumberText();
    Log("Synchronizing remote -> local for game " + gameNumber);
    // The server's list is had first, so that a list that cannot be had or is refused leaves
    // nothing stored; the match information and the list are then stored together.
    const auto actions = server.GetActionList(gameNumber);
    if (!actions) return self->Fail(actions.Error());
    std::string failure;
    const bool stored = store.InTransaction([&] {
      if (const TStatus saved = store.StoreMatchInfo(model.MatchInfo); !saved) {
        failure = saved.Error();
        return false;
      }
      if (!store.SaveActionList(gameNumber, actions.Value(), false, model.MatchInfo.CurrentGameTime)) {
        failure = "No se pudieron guardar las acciones del partido: " + store.LastError();
        return false;
      }
      return true;
    });
    if (!stored) return self->Fail(failure.empty() ? store.LastError() : failure);
    if (const TStatus sent = server.UpdateMatchInfo(model.MatchInfo); !sent) {
      self->Fail("El servidor no aceptó la información del partido: " + sent.Error());
    }
    if (!model.OpenGame(gameNumber) && self->Outcome_) self->Fail("No se pudo leer el partido \"" + gameNumber + "\".");
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
    // Whatever fails, the server's copy is not known to be the local one.
    const auto fail = [self](std::string reason) {
      self->ResultFlag_ = false;
      self->Fail(std::move(reason));
    };
    TActionList actions;
    if (!store.LoadActions(entry.GameNumber, actions)) return fail("No se pudieron leer las acciones locales.");
    model.SetActions(std::move(actions));
    if (const TStatus sent = server.UpdateMatchInfo(model.MatchInfo); !sent) {
      return fail("El servidor no aceptó la información del partido: " + sent.Error());
    }
    pugi::xml_document document;
    if (const TStatus sent = server.SendActionList(entry.GameNumber, XmlText(ActionsDocument(model, document)), false);
        !sent) {
      fail("El servidor no aceptó las acciones del partido: " + sent.Error());
    }
  });
  return thread;
}

}  // namespace velmora

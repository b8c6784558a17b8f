// The live window's commands: the period commands, the game clock, switching sides, the upload of
// the results, the about box and web page, and closing.

#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "live/about_box.h"
#include "live/casting_form.h"
#include "live/clock_timer.h"
#include "live/court_view.h"
#include "live/game_backup.h"
#include "live/top_strip.h"
#include "platform/configuration.h"
#include "platform/logger.h"
#include "platform/registry.h"
#include "platform/user_interface.h"
#include "serverlink/auth_service.h"
#include "serverlink/credentials.h"
#include "serverlink/internet_plugin.h"
#include "stats/model.h"
#include "setup/config_form.h"
#include "widgets/job_wait.h"
#include "widgets/progress_form.h"

namespace velmora::gui {

void TCastingForm::CancelEntry() { Entry_->Cancel(); }

void TCastingForm::StartGameButtonClick() {
  if (!Game_.MayStartGame()) return;
  CancelEntry();
  StopClock();
  if (const auto action = Game_.StartGame()) UpdateViewAfter(*action);
  RefreshState();
}

void TCastingForm::EndPeriodButtonClick() { EndOfPeriod(); }

void TCastingForm::EndOfPeriod() {
  CancelEntry();
  StopClock();
  const auto action = Game_.EndPeriod();
  if (!action) return;
  RefreshState();
  UpdateViewAfter(*action);
  WriteBackup();
}

void TCastingForm::NextPeriodButtonClick() {
  CancelEntry();
  if (const auto action = Game_.NextPeriod()) UpdateViewAfter(*action);
}

void TCastingForm::EndGameClick() {
  CancelEntry();
  StopClock();
  Game_.EndGame();
  RefreshState();
  WriteBackup();
  close();
}

void TCastingForm::StartClock() {
  // After the buzzer the clock waits for the next period, whatever asks it to run.
  if (!Game_.ClockMayRun() || !Game_.CheckLineups()) {
    Clock_->StopClockButton()->setChecked(true);
    return;
  }
  Timer_->Start();
  Clock_->StartClockButton()->setChecked(true);
}

void TCastingForm::StopClock() {
  Timer_->Stop();
  Clock_->StopClockButton()->setChecked(true);
}

bool TCastingForm::ClockRunning() const { return Timer_->Running(); }

void TCastingForm::TimerTimer() {
  const bool periodOver = Game_.Tick();
  if (++TicksSinceBackup_ >= 60) WriteBackup();
  if (periodOver) {
    StopClock();
    EndOfPeriodAsked_ = true;
    AskEndOfPeriod();
  }
  RefreshState();
}

void TCastingForm::AskEndOfPeriod() {
  // A dialog of the entry is open (the buzzer sounded during a choice): the play it works on is
  // finished first, and the question follows as soon as the entry is idle.
  if (!EndOfPeriodAsked_ || Entry_->Busy()) return;
  EndOfPeriodAsked_ = false;
  if (Context_.Ui.AskYesNo(kApplicationTitle, "Desea marcar el cuarto actual como terminado?",
                           TMessageIcon::Information)) {
    EndOfPeriod();
  }
  RefreshState();
}

void TCastingForm::EntryIdle() {
  if (EndOfPeriodAsked_) QTimer::singleShot(0, this, &TCastingForm::AskEndOfPeriod);
}

void TCastingForm::ClockUpDownClick(int step, bool first) {
  if (first) {
    ClockWasRunning_ = Clock_->StartClockButton()->isChecked();
    ClockAdjusting_ = true;
  }
  StopClock();
  Game_.AdjustClock(step);
  Clock_->ClockEdit()->setText(QString::fromStdString(Context_.Model.RemainingPeriodText()));
  RefreshState();
}

void TCastingForm::ClockUpDownMouseUp() {
  Game_.SendClockMark();
  if (ClockWasRunning_) StartClock();
  ClockAdjusting_ = false;
}

void TCastingForm::SwitchSidesClick() {
  SidesSwapped_ = !SidesSwapped_;
  ApplySides();
}

void TCastingForm::UploadResultsClick() {
  const TInternetPlugin* server = ServerClientOf(Context_.Model);
  const std::string serverUrl = server ? server->ServerUrl() : ReadCredentials(Context_.Registry).Url;
  const std::string endpoint = AuthServiceEndpoint(Context_.Registry, serverUrl);
  const THttpSettings http = HttpSettingsOf(Context_.App.Config());
  const std::string gameNumber = Context_.Model.MatchInfo.GameNumber;
  const std::string session = server ? server->SessionId() : std::string();
  std::string result;
  TProgressForm progress(this);
  progress.SetMessage(tr("Subiendo la tabla de resultados, espere por favor..."));
  RunBehindProgress(progress, [&] {
    AuthServiceSoap service(endpoint, http);
    const auto answer = service.ExportToSIMS(gameNumber, session);
    result = answer ? answer.Value() : std::string("ERROR");
  });
  Context_.Ui.ShowMessage(
      kApplicationTitle,
      result.empty() ? std::string("Se ha actualizado correctamente") : "Falló la actualización" + result,
      TMessageIcon::Information);
}

void TCastingForm::EditConfigClick() {
  StopClock();
  TConfigForm form(Context_.App, Context_.Registry, Context_.Ui, this);
  // The periods, the foul limit and the follow-ups take effect at once.
  if (form.exec() == QDialog::Accepted) ReloadView();
  FocusComment();
}

void TCastingForm::AboutClick() {
  TAboutBox about(this);
  about.exec();
}

void TCastingForm::WebClick() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kProductWebAddress))); }

void TCastingForm::QuitProgramClick() {
  if (!Context_.Ui.AskYesNo(kApplicationTitle, "Quiere salir del programa Velmora?")) return;
  QuitRequested_ = true;
  close();
}

void TCastingForm::closeEvent(QCloseEvent* event) {
  // A dialog of the entry still works on the action under entry.
  if (Entry_->Busy()) {
    event->ignore();
    return;
  }
  if (CloseArmed_ && !QuitRequested_ && !Context_.Ui.AskYesNo(kApplicationTitle, "Desea cerrar ventana?")) {
    event->ignore();
    return;
  }
  if (!RescueUnstored()) {
    QuitRequested_ = false;
    event->ignore();
    return;
  }
  // An offered follow-up ends its chain, as Esc would.
  CancelEntry();
  StopClock();
  Closing_ = true;
  TCustomForm::closeEvent(event);
  Closing_ = false;
}

void TCastingForm::reject() {
  // Esc belongs to the entry; the window closes only through closing it.
  if (Closing_) TCustomForm::reject();
}

void TCastingForm::WriteBackup() {
  TicksSinceBackup_ = 0;
  const TStatus written = velmora::WriteBackup(Context_.Model, Context_.App.GetString("backup_folder"));
  if (!written) Log("Backup of game " + Context_.Model.GameNumberText() + " failed: " + written.Error());
}

void TCastingForm::CheckUnstored() {
  TModel& model = Context_.Model;
  if (model.UnstoredCount() > 0) model.StoreUnstored();
  const std::size_t unstored = model.UnstoredCount();
  if (unstored == 0) {
    UnstoredLabel_->hide();
    UnstoredRetry_->stop();
    UnstoredReported_ = false;
    return;
  }
  UnstoredLabel_->setText(
      tr("¡Atención! %n acción(es) sin guardar en la base de datos local (disco lleno, base de "
         "datos bloqueada o no disponible). Se guardarán en cuanto sea posible.",
         nullptr, static_cast<int>(unstored)));
  UnstoredLabel_->show();
  if (!UnstoredRetry_->isActive()) UnstoredRetry_->start();
  if (!UnstoredReported_) {
    UnstoredReported_ = true;
    Context_.Ui.ShowMessage(kApplicationTitle,
                            "No se ha podido guardar la acción en la base de datos local (disco lleno, base de datos "
                            "bloqueada o no disponible).\nLa acción sigue en el partido y se guardará en cuanto sea "
                            "posible.",
                            TMessageIcon::Warning);
  }
}

bool TCastingForm::RescueUnstored() {
  TModel& model = Context_.Model;
  if (model.UnstoredCount() == 0 || model.StoreUnstored()) return true;
  const std::string count = std::to_string(model.UnstoredCount());
  const auto file = WriteRescueFile(model, RescueFolders(Context_.DataFolder), Now());
  if (file) {
    Log("Game " + model.GameNumberText() + " with " + count + " unstored actions written to " + file.Value().string());
    Context_.Ui.ShowMessage(kApplicationTitle,
                            "No se han podido guardar " + count +
                                " acciones en la base de datos local.\nEl partido completo se ha guardado en el "
                                "fichero \"" +
                                file.Value().string() +
                                "\".\nPara recuperarlo, elimine el partido y vuelva a importarlo desde ese fichero.",
                            TMessageIcon::Warning);
    return true;
  }
  // No is the default: a Return typed by habit must not throw the actions away.
  return Context_.Ui.AskYesNoDefaultNo(kApplicationTitle,
                                       "No se han podido guardar " + count +
                                           " acciones ni en la base de datos ni en un fichero (" + file.Error() +
                                           ").\nSi cierra la ventana se perderán.\nDesea cerrarla de todos modos?",
                                       TMessageIcon::Warning);
}

}  // namespace velmora::gui

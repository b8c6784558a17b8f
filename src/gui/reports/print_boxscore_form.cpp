#include "reports/print_boxscore_form.h"

#include <QPushButton>
#include <pugixml.hpp>

#include "app/app.h"
#include "platform/user_interface.h"
#include "records/xml_text.h"
#include "reports/box_score_report.h"
#include "reports/confirm_score_form.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/uploader_thread.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "widgets/gui_context.h"
#include "widgets/job_wait.h"
#include "widgets/progress_form.h"

namespace velmora::gui {

TPrintBoxscoreForm::TPrintBoxscoreForm(TGuiContext& context, QWidget* parent) : TAbstractPrintForm(context, parent) {
  setObjectName(QStringLiteral("PrintBoxscoreForm"));
  QPushButton* upload = AddButton("UploadButton", tr("Transferir estadísticas"));
  upload->setVisible(StatisticsTransferOffered(context.Model));
  connect(upload, &QPushButton::clicked, this, &TPrintBoxscoreForm::UploadButtonClick);
  BuildReport();
}

void TPrintBoxscoreForm::DefineReport(TReportData& data) { DefineBoxScoreReport(data); }

void TPrintBoxscoreForm::FillReport(TReportData& data) {
  FillBoxScoreReport(data, Context().Model, Context().App);
}

void TPrintBoxscoreForm::UploadButtonClick() { SendStatistics(); }

void TPrintBoxscoreForm::SendStatistics() {
  TModel& model = Context().Model;
  TInternetPlugin* server = ServerClientOf(model);
  if (!server || !model.IsOnline()) return;
  TConfirmScoreForm confirm(model, Context().Ui, this);
  if (confirm.exec() != QDialog::Accepted) return;
  const TScoreConfirmation& entered = confirm.Result();

  pugi::xml_document document;
  const std::string boxScore = XmlText(BoxScoreDocument(model, document));
  const std::string gameNumber = model.GameNumberText();
  std::string answer;
  TProgressForm progress(this);
  progress.SetMessage(tr("Uploading statistics, please wait..."));
  RunBehindProgress(progress, [&] {
    // A failed confirmation shows its own error; the statistics go all the same.
    server->SendScoreConfirmation(gameNumber, entered.Score1, entered.Score2, entered.Contacts, entered.Name);
    auto job = TUploaderThread::UploadBoxScore(model, *server, boxScore);
    job->Wait();
    answer = job->ResultText();
  });
  Context().Ui.ShowMessage("Velmora", answer, TMessageIcon::Information);
}

}  // namespace velmora::gui

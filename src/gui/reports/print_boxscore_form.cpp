#include "reports/print_boxscore_form.h"

#include <QPushButton>
#include <pugixml.hpp>

#include "app/app.h"
#include "exports/box_score_workbook.h"
#include "exports/federation_file.h"
#include "live/game_checks.h"
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

TPrintBoxscoreForm::TPrintBoxscoreForm(TGuiContext& context, QWidget* parent)
    : TAbstractPrintForm(context, parent),
      CSVDialog_(TFileDialog::TMode::Save, tr("Exportar a CSV"), tr("Ficheros CSV|*.csv|Toros los ficheros|*.*"),
                 QStringLiteral("csv")),
      ExcelDialog_(TFileDialog::TMode::Save, tr("Exportar a Excel"), tr("Ficheros Excel|*.xlsx"),
                   QStringLiteral("xlsx")) {
  setObjectName(QStringLiteral("PrintBoxscoreForm"));
  connect(AddButton("CSVButton", tr("Exportar a CSV")), &QPushButton::clicked, this,
          &TPrintBoxscoreForm::CSVButtonClick);
  connect(AddButton("ExcelButton", tr("Exportar a Excel")), &QPushButton::clicked, this,
          &TPrintBoxscoreForm::ExcelButtonClick);
  QPushButton* upload = AddButton("UploadButton", tr("Transferir estadísticas"));
  upload->setVisible(StatisticsTransferOffered(context.Model));
  connect(upload, &QPushButton::clicked, this, &TPrintBoxscoreForm::UploadButtonClick);
  BuildReport();
}

void TPrintBoxscoreForm::DefineReport(TReportData& data) { DefineBoxScoreReport(data); }

void TPrintBoxscoreForm::FillReport(TReportData& data) { FillBoxScoreReport(data, Context().Model, Context().App); }

void TPrintBoxscoreForm::CSVButtonClick() {
  const auto file = CSVDialog_.Execute(this);
  if (!file) return;
  ReportExport(WriteFederationFile(Context().Model, file->toStdString()), file->toStdString());
}

void TPrintBoxscoreForm::ExcelButtonClick() {
  const auto file = ExcelDialog_.Execute(this);
  if (!file) return;
  ReportExport(WriteBoxScoreWorkbook(Context().Model, Context().App.GetString("eff_formula"), file->toStdString()),
               file->toStdString());
}

void TPrintBoxscoreForm::ReportExport(const TStatus& written, const std::string& file) {
  if (written) {
    Context().Ui.ShowMessage(kApplicationTitle, "Los datos han sido exportados al fichero " + file,
                             TMessageIcon::Information);
  } else {
    Context().Ui.ShowMessage(kApplicationTitle, "No se pudieron exportar los datos: " + written.Error(),
                             TMessageIcon::Error);
  }
}

bool TPrintBoxscoreForm::TransferDespiteChecks() {
  if (ChecksAsked_) return true;
  const std::size_t flags = CheckGame(Context().Model).size();
  if (flags == 0) return true;
  ChecksAsked_ = true;
  // No is the default: statistics once on the server are what the league publishes.
  return Context().Ui.AskYesNoDefaultNo(
      kApplicationTitle,
      "El partido tiene " + FlagCountText(flags) +
          " sin resolver, que lista \"Comprobar partido\".\nDesea transferir las estadísticas de todos modos?",
      TMessageIcon::Question);
}

void TPrintBoxscoreForm::UploadButtonClick() { SendStatistics(); }

void TPrintBoxscoreForm::SendStatistics() {
  TModel& model = Context().Model;
  TInternetPlugin* server = ServerClientOf(model);
  if (!server || !model.IsOnline() || !TransferDespiteChecks()) return;
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

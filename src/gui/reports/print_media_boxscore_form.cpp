#include "reports/print_media_boxscore_form.h"

#include "app/app.h"
#include "reports/media_box_score_report.h"
#include "widgets/gui_context.h"

namespace velmora::gui {

TPrintMediaBoxscoreForm::TPrintMediaBoxscoreForm(TGuiContext& context, QWidget* parent)
    : TAbstractPrintForm(context, parent) {
  setObjectName(QStringLiteral("PrintMediaBoxscoreForm"));
  BuildReport();
}

void TPrintMediaBoxscoreForm::DefineReport(TReportData& data) { DefineMediaBoxScoreReport(data); }

void TPrintMediaBoxscoreForm::FillReport(TReportData& data) {
  FillMediaBoxScoreReport(data, Context().Model, Context().App);
}

}  // namespace velmora::gui

#include "reports/print_playbyplay_form.h"

#include "app/app.h"
#include "reports/play_by_play_report.h"
#include "widgets/gui_context.h"

namespace velmora::gui {

TPrintPlayByPlayForm::TPrintPlayByPlayForm(TGuiContext& context, QWidget* parent)
    : TAbstractPrintForm(context, parent) {
  setObjectName(QStringLiteral("PrintPlayByPlayForm"));
  BuildReport();
}

void TPrintPlayByPlayForm::DefineReport(TReportData& data) { DefinePlayByPlayReport(data); }

void TPrintPlayByPlayForm::FillReport(TReportData& data) { FillPlayByPlayReport(data, Context().Model, Context().App); }

}  // namespace velmora::gui

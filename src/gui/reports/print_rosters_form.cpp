#include "reports/print_rosters_form.h"

#include "app/app.h"
#include "reports/rosters_report.h"
#include "widgets/gui_context.h"

namespace velmora::gui {

TPrintRostersForm::TPrintRostersForm(TGuiContext& context, QWidget* parent) : TAbstractPrintForm(context, parent) {
  setObjectName(QStringLiteral("PrintRostersForm"));
  BuildReport();
}

void TPrintRostersForm::DefineReport(TReportData& data) { DefineRostersReport(data); }

void TPrintRostersForm::FillReport(TReportData& data) { FillRostersReport(data, Context().Model, Context().App); }

}  // namespace velmora::gui

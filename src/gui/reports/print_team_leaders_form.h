#pragma once
// The team leaders window: a check box per statistic category on the left; "Generar informe"
// makes the report anew with the ticked ones.

#include <vector>

#include "reports/abstract_print_form.h"

class QCheckBox;

namespace velmora {
class TTeamLeadersConnection;
}

namespace velmora::gui {

class TPrintTeamLeadersForm final : public TAbstractPrintForm {
  Q_OBJECT

 public:
  explicit TPrintTeamLeadersForm(TGuiContext& context, QWidget* parent = nullptr);

  void GenerateClick();

 protected:
  void DefineReport(TReportData& data) override;
  void FillReport(TReportData& data) override;

 private:
  std::vector<QCheckBox*> Boxes_;  // in report order
  TTeamLeadersConnection* Leaders_ = nullptr;
};

}  // namespace velmora::gui

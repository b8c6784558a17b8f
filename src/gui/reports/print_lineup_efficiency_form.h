#pragma once
// The lineup efficiency window: the team and the figure chosen on the left; "Generar informe"
// lists that team's fives in the preview. The first preview shows the header alone.

#include <vector>

#include "reports/abstract_print_form.h"

class QRadioButton;

namespace velmora::gui {

class TPrintLineupEfficiencyForm final : public TAbstractPrintForm {
  Q_OBJECT

 public:
  explicit TPrintLineupEfficiencyForm(TGuiContext& context, QWidget* parent = nullptr);

  void GenerateClick();

 protected:
  void DefineReport(TReportData& data) override;
  void FillReport(TReportData& data) override;

 private:
  std::vector<QRadioButton*> Teams_;
  std::vector<QRadioButton*> Options_;  // in the order of the figures
  TReportData* Report_ = nullptr;       // the window's own data, which the generation changes
};

}  // namespace velmora::gui

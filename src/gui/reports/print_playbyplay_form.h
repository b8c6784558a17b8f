#pragma once
// The play-by-play window: the game action by action, the score after every basket.

#include "reports/abstract_print_form.h"

namespace velmora::gui {

class TPrintPlayByPlayForm final : public TAbstractPrintForm {
  Q_OBJECT

 public:
  explicit TPrintPlayByPlayForm(TGuiContext& context, QWidget* parent = nullptr);

 protected:
  void DefineReport(TReportData& data) override;
  void FillReport(TReportData& data) override;
};

}  // namespace velmora::gui

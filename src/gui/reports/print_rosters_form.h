#pragma once
// The rosters window: both teams' rosters under the game's header.

#include "reports/abstract_print_form.h"

namespace velmora::gui {

class TPrintRostersForm final : public TAbstractPrintForm {
  Q_OBJECT

 public:
  explicit TPrintRostersForm(TGuiContext& context, QWidget* parent = nullptr);

 protected:
  void DefineReport(TReportData& data) override;
  void FillReport(TReportData& data) override;
};

}  // namespace velmora::gui

#pragma once
// The media box score window: the one-page summary of the game for the press.

#include "reports/abstract_print_form.h"

namespace velmora::gui {

class TPrintMediaBoxscoreForm final : public TAbstractPrintForm {
  Q_OBJECT

 public:
  explicit TPrintMediaBoxscoreForm(TGuiContext& context, QWidget* parent = nullptr);

 protected:
  void DefineReport(TReportData& data) override;
  void FillReport(TReportData& data) override;
};

}  // namespace velmora::gui

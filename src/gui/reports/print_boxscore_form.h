#pragma once
// The official box score window: the report, and the statistics transfer to the server once the
// game stands at the end of regulation time or of an overtime.

#include "reports/abstract_print_form.h"

namespace velmora::gui {

class TPrintBoxscoreForm final : public TAbstractPrintForm {
  Q_OBJECT

 public:
  explicit TPrintBoxscoreForm(TGuiContext& context, QWidget* parent = nullptr);

  void UploadButtonClick();
  // Confirms the score, then sends it and the box score to the server behind the wait window;
  // the server's answer (or the error) is shown.
  void SendStatistics();

 protected:
  void DefineReport(TReportData& data) override;
  void FillReport(TReportData& data) override;
};

}  // namespace velmora::gui

#pragma once
// The official box score window: the report, its two file exports, and the statistics transfer to
// the server once the game stands at the end of regulation time or of an overtime.

#include "reports/abstract_print_form.h"

namespace velmora::gui {

class TPrintBoxscoreForm final : public TAbstractPrintForm {
  Q_OBJECT

 public:
  explicit TPrintBoxscoreForm(TGuiContext& context, QWidget* parent = nullptr);

  TFileDialog& CSVDialog() { return CSVDialog_; }
  TFileDialog& ExcelDialog() { return ExcelDialog_; }

  // The federation file and the workbook of the model as it stands at the click.
  void CSVButtonClick();
  void ExcelButtonClick();
  void UploadButtonClick();
  // Confirms the score, then sends it and the box score to the server behind the wait window;
  // the server's answer (or the error) is shown. A game with slips still flagged asks first.
  void SendStatistics();

 protected:
  void DefineReport(TReportData& data) override;
  void FillReport(TReportData& data) override;

 private:
  // Shows where the file went, or why it did not.
  void ReportExport(const TStatus& written, const std::string& file);
  // False when the operator would rather look at the game's flagged slips before the transfer;
  // asked once per window.
  bool TransferDespiteChecks();

  TFileDialog CSVDialog_;
  TFileDialog ExcelDialog_;
  bool ChecksAsked_ = false;
};

}  // namespace velmora::gui

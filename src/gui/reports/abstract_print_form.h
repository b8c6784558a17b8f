#pragma once
// The common report window: the report's data made once, then previewed page by page with zoom,
// printed, or saved as a PDF file. Every generation runs on a thread of its own, so a long report
// never freezes the window; one generation at a time, a request made meanwhile follows it.

#include <QFutureWatcher>
#include <QPrinter>
#include <deque>
#include <map>
#include <optional>

#include "reports/print_dialogs.h"
#include "reports/report_data.h"
#include "reports/report_render_job.h"
#include "widgets/custom_form.h"
#include "widgets/dialog_answers.h"

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QSplitter;

namespace velmora::gui {

struct TGuiContext;
class TReportPreview;

class TAbstractPrintForm : public TCustomForm {
  Q_OBJECT

 public:
  static constexpr double kZoomStep = 10;
  // The largest the zoom box offers; a larger page picture would take hundreds of megabytes.
  static constexpr double kLargestZoom = 400;

  explicit TAbstractPrintForm(TGuiContext& context, QWidget* parent = nullptr);
  ~TAbstractPrintForm() override;

  const TReportData& Data() const { return Data_; }
  int CurrentPage() const { return CurrentPage_; }
  int PageCount() const { return PageCount_; }
  double ZoomFactor() const { return Zoom_; }
  // True while a generation runs or waits.
  bool Rendering() const;
  TFileDialog& SaveDialog() { return SaveDialog_; }
  TPrintDialogs& PrintDialogs() { return PrintDialogs_; }
  QPrinter& Printer() { return Printer_; }
  TReportPreview& PreviewBox() const { return *PreviewBox_; }

  // Generates the report anew for one output; the preview shows CurrentPage.
  void RenderReport(TReportOutput output, const std::filesystem::path& pdfFile = {});

  // Handlers, named after their controls.
  void CloseButtonClick();
  void PrintButtonClick();
  void PrintSetupBtnClick();
  void PdfButtonClick();
  void PrevPageButtonClick();
  void NextPageButtonClick();
  void ZoomInButtonClick();
  void ZoomOutButtonClick();
  void PageEditEnter();
  void PageEditExit();
  void ZoomEditChoose();

 signals:
  // A generation has ended (the preview shows its page, the file or printer has it, or its error
  // was shown).
  void Rendered();

 protected:
  // Set ProjectFileName and ReportName (and the caption); then the orientation, the parameters
  // and the connections.
  virtual void DefineReport(TReportData& data) = 0;
  virtual void FillReport(TReportData& data) = 0;
  // Pictures of the window's own that its layout shows by name (a chart), beside the header,
  // footer and logo; read at every generation.
  virtual std::map<QString, QImage> ReportPictures() const { return {}; }
  // DefineReport, FillReport, then every message as a "LANG_" parameter. Every report window
  // calls it at the end of its constructor.
  void BuildReport();
  // Shows the first page and reads the page count; also what a window's own regeneration does.
  void FormShow();
  // A panel of the window's own left of the preview, the splitter between them.
  void AddSidePanel(QWidget* panel);

  QHBoxLayout& TopPanel() const { return *TopPanel_; }
  // A top-panel button that leaves the focus with the preview.
  QPushButton* AddButton(const char* name, const QString& caption);
  TGuiContext& Context() const { return Context_; }

  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct TRequest {
    TReportOutput Output;
    std::filesystem::path PdfFile;
    bool ReadPageCount = false;
    int Copies = 1;
  };
  void Start(TRequest request);
  bool Printing() const;
  void Finish();
  void UpdatePageControls();
  void ShowZoomFactor();
  void ShowPage(int page);
  void SetZoom(double zoom);

  TGuiContext& Context_;
  TReportData Data_;
  int CurrentPage_ = 1;
  int PageCount_ = 0;
  double Zoom_ = 100;
  bool Shown_ = false;

  QHBoxLayout* TopPanel_ = nullptr;
  QPushButton* PrevPageButton_ = nullptr;
  QPushButton* NextPageButton_ = nullptr;
  QLineEdit* PageEdit_ = nullptr;
  QComboBox* ZoomEdit_ = nullptr;
  QSplitter* Body_ = nullptr;
  TReportPreview* PreviewBox_ = nullptr;

  TFileDialog SaveDialog_;
  TPrintDialogs PrintDialogs_;
  QPrinter Printer_;
  QFutureWatcher<TRenderResult> Watcher_;
  std::optional<TRequest> Running_;
  std::deque<TRequest> Waiting_;
};

}  // namespace velmora::gui

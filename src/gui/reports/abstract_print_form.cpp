#include "reports/abstract_print_form.h"

#include <algorithm>

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "app/app.h"
#include "platform/user_interface.h"
#include "records/text_utils.h"
#include "reports/report_preview.h"
#include "widgets/gui_context.h"
#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TAbstractPrintForm::TAbstractPrintForm(TGuiContext& context, QWidget* parent)
    : TCustomForm(parent),
      Context_(context),
      SaveDialog_(TFileDialog::TMode::Save, tr("Exportar a PDF"), tr("Ficheros PDF|*.pdf|Todos los ficheros|*.*"),
                  QStringLiteral("pdf")),
      Printer_(QPrinter::HighResolution) {
  // Large also where nothing maximizes windows.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) resize(screen->availableGeometry().size() * 0.9);
  setWindowState(windowState() | Qt::WindowMaximized);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(Scaled(4), Scaled(4), Scaled(4), Scaled(4));

  TopPanel_ = new QHBoxLayout;
  layout->addLayout(TopPanel_);
  connect(AddButton("CloseButton", tr("Cerrar")), &QPushButton::clicked, this, &TAbstractPrintForm::CloseButtonClick);
  connect(AddButton("PrintButton", tr("Imprimir")), &QPushButton::clicked, this, &TAbstractPrintForm::PrintButtonClick);
  connect(AddButton("PrintSetupBtn", tr("Instalar impresora")), &QPushButton::clicked, this,
          &TAbstractPrintForm::PrintSetupBtnClick);
  connect(AddButton("PdfButton", tr("Exportar a PDF")), &QPushButton::clicked, this,
          &TAbstractPrintForm::PdfButtonClick);
  TopPanel_->addStretch(1);

  Body_ = new QSplitter(Qt::Horizontal, this);
  Body_->setObjectName(QStringLiteral("BodySplitter"));
  Body_->setChildrenCollapsible(false);
  PreviewBox_ = new TReportPreview(Body_);
  Body_->addWidget(PreviewBox_);
  layout->addWidget(Body_, 1);

  auto* bottom = new QHBoxLayout;
  layout->addLayout(bottom);
  const auto button = [this, bottom](const char* name, const QString& caption) {
    auto* control = new QPushButton(caption, this);
    control->setObjectName(QString::fromLatin1(name));
    control->setFocusPolicy(Qt::NoFocus);
    bottom->addWidget(control);
    return control;
  };
  PrevPageButton_ = button("PrevPageButton", tr("Previa"));
  connect(PrevPageButton_, &QPushButton::clicked, this, &TAbstractPrintForm::PrevPageButtonClick);
  PageEdit_ = new QLineEdit(this);
  PageEdit_->setObjectName(QStringLiteral("PageEdit"));
  PageEdit_->setAlignment(Qt::AlignCenter);
  PageEdit_->setFixedWidth(Scaled(130));
  PageEdit_->installEventFilter(this);
  connect(PageEdit_, &QLineEdit::returnPressed, this, &TAbstractPrintForm::PageEditExit);
  bottom->addWidget(PageEdit_);
  NextPageButton_ = button("NextPageButton", tr("Siguiente"));
  connect(NextPageButton_, &QPushButton::clicked, this, &TAbstractPrintForm::NextPageButtonClick);
  bottom->addSpacing(Scaled(16));
  connect(button("ZoomOutButton", tr("Alejar imagen")), &QPushButton::clicked, this,
          &TAbstractPrintForm::ZoomOutButtonClick);
  ZoomEdit_ = new QComboBox(this);
  ZoomEdit_->setObjectName(QStringLiteral("ZoomEdit"));
  ZoomEdit_->setEditable(true);
  ZoomEdit_->setInsertPolicy(QComboBox::NoInsert);
  // "10" means 10 %, not the "100%" a completion would make of it.
  ZoomEdit_->setCompleter(nullptr);
  ZoomEdit_->addItems({QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("100%"), QStringLiteral("200%"),
                       QStringLiteral("400%")});
  ZoomEdit_->setCurrentText(QStringLiteral("100%"));
  connect(ZoomEdit_, &QComboBox::activated, this, &TAbstractPrintForm::ZoomEditChoose);
  connect(ZoomEdit_->lineEdit(), &QLineEdit::returnPressed, this, &TAbstractPrintForm::ZoomEditChoose);
  bottom->addWidget(ZoomEdit_);
  connect(button("ZoomInButton", tr("Acercar imagen")), &QPushButton::clicked, this,
          &TAbstractPrintForm::ZoomInButtonClick);
  bottom->addStretch(1);

  connect(&Watcher_, &QFutureWatcher<TRenderResult>::finished, this, &TAbstractPrintForm::Finish);
}

TAbstractPrintForm::~TAbstractPrintForm() {
  // The generation reads the window's printer and data.
  Waiting_.clear();
  Watcher_.waitForFinished();
}

QPushButton* TAbstractPrintForm::AddButton(const char* name, const QString& caption) {
  auto* control = new QPushButton(caption, this);
  control->setObjectName(QString::fromLatin1(name));
  control->setFocusPolicy(Qt::NoFocus);
  const int stretch = TopPanel_->count() - 1;
  // Before the stretch once it is there.
  if (stretch >= 0 && TopPanel_->itemAt(stretch)->spacerItem()) {
    TopPanel_->insertWidget(stretch, control);
  } else {
    TopPanel_->addWidget(control);
  }
  connect(control, &QPushButton::clicked, this, [this] { PreviewBox_->setFocus(); });
  return control;
}

void TAbstractPrintForm::BuildReport() {
  DefineReport(Data_);
  FillReport(Data_);
  SetTranslatedLabels(Data_, Context_.App.Messages().Table());
  setWindowTitle(Text(Data_.Caption));
}

bool TAbstractPrintForm::Rendering() const { return Running_.has_value() || !Waiting_.empty(); }

bool TAbstractPrintForm::Printing() const {
  const auto printer = [](const TRequest& request) { return request.Output == TReportOutput::Printer; };
  return (Running_ && printer(*Running_)) || std::any_of(Waiting_.begin(), Waiting_.end(), printer);
}

void TAbstractPrintForm::showEvent(QShowEvent* event) {
  TCustomForm::showEvent(event);
  if (Shown_) return;
  Shown_ = true;
  FormShow();
}

void TAbstractPrintForm::AddSidePanel(QWidget* panel) {
  Body_->insertWidget(0, panel);
  Body_->setStretchFactor(0, 0);
  Body_->setStretchFactor(1, 1);
}

void TAbstractPrintForm::FormShow() {
  CurrentPage_ = 1;
  Start({TReportOutput::Preview, {}, true});
  UpdatePageControls();
}

void TAbstractPrintForm::RenderReport(TReportOutput output, const std::filesystem::path& pdfFile) {
  Start({output, pdfFile});
}

void TAbstractPrintForm::Start(TRequest request) {
  if (Running_) {
    // A newer picture of the preview replaces one that has not started yet.
    if (request.Output == TReportOutput::Preview && !Waiting_.empty() &&
        Waiting_.back().Output == TReportOutput::Preview) {
      request.ReadPageCount = request.ReadPageCount || Waiting_.back().ReadPageCount;
      Waiting_.back() = std::move(request);
    } else {
      Waiting_.push_back(std::move(request));
    }
    return;
  }
  TRenderJob job;
  job.Output = request.Output;
  job.ProjectFileName = Data_.ProjectFileName;
  job.ReportName = Data_.ReportName;
  // The rows are read here, on the thread that owns the model.
  job.Input = report::InputOf(Data_, ReportPictures());
  job.Files = report::ReportFilesOf(Context_.App.Config(), Context_.App.ProgramFolder());
  job.Page = CurrentPage_;
  job.Dpi = logicalDpiX() * Zoom_ / 100 * devicePixelRatioF();
  job.Copies = request.Copies;
  job.Device = &Printer_;
  job.PdfFile = request.PdfFile;
  if (request.Output == TReportOutput::Preview) setCursor(Qt::BusyCursor);
  Running_ = std::move(request);
  Watcher_.setFuture(QtConcurrent::run([job = std::move(job)] { return RunRenderJob(job); }));
}

void TAbstractPrintForm::Finish() {
  const TRenderResult result = Watcher_.result();
  const TRequest request = *Running_;
  Running_.reset();
  if (request.Output == TReportOutput::Preview) unsetCursor();
  if (result.Error) {
    Context_.Ui.ShowMessage(kApplicationTitle, *result.Error, TMessageIcon::Error);
  } else if (request.Output == TReportOutput::Preview) {
    QImage page = result.Page;
    page.setDevicePixelRatio(devicePixelRatioF());
    PreviewBox_->ShowPage(page);
    if (request.ReadPageCount) {
      PageCount_ = result.PageCount;
      UpdatePageControls();
    }
  } else if (request.Output == TReportOutput::Pdf) {
    Context_.Ui.ShowMessage(kApplicationTitle, "Informe grabado en fichero " + request.PdfFile.string(),
                            TMessageIcon::Information);
  }
  if (!Waiting_.empty()) {
    TRequest next = std::move(Waiting_.front());
    Waiting_.pop_front();
    Start(std::move(next));
  }
  emit Rendered();
}

void TAbstractPrintForm::UpdatePageControls() {
  PrevPageButton_->setEnabled(CurrentPage_ > 1);
  NextPageButton_->setEnabled(CurrentPage_ < PageCount_);
  PageEdit_->setText(tr("Página %1 de %2").arg(CurrentPage_).arg(PageCount_));
  PreviewBox_->setFocus();
}

void TAbstractPrintForm::ShowPage(int page) {
  CurrentPage_ = page;
  RenderReport(TReportOutput::Preview);
  UpdatePageControls();
}

void TAbstractPrintForm::CloseButtonClick() { close(); }

void TAbstractPrintForm::PrintButtonClick() {
  // The printer is being painted on meanwhile.
  if (Printing()) return;
  Printer_.setFullPage(true);
  Printer_.setPageOrientation(Data_.Orientation == TReportOrientation::Portrait ? QPageLayout::Portrait
                                                                                : QPageLayout::Landscape);
  Printer_.setCopyCount(1);
  if (!PrintDialogs_.Print(Printer_, this)) return;
  // The copies the dialog asks for, of all the copies the report is printed in.
  const int copies = std::max(1, Printer_.copyCount()) * std::max(1, Data_.Copies);
  TRequest request{TReportOutput::Printer, {}};
  if (Printer_.supportsMultipleCopies()) {
    Printer_.setCopyCount(copies);
  } else {
    Printer_.setCopyCount(1);
    request.Copies = copies;
  }
  Start(std::move(request));
}

void TAbstractPrintForm::PrintSetupBtnClick() {
  if (!Printing()) PrintDialogs_.Setup(Printer_, this);
}

void TAbstractPrintForm::PdfButtonClick() {
  const auto file = SaveDialog_.Execute(this);
  if (!file) return;
  RenderReport(TReportOutput::Pdf, file->toStdString());
}

void TAbstractPrintForm::PrevPageButtonClick() {
  if (CurrentPage_ > 1) ShowPage(CurrentPage_ - 1);
}

void TAbstractPrintForm::NextPageButtonClick() {
  if (CurrentPage_ < PageCount_) ShowPage(CurrentPage_ + 1);
}

void TAbstractPrintForm::SetZoom(double zoom) {
  Zoom_ = std::min(zoom, kLargestZoom);
  RenderReport(TReportOutput::Preview);
  PreviewBox_->setFocus();
  ShowZoomFactor();
}

void TAbstractPrintForm::ZoomInButtonClick() { SetZoom(Zoom_ + kZoomStep); }

void TAbstractPrintForm::ZoomOutButtonClick() {
  if (Zoom_ > kZoomStep) SetZoom(Zoom_ - kZoomStep);
}

void TAbstractPrintForm::ShowZoomFactor() {
  ZoomEdit_->setCurrentText(QString::number(Zoom_, 'g', 15) + QLatin1Char('%'));
}

void TAbstractPrintForm::ZoomEditChoose() {
  const QString text = ZoomEdit_->currentText().remove(QLatin1Char('%')).trimmed();
  if (text.size() < 2) return;
  const double zoom = ParseDecimal(text.toStdString()).value_or(0);
  if (zoom > 0) SetZoom(zoom);
}

void TAbstractPrintForm::PageEditEnter() { PageEdit_->setText(QString::number(CurrentPage_)); }

void TAbstractPrintForm::PageEditExit() {
  const int page = ParseInt32(PageEdit_->text().trimmed().toStdString()).value_or(0);
  if (page >= 1 && page <= PageCount_) ShowPage(page);
}

bool TAbstractPrintForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PageEdit_) {
    if (event->type() == QEvent::FocusIn) PageEditEnter();
    if (event->type() == QEvent::FocusOut) PageEditExit();
  }
  return TCustomForm::eventFilter(watched, event);
}

}  // namespace velmora::gui

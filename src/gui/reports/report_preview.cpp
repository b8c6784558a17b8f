#include "reports/report_preview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace velmora::gui {

class TPreviewPage final : public QWidget {
 public:
  explicit TPreviewPage(QWidget* parent) : QWidget(parent) {}

  void SetPage(const QImage& page) {
    Page_ = page;
    const QSizeF shown = page.deviceIndependentSize();
    Margin_ = static_cast<int>(shown.width() * 0.05);
    setFixedSize(static_cast<int>(shown.width()) + 2 * Margin_, static_cast<int>(shown.height()) + 2 * Margin_);
    update();
  }
  const QImage& Page() const { return Page_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (Page_.isNull()) return;
    QPainter painter(this);
    const QSizeF shown = Page_.deviceIndependentSize();
    const QRect page(Margin_, Margin_, static_cast<int>(shown.width()), static_cast<int>(shown.height()));
    const int depth = std::max(2, Margin_ / 8);
    painter.fillRect(page.translated(depth, depth), QColor(0, 0, 0, 90));
    painter.drawImage(page, Page_);
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(page.adjusted(0, 0, -1, -1));
  }

 private:
  QImage Page_;
  int Margin_ = 0;
};

TReportPreview::TReportPreview(QWidget* parent) : QScrollArea(parent), Page_(new TPreviewPage(this)) {
  setObjectName(QStringLiteral("PreviewBox"));
  setFocusPolicy(Qt::StrongFocus);
  setAlignment(Qt::AlignCenter);
  setBackgroundRole(QPalette::Dark);
  setWidget(Page_);
}

void TReportPreview::ShowPage(const QImage& page) { Page_->SetPage(page); }

const QImage& TReportPreview::Page() const { return Page_->Page(); }

void TReportPreview::wheelEvent(QWheelEvent* event) {
  verticalScrollBar()->setValue(verticalScrollBar()->value() - event->angleDelta().y());
  event->accept();
}

void TReportPreview::mousePressEvent(QMouseEvent* event) {
  setFocus();
  QScrollArea::mousePressEvent(event);
}

}  // namespace velmora::gui

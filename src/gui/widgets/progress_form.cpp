#include "widgets/progress_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora::gui {

// Sheets of paper flying in an arc from a folder on the left into one on the right.
class TCopyAnimation : public QWidget {
 public:
  explicit TCopyAnimation(QWidget* parent) : QWidget(parent) {
    setFixedSize(272, 60);
    auto* timer = new QTimer(this);
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, &TCopyAnimation::Advance);
    timer->start();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal h = height();
    DrawFolder(painter, QRectF(4, h * 0.3, 60, h * 0.62));
    DrawFolder(painter, QRectF(width() - 64, h * 0.3, 60, h * 0.62));

    // The sheet rises from the left folder and falls into the right one.
    const qreal t = Step_ / qreal(kSteps);
    const qreal x = 40 + t * (width() - 100);
    const qreal y = h * 0.45 - std::sin(t * 3.14159265) * h * 0.38;
    painter.save();
    painter.translate(x, y);
    painter.rotate(-25 + 50 * t);
    const QRectF sheet(-9, -12, 18, 24);
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setPen(QPen(QColor(150, 150, 170), 1));
    for (int line = 0; line < 4; ++line) {
      const qreal ly = sheet.top() + 5 + line * 4.5;
      painter.drawLine(QPointF(sheet.left() + 3, ly), QPointF(sheet.right() - 3, ly));
    }
    painter.restore();
  }

 private:
  static constexpr int kSteps = 24;

  void Advance() {
    Step_ = (Step_ + 1) % (kSteps + 1);
    update();
  }

  static void DrawFolder(QPainter& painter, const QRectF& area) {
    QPainterPath tab;
    tab.addRoundedRect(QRectF(area.left(), area.top() - 6, area.width() * 0.45, 10), 2, 2);
    painter.setPen(QPen(QColor(150, 110, 20), 1));
    painter.setBrush(QColor(230, 180, 60));
    painter.drawPath(tab);
    painter.setBrush(QColor(245, 200, 80));
    painter.drawRoundedRect(area, 3, 3);
  }

  int Step_ = 0;
};

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Velmora"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  MessageLabel_ = new QLabel(tr("Loading saved actions..."), this);
  QFont bold = MessageLabel_->font();
  bold.setBold(true);
  MessageLabel_->setFont(bold);
  MessageLabel_->setWordWrap(true);
  MessageLabel_->setAlignment(Qt::AlignCenter);
  Animation_ = new TCopyAnimation(this);
  ProgressBar_ = new QProgressBar(this);
  ProgressBar_->hide();
  layout->addWidget(MessageLabel_);
  layout->addWidget(Animation_, 0, Qt::AlignHCenter);
  layout->addWidget(ProgressBar_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TProgressForm::SetMessage(const QString& text) { MessageLabel_->setText(text); }

QString TProgressForm::Message() const { return MessageLabel_->text(); }

void TProgressForm::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace velmora::gui

#include "charts/chart_widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include "platform/user_interface.h"
#include "widgets/dialog_answers.h"
#include "widgets/scaling.h"

namespace velmora::gui {

TCheckList::TCheckList(QWidget* parent) : QListWidget(parent) {
  // The ticks are the list's state; a highlighted row would only suggest another one.
  setSelectionMode(QAbstractItemView::NoSelection);
  // A long name is shortened, never scrolled sideways.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideRight);
}

void TCheckList::SetEntries(const std::vector<std::string>& captions) {
  clear();
  for (const std::string& caption : captions) {
    auto* item = new QListWidgetItem(QString::fromStdString(caption), this);
    // The list toggles entries itself, so that a click on the text counts as one on the box.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
  }
}

void TCheckList::SetTicks(const std::vector<bool>& ticks) {
  for (int row = 0; row < count() && static_cast<std::size_t>(row) < ticks.size(); ++row) {
    item(row)->setCheckState(ticks[static_cast<std::size_t>(row)] ? Qt::Checked : Qt::Unchecked);
  }
}

void TCheckList::SetPlayers(const std::vector<TChartPlayer>& players) {
  std::vector<std::string> captions;
  for (const TChartPlayer& player : players) captions.push_back(player.Caption);
  SetEntries(captions);
  ShowSelection(players);
}

void TCheckList::ShowSelection(const std::vector<TChartPlayer>& players) {
  std::vector<bool> ticks;
  for (const TChartPlayer& player : players) ticks.push_back(player.Selected);
  SetTicks(ticks);
}

std::vector<bool> TCheckList::Ticks() const {
  std::vector<bool> ticks;
  for (int row = 0; row < count(); ++row) ticks.push_back(item(row)->checkState() == Qt::Checked);
  return ticks;
}

void TCheckList::ToggleRow(int row) {
  if (row >= 0 && row < count() && isEnabled() && OnToggle_) OnToggle_(row);
}

void TCheckList::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (const QListWidgetItem* pressed = itemAt(event->position().toPoint())) ToggleRow(row(pressed));
}

void TCheckList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && currentRow() >= 0) {
    ToggleRow(currentRow());
    return;
  }
  QListWidget::keyPressEvent(event);
}

TChartPicture::TChartPicture(QSize size, QWidget* parent) : QWidget(parent) {
  setFixedSize(Scaled(size.width()), Scaled(size.height()));
}

void TChartPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (Paint_) Paint_(painter, QRectF(rect()));
}

QToolButton* TickButton(bool ticked, const QString& hint, const QString& name, QWidget* parent) {
  const int size = Scaled(16);
  QPixmap glyph(size * 2, size * 2);
  glyph.fill(Qt::transparent);
  {
    // Three rows of a check list, every box ticked or every box empty.
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 8.0, size / 8.0);
    for (int row = 0; row < 3; ++row) {
      const double top = 1 + row * 5;
      painter.setPen(QPen(QColor(70, 70, 70), 0.7));
      painter.setBrush(Qt::white);
      painter.drawRect(QRectF(1, top, 4, 4));
      painter.setPen(QPen(QColor(120, 120, 120), 1.2, Qt::SolidLine, Qt::RoundCap));
      painter.drawLine(QPointF(7, top + 2), QPointF(15, top + 2));
      if (ticked) {
        QPainterPath tick;
        tick.moveTo(1.6, top + 2);
        tick.lineTo(2.8, top + 3.3);
        tick.lineTo(5.2, top - 0.3);
        painter.setPen(QPen(QColor(20, 120, 40), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
      }
    }
  }
  glyph.setDevicePixelRatio(2);
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(QIcon(glyph));
  button->setIconSize(QSize(size, size));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  return button;
}

TFileDialog ChartSaveDialog() {
  return TFileDialog(TFileDialog::TMode::Save, QObject::tr("Guardar como"),
                     QObject::tr("Ficheros JPEG|*.jpg;*.jpeg|Todos los ficheros|*.*"), QStringLiteral("jpg"));
}

void SaveChartPicture(QWidget* parent, TFileDialog& dialog, TUserInterface& ui, const QImage& picture) {
  const auto file = dialog.Execute(parent);
  if (!file) return;
  const std::string name = file->toStdString();
  if (!picture.save(*file, "JPEG", 95)) {
    ui.ShowMessage(kApplicationTitle, "No se ha podido guardar la imagen en el archivo \"" + name + "\".",
                   TMessageIcon::Error);
    return;
  }
  ui.ShowMessage(kApplicationTitle, "La imagen ha sido guardada en el archivo \"" + name + "\"",
                 TMessageIcon::Information);
}

void CopyChartPicture(const QImage& picture) { QApplication::clipboard()->setImage(picture); }

}  // namespace velmora::gui

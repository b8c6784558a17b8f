#include "widgets/color_button.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace velmora::gui {

QColor ColorFromValue(std::int32_t value) {
  if (value < 0) return {};
  const auto bits = static_cast<std::uint32_t>(value);
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

std::int32_t ValueOfColor(const QColor& color) {
  if (!color.isValid()) return -1;
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}

TColorButton::TColorButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  setAttribute(Qt::WA_Hover);
}

void TColorButton::SetBackColor(const QColor& color) {
  BackColor_ = color;
  update();
}

void TColorButton::SetTextColor(const QColor& color) {
  TextColor_ = color;
  update();
}

void TColorButton::SetHoverColor(const QColor& color) {
  HoverColor_ = color;
  update();
}

void TColorButton::enterEvent(QEnterEvent* event) {
  Hovered_ = true;
  update();
  QPushButton::enterEvent(event);
}

void TColorButton::leaveEvent(QEvent* event) {
  Hovered_ = false;
  update();
  QPushButton::leaveEvent(event);
}

void TColorButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QRect area = rect();
  const bool pressed = isDown();

  if (isDefault() || hasFocus()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    area.adjust(1, 1, -1, -1);
  }
  if (pressed) {
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
  } else {
    QStyleOptionButton frame;
    frame.initFrom(this);
    frame.rect = area;
    frame.state &= ~QStyle::State_HasFocus;
    if (!isEnabled()) frame.state &= ~QStyle::State_Active;
    painter.drawPrimitive(QStyle::PE_PanelButtonCommand, frame);
  }

  const QRect inside = area.adjusted(2, 2, -2, -2);
  painter.fillRect(inside, Hovered_ && isEnabled() ? HoverColor() : BackColor());

  const QRect caption = pressed ? inside.translated(1, 1) : inside;
  const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
  if (isEnabled()) {
    painter.setPen(TextColor());
    painter.drawText(caption, flags, text());
  } else {
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(caption.translated(1, 1), flags, text());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawText(caption, flags, text());
  }
}

}  // namespace velmora::gui

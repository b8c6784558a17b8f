#include "live/score_display.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

// Segments a to g of each digit, as bits.
constexpr std::array<int, 10> kSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// One segment as a slanted hexagon between two points of the digit's frame.
QPainterPath Segment(QPointF from, QPointF to, double thickness) {
  const QPointF along = to - from;
  const double length = std::hypot(along.x(), along.y());
  const QPointF unit = along / length;
  const QPointF normal(-unit.y(), unit.x());
  const double half = thickness / 2;
  QPainterPath path;
  path.moveTo(from + unit * half * 0.2);
  path.lineTo(from + unit * half + normal * half);
  path.lineTo(to - unit * half + normal * half);
  path.lineTo(to - unit * half * 0.2);
  path.lineTo(to - unit * half - normal * half);
  path.lineTo(from + unit * half - normal * half);
  path.closeSubpath();
  return path;
}

void DrawDigit(QPainter& painter, const QRectF& cell, QChar digit) {
  const int value = digit.isDigit() ? digit.digitValue() : -1;
  const int lit = value >= 0 ? kSegments[static_cast<std::size_t>(value)] : 0;
  const double slant = cell.width() * 0.12;  // a little italic, as on a scoreboard
  const double thickness = cell.width() * 0.17;
  const double left = cell.left() + cell.width() * 0.2;
  const double right = cell.right() - cell.width() * 0.12;
  const double top = cell.top() + cell.height() * 0.1;
  const double bottom = cell.bottom() - cell.height() * 0.1;
  const double middle = (top + bottom) / 2;
  const auto at = [&](double x, double y) { return QPointF(x + slant * (middle - y) / (bottom - top), y); };
  const std::array<QPainterPath, 7> segments = {Segment(at(left, top), at(right, top), thickness),         // a
                                                Segment(at(right, top), at(right, middle), thickness),     // b
                                                Segment(at(right, middle), at(right, bottom), thickness),  // c
                                                Segment(at(left, bottom), at(right, bottom), thickness),   // d
                                                Segment(at(left, middle), at(left, bottom), thickness),    // e
                                                Segment(at(left, top), at(left, middle), thickness),       // f
                                                Segment(at(left, middle), at(right, middle), thickness)};  // g
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const bool on = (lit & (1 << i)) != 0;
    painter.fillPath(segments[i], on ? QColor(255, 72, 28) : QColor(48, 14, 8));
  }
}

}  // namespace

TScoreDisplay::TScoreDisplay(QWidget* parent) : QWidget(parent) { setFixedSize(Scaled(102), Scaled(46)); }

void TScoreDisplay::SetDigits(const QString& digits) {
  if (digits == Digits_) return;
  Digits_ = digits;
  update();
}

void TScoreDisplay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const double scale = width() / 102.0;
  painter.fillRect(rect(), palette().window());
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.drawRoundedRect(QRectF(rect()), 4 * scale, 4 * scale);
  for (int i = 0; i < 3; ++i) {
    const QRectF cell((i * 32 + 3) * scale, 1 * scale, 32 * scale, 40 * scale + 3 * scale);
    DrawDigit(painter, cell, i < Digits_.size() ? Digits_.at(i) : QChar());
  }
}

}  // namespace velmora::gui

#include "reports/engine/page_stream.h"

#include <QPaintDevice>
#include <QPainter>

namespace velmora::report {

namespace {

template <class... T>
struct TOverloaded : T... {
  using T::operator()...;
};
// Clang before 17 deduces no aggregate's template arguments by itself.
template <class... T>
TOverloaded(T...) -> TOverloaded<T...>;

}  // namespace

void PaintPage(QPainter& painter, const TPageStream& stream, int index) {
  if (index < 0 || index >= stream.PageCount()) return;
  // Device pixels per millimetre; fonts take their size in points from the same device.
  const double scale = painter.device()->logicalDpiX() / 25.4;
  const auto px = [scale](const QRectF& box) {
    return QRectF(box.x() * scale, box.y() * scale, box.width() * scale, box.height() * scale);
  };
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (const TRun& run : stream.Pages[static_cast<std::size_t>(index)].Runs) {
    std::visit(TOverloaded{
                   [&](const TTextRun& text) {
                     painter.setFont(stream.Fonts[static_cast<std::size_t>(text.Font)]);
                     painter.setPen(text.Color);
                     painter.drawText(
                         px(text.Box),
                         static_cast<int>(text.Align | Qt::AlignVCenter) | Qt::TextDontClip | Qt::TextSingleLine,
                         text.Text);
                   },
                   [&](const TLineRun& line) {
                     painter.setPen(QPen(line.Color, line.Width * scale, Qt::SolidLine, Qt::FlatCap));
                     painter.drawLine(line.From * scale, line.To * scale);
                   },
                   [&](const TRectRun& rect) {
                     painter.setPen(rect.BorderWidth > 0 ? QPen(rect.Border, rect.BorderWidth * scale) : Qt::NoPen);
                     painter.setBrush(rect.Fill.isValid() ? QBrush(rect.Fill) : Qt::NoBrush);
                     painter.drawRect(px(rect.Box));
                   },
                   [&](const TImageRun& image) {
                     painter.drawImage(px(image.Box), stream.Images[static_cast<std::size_t>(image.Image)]);
                   },
               },
               run);
  }
  painter.restore();
}

}  // namespace velmora::report

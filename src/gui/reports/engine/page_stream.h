#pragma once
// A generated report: its pages as recorded drawing (texts, lines, boxes and pictures placed in
// millimetres), and the one paint routine that the preview, the printer and the PDF share.

#include <variant>
#include <vector>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QRectF>
#include <QString>

class QPainter;

namespace velmora::report {

struct TTextRun {
  QRectF Box;  // one line of text, aligned inside the box
  QString Text;
  int Font = 0;
  Qt::Alignment Align = Qt::AlignLeft;
  QColor Color = Qt::black;
};

struct TLineRun {
  QPointF From, To;
  double Width = 0.2;
  QColor Color = Qt::black;
};

struct TRectRun {
  QRectF Box;
  QColor Fill;  // invalid: not filled
  QColor Border = Qt::black;
  double BorderWidth = 0;
};

struct TImageRun {
  QRectF Box;
  int Image = 0;
};

using TRun = std::variant<TTextRun, TLineRun, TRectRun, TImageRun>;

struct TRecordedPage {
  std::vector<TRun> Runs;  // in drawing order
};

struct TPageStream {
  QPageLayout::Orientation Orientation = QPageLayout::Landscape;
  QSizeF PageSize;  // millimetres, as oriented
  std::vector<QFont> Fonts;
  std::vector<QImage> Images;
  std::vector<TRecordedPage> Pages;

  int PageCount() const { return static_cast<int>(Pages.size()); }
};

// Paints page `index` (from 0) with the page's top left corner at the painter's origin, at the
// resolution of the painter's device (its logical dots per inch).
void PaintPage(QPainter& painter, const TPageStream& stream, int index);

}  // namespace velmora::report

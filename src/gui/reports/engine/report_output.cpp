#include "reports/engine/report_output.h"

#include <cmath>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include "records/file_io.h"
#include "reports/engine/pdf_info.h"

namespace velmora::report {

namespace {

QPageLayout SheetOf(const TPageStream& stream) {
  return QPageLayout(QPageSize(QPageSize::A4), stream.Orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace

QImage RenderPageImage(const TPageStream& stream, int index, double dpi) {
  const auto pixels = [dpi](double millimetres) {
    return std::max(1, static_cast<int>(std::lround(millimetres * dpi / 25.4)));
  };
  QImage image(pixels(stream.PageSize.width()), pixels(stream.PageSize.height()), QImage::Format_RGB32);
  const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintPage(painter, stream, index);
  return image;
}

bool PaintPages(const TPageStream& stream, QPagedPaintDevice& device, int copies) {
  device.setPageLayout(SheetOf(stream));
  QPainter painter;
  if (!painter.begin(&device)) return false;
  bool first = true;
  for (int copy = 0; copy < std::max(1, copies); ++copy) {
    for (int page = 0; page < stream.PageCount(); ++page) {
      if (!first && !device.newPage()) return false;
      first = false;
      PaintPage(painter, stream, page);
    }
  }
  return painter.end();
}

QByteArray PdfBytes(const TPageStream& stream, const TPdfInfo& info) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    writer.setTitle(info.Title);
    writer.setCreator(info.Creator);
    PaintPages(stream, writer, 1);
  }
  return WithProducer(bytes, info.Producer);
}

TStatus WritePdf(const TPageStream& stream, const TPdfInfo& info, const std::filesystem::path& file) {
  const QByteArray bytes = PdfBytes(stream, info);
  if (bytes.isEmpty()) return TError{"No se pudo generar el PDF."};
  return ReplaceExportedFile(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace velmora::report

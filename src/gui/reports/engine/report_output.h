#pragma once
// The outputs of a page stream, all through the one paint routine: a page as a picture (the
// preview), any paged device (a printer), and a PDF file.

#include <filesystem>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "records/result.h"
#include "reports/engine/page_stream.h"

class QPagedPaintDevice;

namespace velmora::report {

// Page `index` on white paper at `dpi` dots per inch.
QImage RenderPageImage(const TPageStream& stream, int index, double dpi);

// Every page `copies` times, one copy after the other, on the device's A4 sheets without margins
// (the pages carry their own). False when the device could not be painted on.
bool PaintPages(const TPageStream& stream, QPagedPaintDevice& device, int copies);

struct TPdfInfo {
  QString Title;
  QString Creator;
  QString Producer;
};

// The pages once as a PDF document: vector text with the fonts embedded, the document information
// as given.
QByteArray PdfBytes(const TPageStream& stream, const TPdfInfo& info);
// The same written to a file, replacing it only once all is written; the error names the file and
// the reason.
TStatus WritePdf(const TPageStream& stream, const TPdfInfo& info, const std::filesystem::path& file);

}  // namespace velmora::report

#include "reports/report_render_job.h"

#include <algorithm>

#include <QPagedPaintDevice>

namespace velmora::gui {

TRenderResult RunRenderJob(const TRenderJob& job) {
  TRenderResult result;
  auto pages = report::GenerateReport(job.ProjectFileName, job.ReportName, job.Input, job.Files);
  if (!pages) {
    result.Error = pages.Error();
    return result;
  }
  const report::TPageStream& stream = pages.Value();
  result.PageCount = stream.PageCount();
  switch (job.Output) {
    case TReportOutput::Preview:
      result.Page =
          report::RenderPageImage(stream, std::clamp(job.Page, 1, std::max(1, stream.PageCount())) - 1, job.Dpi);
      break;
    case TReportOutput::Printer:
      if (!job.Device || !report::PaintPages(stream, *job.Device, job.Copies)) {
        result.Error = "No se pudo imprimir el informe.";
      }
      break;
    case TReportOutput::Pdf:
      if (TStatus written = report::WritePdf(stream, report::ReportPdfInfo(), job.PdfFile); !written) {
        result.Error = written.Error();
      }
      break;
  }
  return result;
}

}  // namespace velmora::gui

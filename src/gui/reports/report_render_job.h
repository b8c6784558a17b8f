#pragma once
// One generation of a report window, runnable on any thread: the report executed into pages,
// then handed to the preview (one page as a picture), a printer or a PDF file.

#include <filesystem>
#include <optional>
#include <string>

#include <QImage>

#include "reports/engine/report_generator.h"

class QPagedPaintDevice;

namespace velmora::gui {

enum class TReportOutput { Preview, Printer, Pdf };

struct TRenderJob {
  TReportOutput Output = TReportOutput::Preview;
  std::string ProjectFileName;
  std::string ReportName;
  report::TReportInput Input;
  report::TReportFiles Files;
  int Page = 1;                         // preview: the page shown, from 1
  double Dpi = 96;                      // preview
  int Copies = 1;                       // printer: every page this many times
  QPagedPaintDevice* Device = nullptr;  // printer; nothing else paints on it meanwhile
  std::filesystem::path PdfFile;
};

struct TRenderResult {
  std::optional<std::string> Error;  // the engine's or the output's
  int PageCount = 0;
  QImage Page;  // preview
};

TRenderResult RunRenderJob(const TRenderJob& job);

}  // namespace velmora::gui

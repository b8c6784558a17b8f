#pragma once
// One generation of a report as the report windows and the command line run it: the project file
// read from the report folder, the header, footer and logo pictures from the files the settings
// name, the report executed into pages.

#include <filesystem>
#include <string>

#include "records/result.h"
#include "reports/engine/page_stream.h"
#include "reports/engine/report_executor.h"
#include "reports/engine/report_output.h"

namespace velmora {
class TConfiguration;
}

namespace velmora::report {

struct TReportFiles {
  std::filesystem::path ReportFolder;  // the project files
  std::filesystem::path Header, Footer, Logo;
};

// The folder "report" of the program folder and the pictures of "report_header", "report_footer"
// and "report_logo".
TReportFiles ReportFilesOf(const TConfiguration& config, const std::filesystem::path& programFolder);

// Executes the report `reportName` of the project file; the input's pictures are joined by
// "header", "footer" and "logo". The error is the engine's: a project that is missing or broken,
// or a layout asking for what the input does not give.
TResult<TPageStream> GenerateReport(const std::string& projectFileName, const std::string& reportName,
                                    TReportInput input, const TReportFiles& files);

// The document information of every PDF the program writes.
TPdfInfo ReportPdfInfo();

}  // namespace velmora::report

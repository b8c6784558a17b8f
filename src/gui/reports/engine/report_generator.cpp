#include "reports/engine/report_generator.h"

#include "platform/configuration.h"
#include "platform/user_interface.h"
#include "reports/engine/report_pictures.h"
#include "reports/engine/report_project.h"

namespace velmora::report {

TReportFiles ReportFilesOf(const TConfiguration& config, const std::filesystem::path& programFolder) {
  return {programFolder / "report", config.GetString("report_header"), config.GetString("report_footer"),
          config.GetString("report_logo")};
}

TResult<TPageStream> GenerateReport(const std::string& projectFileName, const std::string& reportName,
                                    TReportInput input, const TReportFiles& files) {
  auto project = LoadProject(files.ReportFolder / projectFileName);
  if (!project) return TError{project.Error()};
  input.Pictures[QStringLiteral("header")] = ReportPicture(files.Header);
  input.Pictures[QStringLiteral("footer")] = ReportPicture(files.Footer);
  input.Pictures[QStringLiteral("logo")] = ReportPicture(files.Logo);
  return ExecuteReport(project.Value(), QString::fromStdString(reportName), input);
}

TPdfInfo ReportPdfInfo() {
  const auto text = [](std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  };
  return {QStringLiteral("Offcial Statistics Sheet"),
          text(kApplicationTitle) + QStringLiteral(" (") + QString::fromLatin1(kProductWebAddress) + QLatin1Char(')'),
          text(kMakerName)};
}

}  // namespace velmora::report

#pragma once
// Executes one report of a project into a page stream: the page bands on every page, the body's
// blocks and tables flowing over as many pages as they need.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QString>

#include "records/result.h"
#include "reports/engine/page_stream.h"
#include "reports/engine/report_layout.h"
#include "reports/report_data.h"

namespace velmora::report {

// Everything a generation reads, copied out of the report's data (its connections read through
// the protocol), so that it can run on any thread.
struct TReportInput {
  TReportOrientation Orientation = TReportOrientation::Landscape;
  std::vector<std::pair<std::string, std::string>> Parameters;
  std::vector<std::pair<std::string, TConnectionRows>> Connections;
  std::map<QString, QImage> Pictures;  // by the names the layouts give as sources
};

// Reads the data's parameters and every connection's rows now.
TReportInput InputOf(const TReportData& data, std::map<QString, QImage> pictures);

// The pages of the report `reportName` (A4); the error says what the layout asks for that the
// input does not give (a report, a connection, a picture).
TResult<TPageStream> ExecuteReport(const TProject& project, const QString& reportName, const TReportInput& input);

}  // namespace velmora::report

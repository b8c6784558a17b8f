#pragma once
// A report's data as "velmora-cli report --json" prints it: its layout, caption, orientation and
// copies, the parameters in the order they are set, and the rows of its data connections.

#include <nlohmann/json.hpp>

#include "reports/report_data.h"

namespace velmora::cli {

nlohmann::ordered_json ReportJson(const TReportData& data);

}  // namespace velmora::cli

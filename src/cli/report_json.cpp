#include "report_json.h"

namespace velmora::cli {

nlohmann::ordered_json ReportJson(const TReportData& data) {
  using Json = nlohmann::ordered_json;
  Json parameters = Json::object();
  for (const auto& [name, text] : data.Parameters()) parameters[name] = text;
  Json connections = Json::object();
  for (const auto& [name, rows] : data.PullConnections()) {
    Json columns = Json::array();
    for (const TReportColumn& column : rows.Columns) {
      columns.push_back({{"name", column.Name}, {"width", column.Width}, {"full_name", column.FullName}});
    }
    connections[name] = {{"columns", columns}, {"rows", rows.Rows}};
  }
  return {{"report", data.ReportName},
          {"project", data.ProjectFileName},
          {"caption", data.Caption},
          {"orientation", data.Orientation == TReportOrientation::Portrait ? "portrait" : "landscape"},
          {"copies", data.Copies},
          {"parameters", parameters},
          {"connections", connections}};
}

}  // namespace velmora::cli

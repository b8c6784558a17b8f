#pragma once
// The rosters report: both teams' rosters under the common game header, one data connection per
// team read from the roster whenever the report is generated.

#include <string>
#include <vector>

#include "records/message_source.h"
#include "reports/report_data.h"

namespace velmora {

class TModel;

void DefineRostersReport(TReportData& data);
// Portrait; the common header without scores; RostersConnection1 and RostersConnection2.
void FillRostersReport(TReportData& data, const TModel& model, const TMessageSource& messages);

// One team's roster as a data connection: No, Name, Height, Position, BirthDate.
class TRostersConnection final : public TDataConnection {
 public:
  // The model outlives the connection.
  TRostersConnection(const TModel& model, int team) : Model_(model), Team_(team) {}
  int Open() override;
  std::vector<TReportColumn> Columns() override;
  std::vector<std::string> Row(int index) override;

 private:
  const TModel& Model_;
  int Team_;
};

}  // namespace velmora

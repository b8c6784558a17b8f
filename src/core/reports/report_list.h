#pragma once
// The reports that can be made without a window, by the names the command line gives them. A new
// report adds one line to the list.

#include <span>
#include <string_view>

#include "platform/messages.h"
#include "records/message_source.h"
#include "reports/report_data.h"

namespace velmora {

class TModel;

struct TReportKind {
  std::string_view Name;  // "boxscore", "rosters"
  void (*Define)(TReportData& data);
  void (*Fill)(TReportData& data, const TModel& model, const TMessageSource& messages);
};

std::span<const TReportKind> ReportKinds();
// None for a name that is not in the list.
const TReportKind* FindReportKind(std::string_view name);

// What a report window holds once it is made: DefineReport, FillReport, then every message as a
// "LANG_" parameter. The data reads the model, which outlives it.
TReportData MakeReportData(const TReportKind& kind, const TModel& model, const TMessages& messages);

}  // namespace velmora

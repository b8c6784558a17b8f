#pragma once
// The team leaders: for each chosen statistic category one row with the three best players of
// each team, ties that do not fit the three places folded into "n jugadores".

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/message_source.h"
#include "records/result.h"
#include "reports/report_data.h"

namespace velmora {

class TModel;

enum class TLeaderKind { Integer, Percent, Minutes };

struct TLeaderCategory {
  std::string_view Name;     // of its check box: "P2FG"
  std::string_view Caption;  // "Canastas de 2 puntos anotadas"
  bool Checked = false;      // at start
  std::string_view TitleKey;
  std::string_view Made;       // the statistic, or the made count of a percentage
  std::string_view Attempted;  // of a percentage only
  TLeaderKind Kind = TLeaderKind::Integer;
};

// The 19 categories in report order.
std::span<const TLeaderCategory> LeaderCategories();
using TLeaderSelection = std::array<bool, 19>;
TLeaderSelection InitialLeaderSelection();
// "P2FG,P3FG": the categories of these check-box names; the error names one that is unknown.
TResult<TLeaderSelection> LeaderSelectionOf(std::string_view names);

// One team's three places: shirt text, player text and value text each.
struct TLeaderPlace {
  std::string Number;
  std::string Player;
  std::string Value;
};
std::array<TLeaderPlace, 3> LeaderPlaces(const TModel& model, int team, const TLeaderCategory& category);

void DefineTeamLeadersReport(TReportData& data);
// Portrait; the common header with scores; TeamLeadersConnection with the categories ticked at start.
void FillTeamLeadersReport(TReportData& data, const TModel& model, const TMessageSource& messages);

// One row per selected category: Title, then per team its name and three places.
class TTeamLeadersConnection final : public TDataConnection {
 public:
  // The model outlives the connection; the titles are read when the report is made.
  TTeamLeadersConnection(const TModel& model, const TMessageSource& messages);
  // The categories of the next generation.
  void Select(const TLeaderSelection& selection) { Selection_ = selection; }
  const TLeaderSelection& Selection() const { return Selection_; }

  int Open() override;
  std::vector<TReportColumn> Columns() override;
  std::vector<std::string> Row(int index) override;

 private:
  const TModel& Model_;
  std::vector<std::string> Titles_;
  TLeaderSelection Selection_;
  std::vector<const TLeaderCategory*> Marked_;  // the categories of the rows, read at open
};

}  // namespace velmora

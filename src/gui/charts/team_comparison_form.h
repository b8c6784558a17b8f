#pragma once
// The team comparison window ("Comparación de equipos"): one of seventeen statistics of both teams
// for the chosen players, stacked by period.

#include <memory>

#include "charts/players_chart_form.h"
#include "charts/team_comparison.h"

class QButtonGroup;

namespace velmora::gui {

class TComparisonScene;

class TTeamComparisonForm : public TPlayersChartForm {
  Q_OBJECT

 public:
  explicit TTeamComparisonForm(TGuiContext& context, QWidget* parent = nullptr);
  ~TTeamComparisonForm() override;

  const TTeamComparison& Comparison() const { return *Comparison_; }
  QButtonGroup* OptionGroup() const { return Options_; }

  void OptionGroupClick(int option);

 protected:
  std::vector<TChartPlayer>& Players(int team) override { return Comparison_->Players(team); }
  void Draw() override;

 private:
  std::unique_ptr<TTeamComparison> Comparison_;
  std::unique_ptr<TComparisonScene> Scene_;
  QButtonGroup* Options_ = nullptr;
};

}  // namespace velmora::gui

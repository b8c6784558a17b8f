#pragma once
// The score development window ("Gráfico del desarrollo del marcador"): both teams minute by
// minute, with the minutes in which the chosen players were on the court behind the curves.

#include <memory>

#include "charts/players_chart_form.h"
#include "charts/score_development.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;

namespace velmora::gui {

class TDevelopmentScene;

class TScoreDevelopmentChartForm : public TPlayersChartForm {
  Q_OBJECT

 public:
  explicit TScoreDevelopmentChartForm(TGuiContext& context, QWidget* parent = nullptr);
  ~TScoreDevelopmentChartForm() override;

  const TScoreDevelopment& Development() const { return *Development_; }
  const TDevelopmentScene& Scene() const { return *Scene_; }

 protected:
  std::vector<TChartPlayer>& Players(int team) override { return Development_->Players(team); }
  void Draw() override;

 private:
  std::unique_ptr<TScoreDevelopment> Development_;
  std::unique_ptr<TDevelopmentScene> Scene_;
  QButtonGroup* Options_ = nullptr;
  QComboBox* ChartType_ = nullptr;
  QCheckBox* Accumulative_ = nullptr;
  QCheckBox* View3D_ = nullptr;
};

}  // namespace velmora::gui

#pragma once
// What the team comparison and the score development windows share: a list of each team's players
// with its select-all and deselect-all buttons, the choices between the lists, the Qt chart below
// and the buttons to copy, save, print and close.

#include <QImage>
#include <vector>

#include "charts/chart_players.h"
#include "widgets/custom_form.h"
#include "widgets/dialog_answers.h"

class QChart;
class QChartView;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace velmora::gui {

struct TGuiContext;
class TCheckList;

class TPlayersChartForm : public TCustomForm {
  Q_OBJECT

 public:
  QChart& Chart() const { return *Chart_; }
  QChartView* ChartView() const { return View_; }
  TCheckList* TeamList(int team) const { return Lists_[team == 1 ? 0 : 1]; }
  TFileDialog& SaveDialog() { return SaveDialog_; }
  // The chart as the window shows it, `scale` times its size.
  QImage Picture(double scale) const;
  // How many times the chart was drawn.
  int Redraws() const { return Redraws_; }

  void SelectAllClick(int team, bool selected);
  void CopyButtonClick();
  void SaveButtonClick();

 protected:
  // `chartTitle` names the group of the chart.
  TPlayersChartForm(TGuiContext& context, QWidget* parent, const QString& chartTitle);

  TGuiContext& Context() const { return Context_; }
  // Where the choices between the two lists go.
  QVBoxLayout* MiddleLayout() const { return Middle_; }
  virtual std::vector<TChartPlayer>& Players(int team) = 0;
  // Draws the chart from the current choices.
  virtual void Draw() = 0;
  // Lists both teams' players and draws.
  void FillLists();
  void Redraw();

 private:
  QWidget* BuildTeamColumn(int team, QWidget* parent);
  void ShowTicks();

  TGuiContext& Context_;
  TFileDialog SaveDialog_;
  QChart* Chart_;
  QChartView* View_;
  QLabel* Names_[2] = {};
  TCheckList* Lists_[2] = {};
  QVBoxLayout* Middle_ = nullptr;
  int Redraws_ = 0;
};

}  // namespace velmora::gui

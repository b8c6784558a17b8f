#pragma once
// The shot chart window ("Grafica de tiros"): the game's shots on the full court, filtered by
// team, player and period, by team or by half, in colour or black and white; saved as JPEG and
// copied. The heat map is the same window drawing its shots another way.

#include <memory>

#include "charts/shot_chart.h"
#include "widgets/custom_form.h"
#include "widgets/dialog_answers.h"

class QBoxLayout;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;
class QVBoxLayout;

namespace velmora::gui {

struct TGuiContext;
class TChartPicture;
class TCheckList;

class TShotChartForm : public TCustomForm {
  Q_OBJECT

 public:
  explicit TShotChartForm(TGuiContext& context, QWidget* parent = nullptr);
  ~TShotChartForm() override;

  // Takes the lists from the game and draws; the opener calls it before showing the window.
  void Fill();
  // Draws the chart again with the current filters.
  void Generate();
  // The chart as the window shows it, `scale` times the court's size.
  virtual QImage Picture(double scale) const;

  const TShotChart& Chart() const { return *Chart_; }
  const std::vector<TShotMark>& Shots() const { return Shots_; }
  TFileDialog& SaveDialog() { return SaveDialog_; }
  // How many times the chart was drawn.
  int Generations() const { return Generations_; }

  void TeamBoxClick(int team);
  void SelectAllClick(int team, bool selected);
  void SaveButtonClick();
  void CopyButtonClick();

 protected:
  // Paints the chart filling `target`.
  virtual void PaintChart(QPainter& painter, const QRectF& target) const;
  // Called once the shots are known, before the picture is repainted.
  virtual void ShotsChanged() {}
  // The group holding the court, for the heat map's own controls.
  QVBoxLayout* ChartGroupLayout() const { return ChartLayout_; }
  TChartPicture* CourtImage() const { return CourtImage_; }
  QRadioButton* ColorButton() const { return Color_; }
  QRadioButton* BlackWhiteButton() const { return BlackWhite_; }

 private:
  QGroupBox* BuildOptions();
  QGroupBox* BuildChartGroup();
  QWidget* BuildButtons();
  // A radio button of one of the window's two choices; choosing it draws the chart again.
  QRadioButton* AddChoice(const QString& caption, const QString& name, QBoxLayout* layout, QWidget* parent);
  void ShowTicks();

  TGuiContext& Context_;
  std::unique_ptr<TShotChart> Chart_;
  std::vector<TShotMark> Shots_;
  TFileDialog SaveDialog_;
  int Generations_ = 0;

  QCheckBox* TeamBoxes_[2] = {};
  TCheckList* TeamLists_[2] = {};
  QToolButton* SelectButtons_[2][2] = {};
  TCheckList* QuarterList_ = nullptr;
  QRadioButton* ByTeam_ = nullptr;
  QRadioButton* ByHalf_ = nullptr;
  QLabel* SideLabels_[2] = {};
  TChartPicture* CourtImage_ = nullptr;
  QRadioButton* Color_ = nullptr;
  QRadioButton* BlackWhite_ = nullptr;
  QVBoxLayout* ChartLayout_ = nullptr;
};

}  // namespace velmora::gui

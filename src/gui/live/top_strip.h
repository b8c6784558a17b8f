#pragma once
// The live window's top strip: a column per team (name, score, team fouls, time-outs) and the
// centre column with the period group ("Cuarto") and the game clock ("Reloj de partido").

#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace velmora::gui {

class TScoreDisplay;

class TTeamPanel : public QWidget {
  Q_OBJECT

 public:
  TTeamPanel(int team, QWidget* parent = nullptr);

  QLabel* NameLabel() const { return Name_; }
  TScoreDisplay* Score() const { return Score_; }
  QWidget* FoulPanel() const { return FoulPanel_; }
  QLabel* Fouls() const { return Fouls_; }
  QLabel* Timeouts() const { return Timeouts_; }

 private:
  QLabel* Name_;
  TScoreDisplay* Score_;
  QWidget* FoulPanel_;
  QLabel* Fouls_;
  QLabel* Timeouts_;
};

// The clock adjuster: an up and a down arrow; holding one repeats its step.
class TClockUpDown : public QWidget {
  Q_OBJECT

 public:
  explicit TClockUpDown(QWidget* parent = nullptr);

  // +1 for the down arrow (the clock runs on, less time left), -1 for the up arrow; `first` is true
  // for the first step of a press.
  void SetStepHandler(std::function<void(int step, bool first)> handler) { OnStep_ = std::move(handler); }
  void SetReleaseHandler(std::function<void()> handler) { OnRelease_ = std::move(handler); }
  QToolButton* UpButton() const { return Up_; }
  QToolButton* DownButton() const { return Down_; }

 private:
  void Press(int step);
  void Release();

  QToolButton* Up_;
  QToolButton* Down_;
  QTimer* Repeat_;
  int Step_ = 0;
  int Repeats_ = 0;
  std::function<void(int, bool)> OnStep_;
  std::function<void()> OnRelease_;
};

class TPeriodClockPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TPeriodClockPanel(QWidget* parent = nullptr);

  QGroupBox* StartGameGroup() const { return StartGameGroup_; }
  QPushButton* StartGameButton() const { return StartGame_; }
  QGroupBox* QuarterGroup() const { return QuarterGroup_; }
  QLabel* QuarterLabel() const { return Quarter_; }
  QWidget* QuarterButtons() const { return QuarterButtons_; }
  QPushButton* NextPeriodButton() const { return NextPeriod_; }
  QPushButton* EndPeriodButton() const { return EndPeriod_; }
  QPushButton* TimeoutButton() const { return Timeout_; }
  QGroupBox* ClockGroup() const { return ClockGroup_; }
  QLineEdit* ClockEdit() const { return ClockEdit_; }
  QWidget* ClockPanel() const { return ClockPanel_; }
  TClockUpDown* ClockUpDown() const { return UpDown_; }
  QPushButton* StartClockButton() const { return StartClock_; }
  QPushButton* StopClockButton() const { return StopClock_; }

 private:
  QGroupBox* StartGameGroup_;
  QPushButton* StartGame_;
  QGroupBox* QuarterGroup_;
  QLabel* Quarter_;
  QWidget* QuarterButtons_;
  QPushButton* NextPeriod_;
  QPushButton* EndPeriod_;
  QPushButton* Timeout_;
  QGroupBox* ClockGroup_;
  QLineEdit* ClockEdit_;
  QWidget* ClockPanel_;
  TClockUpDown* UpDown_;
  QPushButton* StartClock_;
  QPushButton* StopClock_;
};

}  // namespace velmora::gui

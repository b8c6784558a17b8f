#pragma once
// The small dialogs of the entry: the choice over the court ("TChoiceForm"), the player list
// ("TPlayerForm") and the shirt-number box ("TNumberEntryForm"). Each is operable with the mouse
// and the keyboard and never opens off screen.

#include <QDialog>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "live/entry_workflow.h"

class QLineEdit;

namespace velmora::gui {

class TPlayerButton;

class TChoiceForm : public QDialog {
  Q_OBJECT

 public:
  // One button per caption, in two columns, under the title when there is one; `area` is the
  // court's rectangle on the screen, which the dialog covers from its top.
  TChoiceForm(const QStringList& captions, const QString& title, const QRect& area, QWidget* parent);
  // The one-based position of the chosen value; 0 when cancelled.
  int Chosen() const { return Chosen_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::vector<QPushButton*> Buttons_;
  int Cursor_ = 0;  // where the arrow keys are; the first button to begin with
  int Chosen_ = 0;
};

class TPlayerForm : public QDialog {
  Q_OBJECT

 public:
  TPlayerForm(const QString& caption, const std::vector<TPlayerView>& players, QWidget* parent);
  // The stored shirt number of the chosen player; 0 when closed without one.
  int Chosen() const { return Chosen_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::vector<TPlayerButton*> Buttons_;
  int Cursor_ = -1;  // where the arrow keys are; none until they are used
  int Chosen_ = 0;
};

class TNumberEntryForm : public QDialog {
  Q_OBJECT

 public:
  // `matches` gives the shirt numbers of the players on court that start with a typed text.
  TNumberEntryForm(std::function<std::vector<int>(const std::string&)> matches, const QRect& area, QWidget* parent);
  // The shirt number typed; 0 when the box ended without one.
  int Chosen() const { return Chosen_; }
  QLineEdit* Edit() const { return Edit_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<std::vector<int>(const std::string&)> Matches_;
  QLineEdit* Edit_;
  int Chosen_ = 0;
};

// The live window's dialogs for the entry. Tests may put answers into `Script` ("" cancels a
// choice, "0" closes a player list): each question then takes the next answer instead of a dialog.
class TEntryDialogs final : public TEntryPrompts {
 public:
  // `window` centres the player list, `court` places the choice, `middle` the shirt-number box.
  TEntryDialogs(const TMessageSource& messages, QWidget* window, QWidget* court, QWidget* middle)
      : Messages_(messages), Window_(window), Court_(court), Middle_(middle) {}

  std::string AskChoice(const TParameter& parameter, const std::string& title) override;
  int AskPlayer(int team, TPlayerPurpose purpose, const std::vector<TPlayerView>& players) override;
  // The shirt number typed for the team's players on court; 0 for none.
  int AskShirtNumber(std::function<std::vector<int>(const std::string&)> matches);

  std::deque<std::string> Script;
  // What was asked, for tests: the choice's title or the player list's caption.
  std::vector<std::string> Asked;

 private:
  bool Scripted(std::string& answer);

  const TMessageSource& Messages_;
  QWidget* Window_;
  QWidget* Court_;
  QWidget* Middle_;
};

// Keeps the rectangle on the screen that shows most of it.
QRect OnScreen(const QRect& wanted, const QWidget* near);

}  // namespace velmora::gui

#pragma once
// The live window driven as an operator would: court clicks at court coordinates, player buttons,
// keys, and answers for the entry's dialogs; with what the sender took since the last look.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "live/court_view.h"
#include "live/entry_dialogs.h"
#include "live/player_column.h"
#include "live_window_fixture.h"

namespace velmora::gui::testing {

using Kinds = std::vector<std::string>;

class EntryTest : public LiveWindowTest {
 protected:
  EntryTest() {
    // A dialog of the entry that nobody answers would hang the test: it fails and is closed.
    StrayDialogs_.setInterval(500);
    QObject::connect(&StrayDialogs_, &QTimer::timeout, &StrayDialogs_, [this] {
      // Only a dialog still open at the next look is stray: a look that was due while the test
      // ran must not close a dialog that has just opened.
      QWidget* modal = QApplication::activeModalWidget();
      const bool seenBefore = modal && modal == LastModal_;
      LastModal_ = modal;
      if (!seenBefore) return;
      const QString name = modal->objectName();
      if (name != QStringLiteral("ChoiceForm") && name != QStringLiteral("PlayerForm") &&
          name != QStringLiteral("NumberEntryForm")) {
        return;
      }
      std::string asked;
      if (Window) {
        for (const std::string& question : Window->Dialogs().Asked) asked += " | " + question;
      }
      ADD_FAILURE() << "unanswered " << name.toStdString() << "; asked so far:" << asked;
      static_cast<QDialog*>(modal)->reject();
    });
    StrayDialogs_.start();
  }

  void Answer(std::initializer_list<const char*> answers) {
    for (const char* answer : answers) Window->Dialogs().Script.emplace_back(answer);
  }
  const std::vector<std::string>& Asked() { return Window->Dialogs().Asked; }
  void ClickCourt(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* picture = Find<TCourtPanel>("ImagePanel")->Picture();
    const QPoint at(static_cast<int>((x + 0.5) * picture->width() / 279.0),
                    static_cast<int>((y + 0.5) * picture->height() / 200.0));
    QTest::mouseClick(picture, button, {}, at);
  }
  TPlayerButton* PlayerButton(int team, int shirt) {
    return Find<TPlayerButton>(("PlayerButton" + std::to_string(team * 1000 + shirt)).c_str());
  }
  void ClickPlayer(int team, int shirt) {
    TPlayerButton* button = PlayerButton(team, shirt);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled()) << "player " << shirt << " of team " << team;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Window->focusWidget() ? Window->focusWidget() : Window.get(), key, modifiers);
  }
  // The actions the sender took since the last look, without clock ticks.
  std::vector<const TAction*> Taken() {
    std::vector<const TAction*> taken;
    for (std::size_t i = Seen_; i < Sender->Taken.size(); ++i) {
      if (Sender->Taken[i]->ShortName != "clock") taken.push_back(Sender->Taken[i].get());
    }
    Seen_ = Sender->Taken.size();
    return taken;
  }
  static Kinds KindsOf(const std::vector<const TAction*>& actions) {
    Kinds kinds;
    for (const TAction* action : actions) kinds.push_back(action->ShortName);
    return kinds;
  }
  const TAction* Current() { return Window->Entry().CurrentAction(); }
  QString Prompt() { return TextOf("MessageLabel"); }

  std::size_t Seen_ = 0;
  QTimer StrayDialogs_;
  QPointer<QWidget> LastModal_;
};

}  // namespace velmora::gui::testing

#pragma once
// The live window driven as an operator would: court clicks at court coordinates, player buttons,
// keys, and answers for the entry's dialogs; with what the sender took since the last look.

#include <QApplication>
#include <QTest>

#include "dialog_guard.h"
#include "live/court_view.h"
#include "live/entry_dialogs.h"
#include "live/player_column.h"
#include "live_window_fixture.h"
#include "when_shown.h"

namespace velmora::gui::testing {

using Kinds = std::vector<std::string>;
using velmora::testing::SetDialogDiagnostics;
using velmora::testing::WhenShown;

class EntryTest : public LiveWindowTest {
 protected:
  EntryTest() {
    // An entry dialog nobody answers fails the test, naming what the entry asked until then.
    SetDialogDiagnostics([this] {
      std::string asked = "asked so far:";
      if (Window) {
        for (const std::string& question : Window->Dialogs().Asked) asked += " | " + question;
      }
      return asked;
    });
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
};

}  // namespace velmora::gui::testing

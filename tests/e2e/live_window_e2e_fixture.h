#pragma once
// The live window of the operator's game "G-1" on velmora-statserver, offscreen: the game brought
// into the local store from the server, a real sender posting to the window, the clock beaten by
// hand, and the clicks an operator makes.

#include <QTest>

#include "client_fixture.h"
#include "hot_spot_click.h"
#include "live/casting_form.h"
#include "live/court_view.h"
#include "live/entry_dialogs.h"
#include "live/game_adapter.h"
#include "live/history_list_box.h"
#include "live/history_list_model.h"
#include "live/player_column.h"
#include "manual_clock_timer.h"
#include "widgets/gui_context.h"

namespace velmora::testing {

class LiveWindowE2eTest : public ClientE2eTest {
 protected:
  LiveWindowE2eTest() : Context{Model, *App, Registry, Ui, Temp.Path()} {
    Connect(DirectUrl());
    Pull("G-1");
    auto timer = std::make_unique<gui::testing::TManualClockTimer>();
    Timer = timer.get();
    Window = std::make_unique<gui::TCastingForm>(Context, nullptr, std::move(timer));
    Window->BuildActionButtons();
    App->SetSenderFactory([this]() -> std::unique_ptr<TSender> {
      auto queue = std::make_unique<TQueue>(Model, Client, Window->Adapter(), *App, std::chrono::milliseconds(20));
      Queue = queue.get();
      return queue;
    });
    App->StartSender();
    Window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  }
  ~LiveWindowE2eTest() override {
    Window->hide();
    App->StopSender();
    App->SetSenderFactory(nullptr);
    Window.reset();
  }

  // Enters the action as the window's entry does, and redraws what it changes.
  void Submit(std::unique_ptr<TAction> action) {
    const auto shown = action->Clone();
    App->Submit(std::move(action));
    Window->UpdateViewAfter(*shown, nullptr);
  }
  // Five a side on court at 0:00.
  void SubmitLineups() {
    for (int team = 1; team <= 2; ++team) {
      for (int shirt = 4; shirt <= 8; ++shirt) Submit(Make.Subst(0, team, 0, shirt));
    }
  }
  void Tick(int beats) {
    for (int i = 0; i < beats; ++i) Timer->Fire();
  }
  void ClickCourt(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* picture = Window->findChild<gui::TCourtPanel*>(QStringLiteral("ImagePanel"))->Picture();
    QTest::mouseClick(picture, button, {},
                      QPoint(static_cast<int>((x + 0.5) * picture->width() / 279.0),
                             static_cast<int>((y + 0.5) * picture->height() / 200.0)));
  }
  void ClickPlayer(int team, int shirt) {
    auto* button = Window->findChild<gui::TPlayerButton*>(QStringLiteral("PlayerButton") +
                                                          QString::number(team * 1000 + shirt));
    ASSERT_NE(button, nullptr) << team << "/" << shirt;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void Answer(std::initializer_list<const char*> answers) {
    for (const char* answer : answers) Window->Dialogs().Script.emplace_back(answer);
  }
  // The ID of the newest action of the kind the window entered.
  std::string Newest(const std::string& kind) {
    for (auto action = Model.Actions().rbegin(); action != Model.Actions().rend(); ++action) {
      if ((*action)->ShortName == kind) return (*action)->ID;
    }
    return {};
  }
  void ClickLine(const std::string& id, bool edit) {
    auto& list = *Window->findChild<gui::THistoryListBox*>(QStringLiteral("HistoryBox"));
    int row = -1;
    for (std::size_t i = 0; i < Window->History().Count(); ++i) {
      if (Window->History().Line(i).Record.ID == id) row = static_cast<int>(i);
    }
    ASSERT_GE(row, 0) << id;
    gui::testing::ClickHotSpot(list, row, edit);
  }

  gui::TGuiContext Context;
  gui::testing::TManualClockTimer* Timer = nullptr;
  std::unique_ptr<gui::TCastingForm> Window;
};

}  // namespace velmora::testing

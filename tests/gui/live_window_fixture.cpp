#include "live_window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>

#include "live/game_adapter.h"
#include "live/open_game.h"
#include "platform/folders.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/queue.h"
#include "store/database_plugin.h"

namespace velmora::gui::testing {

TEnqueueResult TRecordingSender::Enqueue(std::unique_ptr<TAction> action) {
  action->FillDefaults(Inner_.get());
  auto copy = action->Clone();
  const TEnqueueResult result = Inner_->Enqueue(std::move(action));
  if (result == TEnqueueResult::Incomplete) return result;
  if (const int index = Model_.IndexOf(copy->ID); index >= 0) {
    copy->AstroTime = Model_.Actions()[static_cast<std::size_t>(index)]->AstroTime;
  }
  Taken.push_back(std::move(copy));
  return result;
}

std::vector<std::string> TRecordingSender::Kinds() const {
  std::vector<std::string> kinds;
  for (const auto& action : Taken) kinds.push_back(action->ShortName + (action->System ? ":system" : ""));
  return kinds;
}

LiveWindowTest::LiveWindowTest() : Registry(Folder / "registry.json"), Config(ProgramFolder()), Model(Config) {
  auto store = TDatabasePlugin::Open(Folder.Path(), "", ProgramFolder());
  EXPECT_TRUE(store.Ok()) << (store.Ok() ? "" : store.Error());
  Store = store.Value().get();
  auto flaky = std::make_unique<TFlakyStore>(std::move(store.Value()));
  Flaky = flaky.get();
  Model.SetStore(std::move(flaky));
  App = std::make_unique<TApp>(Model, Config, Registry, ProgramFolder(), &Ui);
  Context = std::make_unique<TGuiContext>(TGuiContext{Model, *App, Registry, Ui, Folder.Path()});
}

LiveWindowTest::~LiveWindowTest() { CloseWindow(); }

void LiveWindowTest::StoreGame(const TActionList& actions, std::uint8_t availability) {
  TMatchInfo matchInfo = velmora::testing::MakeMatchInfo(12, "G-1");
  if (!actions.empty()) matchInfo.CurrentGameTime = actions.back()->GameTime;
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());
  TActionList copies;
  for (const auto& action : actions) copies.push_back(action->Clone());
  TDateTime clock = matchInfo.CurrentGameTime;
  ASSERT_TRUE(Store->SaveActionList("G-1", copies, false, clock));
  Model.MatchInfo.Availability = availability;
}

TActionList LiveWindowTest::Lineups(int team1, int team2) {
  TActionList actions;
  for (int shirt = 4; shirt < 4 + team1; ++shirt) actions.push_back(Make.Subst(0, 1, 0, shirt));
  for (int shirt = 4; shirt < 4 + team2; ++shirt) actions.push_back(Make.Subst(0, 2, 0, shirt));
  return actions;
}

TActionList LiveWindowTest::StartedGame(TActionList extra) {
  TActionList game = Lineups(5, 5);
  game.push_back(Make.Period(0, 0, "Start Game"));
  for (auto& action : extra) game.push_back(std::move(action));
  return game;
}

void LiveWindowTest::OpenStartedGame(TActionList extra) {
  StoreGame(StartedGame(std::move(extra)));
  Open();
}

TCastingForm& LiveWindowTest::Open() {
  const std::uint8_t availability = Model.MatchInfo.Availability;
  EXPECT_TRUE(PrepareLocalGame(*Context, "G-1"));
  Model.MatchInfo.Availability = availability;
  auto timer = std::make_unique<TManualClockTimer>();
  Timer = timer.get();
  Window = std::make_unique<TCastingForm>(*Context, nullptr, std::move(timer));
  Window->BuildActionButtons();
  TModel& model = Model;
  TApp& app = *App;
  TGameAdapter& adapter = Window->Adapter();
  App->SetSenderFactory([this, &model, &app, &adapter]() -> std::unique_ptr<TSender> {
    auto queue = std::make_unique<TQueue>(model, Server, adapter, app, std::chrono::milliseconds(5));
    Queue = queue.get();
    auto recording = std::make_unique<TRecordingSender>(std::move(queue), model);
    Sender = recording.get();
    KindsSeen_ = 0;
    return recording;
  });
  App->StartSender();
  Window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  TakenKinds();
  return *Window;
}

void LiveWindowTest::CloseWindow() {
  if (!Window) return;
  Window->hide();
  App->StopSender();
  App->SetSenderFactory(nullptr);
  Sender = nullptr;
  Queue = nullptr;
  Window.reset();
}

void LiveWindowTest::Enter(std::unique_ptr<TAction> action) {
  auto shown = action->Clone();
  App->Submit(std::move(action));
  Window->UpdateViewAfter(*shown);
}

void LiveWindowTest::Tick(int beats) {
  for (int i = 0; i < beats; ++i) Timer->Fire();
}

void LiveWindowTest::Settle() {
  // Work posted by posted work too.
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

void LiveWindowTest::WaitUntilSent() {
  ASSERT_NE(Queue, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Queue->PendingCount() == 0; }, 10000));
  // The marks and reloads of the last batch were posted before it counted as dealt with.
  Settle();
}

void LiveWindowTest::Click(const char* buttonName) {
  auto* button = Find<QAbstractButton>(buttonName);
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isVisible() && button->isEnabled()) << buttonName << " cannot be clicked";
  QTest::mouseClick(button, Qt::LeftButton);
}

void LiveWindowTest::Trigger(const char* actionName) {
  auto* action = Find<QAction>(actionName);
  ASSERT_NE(action, nullptr);
  ASSERT_TRUE(action->isEnabled()) << actionName << " is disabled";
  action->trigger();
}

QString LiveWindowTest::TextOf(const char* name) const {
  if (auto* label = Window->findChild<QLabel*>(QString::fromLatin1(name))) return label->text();
  if (auto* edit = Window->findChild<QLineEdit*>(QString::fromLatin1(name))) return edit->text();
  if (auto* button = Window->findChild<QAbstractButton*>(QString::fromLatin1(name))) return button->text();
  ADD_FAILURE() << "no text control " << name;
  return {};
}

bool LiveWindowTest::Shown(const char* name) const {
  auto* widget = Window->findChild<QWidget*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget && widget->isVisible();
}

bool LiveWindowTest::Enabled(const char* name) const {
  if (auto* action = Window->findChild<QAction*>(QString::fromLatin1(name))) return action->isEnabled();
  auto* widget = Window->findChild<QWidget*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget && widget->isEnabled();
}

std::vector<std::string> LiveWindowTest::TakenKinds() {
  std::vector<std::string> kinds;
  if (!Sender) return kinds;
  const std::vector<std::string> all = Sender->Kinds();
  kinds.assign(all.begin() + static_cast<std::ptrdiff_t>(std::min(KindsSeen_, all.size())), all.end());
  KindsSeen_ = all.size();
  return kinds;
}

std::vector<std::string> LiveWindowTest::StoredKinds() {
  TActionList actions;
  EXPECT_TRUE(Store->LoadActions("G-1", actions));
  std::vector<std::string> kinds;
  for (const auto& action : actions) kinds.push_back(action->ShortName);
  return kinds;
}

void SaveScreenshot(QWidget& widget, const char* name) {
  if (const char* folder = std::getenv("VELMORA_SCREENSHOT_DIR")) {
    widget.grab().save(QString::fromUtf8(folder) + QStringLiteral("/") + QString::fromUtf8(name) +
                       QStringLiteral(".png"));
  }
}

}  // namespace velmora::gui::testing

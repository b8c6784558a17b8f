// What keeps the operator's work safe: the warning and the later storing of actions the store
// refused, the rescue file on closing, the backups, the marks of what the server has not received,
// and the general error display.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <atomic>
#include <filesystem>
#include <optional>

#include "app/velmora_application.h"
#include "live/history_list_box.h"
#include "live/history_list_model.h"
#include "live_window_fixture.h"
#include "loopback_http_server.h"
#include "serverlink/internet_plugin.h"
#include "stats/game_documents.h"

namespace velmora::gui::testing {
namespace {

using Kinds = std::vector<std::string>;

TEST_F(LiveWindowTest, ActionsTheStoreRefusesAreShownKeptAndStoredLaterInOrder) {
  StoreGame(StartedGame());
  Open();
  auto* warning = Find<QLabel>("UnstoredLabel");
  EXPECT_FALSE(warning->isVisible());

  Flaky->Fail = true;
  Enter(Make.Shot(20, 1, 4, "Missed", 2));
  Enter(Make.Rebound(22, 2, 5, true));
  EXPECT_TRUE(QTest::qWaitFor([&] { return warning->isVisible(); }, 1000));
  ASSERT_EQ(Ui.Boxes.size(), 1u) << "the operator is told once, at once";
  EXPECT_EQ(Ui.Boxes[0].Icon, TMessageIcon::Warning);
  EXPECT_TRUE(warning->isVisible());
  EXPECT_TRUE(warning->text().contains(QStringLiteral("2 acción"))) << warning->text().toStdString();
  EXPECT_EQ(Model.Actions().size(), 13u) << "the game goes on with them";

  Flaky->Fail = false;
  EXPECT_TRUE(QTest::qWaitFor([&] { return !warning->isVisible(); }, 5000)) << "stored again without any entry";
  Kinds expected(10, "subst");
  expected.insert(expected.end(), {"quarter", "shot", "reb"});
  EXPECT_EQ(StoredKinds(), expected);
  EXPECT_EQ(Ui.Boxes.size(), 1u);
}

TEST_F(LiveWindowTest, CommentsTheStoreRefusesRaiseTheWarningAtOnceAndTheRetryStoresThemAlone) {
  StoreGame(StartedGame());
  Open();
  auto* warning = Find<QLabel>("UnstoredLabel");
  auto* comment = Find<QLineEdit>("CommentText");
  Click("StartClockButton");
  Tick(30);
  Click("StopClockButton");
  Flaky->Fail = true;
  comment->setFocus();
  for (const char* text : {"Tiempo de TV", "Cambio de balón", "Lesión de 7"}) {
    comment->setText(QString::fromUtf8(text));
    QTest::keyClick(comment, Qt::Key_Return);
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return warning->isVisible(); }, 1000)) << "the clock is stopped: nothing else runs";
  EXPECT_TRUE(warning->text().contains(QStringLiteral("3 acción"))) << warning->text().toStdString();
  ASSERT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_EQ(Ui.Boxes[0].Icon, TMessageIcon::Warning);

  Flaky->Fail = false;
  EXPECT_TRUE(QTest::qWaitFor([&] { return !warning->isVisible(); }, 5000)) << "stored by the retry alone";
  Kinds expected(10, "subst");
  expected.insert(expected.end(), {"quarter", "comment", "comment", "comment"});
  EXPECT_EQ(StoredKinds(), expected);
  std::vector<std::string> texts;
  for (const auto& action : Model.Actions()) {
    if (action->ShortName == "comment") texts.push_back(action->GetParam("Comment"));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Tiempo de TV", "Cambio de balón", "Lesión de 7"}));
}

class RescueTest : public LiveWindowTest {
 protected:
  // Opens the game, enters a shot the store refuses and closes the window; the rescue file the
  // message names, or none when the operator was asked instead.
  std::optional<std::filesystem::path> CloseWithAnUnstoredShot(int seconds) {
    Open();
    Flaky->Fail = true;
    Enter(Make.Shot(seconds, 1, 4, "Made", 3));
    Ui.Boxes.clear();
    Window->close();
    if (Ui.Boxes.size() != 1u) return std::nullopt;
    const std::string& text = Ui.Boxes[0].Text;
    const std::size_t open = text.find('"');
    const std::size_t close = text.find('"', open + 1);
    if (close == std::string::npos) return std::nullopt;
    return std::filesystem::path(text.substr(open + 1, close - open - 1));
  }
};

TEST_F(RescueTest, ClosingWithUnstoredActionsWritesTheWholeGameWhereItCanAndElseAsksWithNoAsTheDefault) {
  StoreGame(StartedGame());
  Ui.Answer = true;
  const auto file = CloseWithAnUnstoredShot(20);
  EXPECT_FALSE(Window->isVisible());
  ASSERT_TRUE(file) << Ui.Texts().back();
  EXPECT_EQ(file->parent_path(), Folder.Path());
  const auto game = ReadTransferFile(*file);
  ASSERT_TRUE(game.Ok()) << game.Error();
  ASSERT_TRUE(game.Value().Actions.has_value());
  EXPECT_EQ(game.Value().Actions->size(), 12u);
  EXPECT_EQ(game.Value().Actions->back()->ShortName, "shot");
  EXPECT_EQ(game.Value().MatchInfo.GameNumber, "G-1");
  CloseWindow();

  // The data folder's disk takes nothing: the home folder does. A regular file stands in the way of
  // every folder below it, for root too.
  const std::filesystem::path blocked = Folder / "not-a-folder";
  velmora::testing::WriteFile(blocked, "x");
  const std::filesystem::path home = Folder / "home";
  std::filesystem::create_directories(home);
  const velmora::testing::TEnvironmentGuard homeGuard("HOME", home.string());
  const velmora::testing::TEnvironmentGuard temporaryGuard("TMPDIR", (blocked / "t").string());
  Context->DataFolder = blocked / "data";
  const auto inHome = CloseWithAnUnstoredShot(30);
  ASSERT_TRUE(inHome);
  EXPECT_EQ(inHome->parent_path(), home);
  CloseWindow();

  // Nowhere to write: the question defaults to No, and No keeps the window with its actions.
  const velmora::testing::TEnvironmentGuard nowhere("HOME", (blocked / "h").string());
  Ui.Answers = {TAnswer::Yes, TAnswer::No};  // close the window; do not throw the actions away
  EXPECT_FALSE(CloseWithAnUnstoredShot(40));
  EXPECT_TRUE(Window->isVisible());
  ASSERT_EQ(Ui.DefaultNo.size(), 1u);
  EXPECT_NE(Ui.DefaultNo[0].find("Desea cerrarla de todos modos?"), std::string::npos);
  EXPECT_GE(Model.UnstoredCount(), 1u);
}

TEST_F(LiveWindowTest, BackupsAreWrittenWhileTheClockRunsAndAtPeriodEnds) {
  const std::filesystem::path backups = Folder / "backups";
  std::filesystem::create_directory(backups);
  TRegistryKey settings;
  settings.WriteString("backup_folder", backups.string());
  ASSERT_TRUE(Registry.WriteKey("StrConfig", settings));
  Config.Load(Registry);
  StoreGame(StartedGame());
  Open();
  const std::filesystem::path backup = backups / "G-1.log";
  Click("StartClockButton");
  Tick(59);
  EXPECT_FALSE(std::filesystem::exists(backup));
  Tick(1);
  ASSERT_TRUE(std::filesystem::exists(backup)) << "a minute of running clock";
  auto game = ReadTransferFile(backup);
  ASSERT_TRUE(game.Ok());
  EXPECT_EQ(game.Value().Actions->size(), 11u);

  Enter(Make.Shot(70, 1, 4, "Made", 2));
  Ui.Answer = true;  // end the period at the buzzer
  Tick(540);
  EXPECT_TRUE(Model.PeriodEnded());
  game = ReadTransferFile(backup);
  ASSERT_TRUE(game.Ok());
  EXPECT_EQ(game.Value().Actions->size(), 13u) << "the end of the period is in the backup";
  for (const auto& entry : std::filesystem::directory_iterator(backups)) {
    EXPECT_EQ(entry.path().filename(), "G-1.log") << "no temporary file is left behind";
  }
}

TEST_F(LiveWindowTest, FunctionKeyAndControlSpaceToggleTheClockOnlyDuringPlay) {
  StoreGame(Lineups(5, 5));
  Open();
  QTest::keyClick(Window.get(), Qt::Key_F1);
  EXPECT_FALSE(Window->ClockRunning()) << "no clock before the game";
  Click("StartGameButton");
  QTest::keyClick(Window->focusWidget(), Qt::Key_F1, Qt::ShiftModifier);
  EXPECT_TRUE(Window->ClockRunning());
  auto* comment = Find<QLineEdit>("CommentText");
  comment->setFocus();
  QTest::keyClick(comment, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_FALSE(Window->ClockRunning());
  EXPECT_TRUE(comment->text().isEmpty()) << "the key went to the clock, not to the comment";
  QTest::keyClick(comment, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_TRUE(Window->ClockRunning());
}

TEST_F(LiveWindowTest, LinesStayRedUntilTheServerHasThem) {
  std::atomic<bool> accept{false};
  velmora::testing::TLoopbackHttpServer front([&](const velmora::testing::TLoopbackRequest&) {
    return accept ? velmora::testing::TLoopbackReply::Text("OK") : velmora::testing::TLoopbackReply::Text("busy", 503);
  });
  TInternetPlugin client(Config, &Ui);
  client.SetServerUrl(front.Url("/"));
  client.SetSession("{s}");
  client.SetRetryPause(std::chrono::milliseconds(2));
  Server = &client;
  StoreGame(StartedGame(), kLocalAndOnline);
  Open();
  Enter(Make.Shot(20, 1, 4, "Made", 2));
  THistoryListModel& history = Window->History();
  const QModelIndex top = history.index(0);
  EXPECT_TRUE(history.data(top, kNotSentRole).toBool());
  ASSERT_TRUE(front.WaitForRequests(2, std::chrono::seconds(5))) << "the refused batch is sent again";
  Settle();
  EXPECT_TRUE(history.data(history.index(0), kNotSentRole).toBool());
  EXPECT_FALSE(history.data(history.index(1), kNotSentRole).toBool()) << "lines of the opened game are sent";

  accept = true;
  EXPECT_TRUE(QTest::qWaitFor([&] { return !history.data(history.index(0), kNotSentRole).toBool(); }, 5000));
  CloseWindow();
}

class TThrowingObject final : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("Fallo de prueba");
    return QObject::event(event);
  }
};

TEST(GeneralErrorDisplay, AnErrorThatReachesTheEventLoopIsShownNotFatal) {
  TRecordingUserInterface ui;
  auto* application = static_cast<TVelmoraApplication*>(QCoreApplication::instance());
  application->SetUserInterface(&ui);
  TThrowingObject thrower;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&thrower, &event);
  application->SetUserInterface(nullptr);
  ASSERT_EQ(ui.Boxes.size(), 1u);
  EXPECT_EQ(ui.Boxes[0].Title, "Talvex Velmora");
  EXPECT_EQ(ui.Boxes[0].Text, "Fallo de prueba");
  EXPECT_EQ(ui.Boxes[0].Icon, TMessageIcon::Error);
}

}  // namespace
}  // namespace velmora::gui::testing

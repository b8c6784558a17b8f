// A live game whose server refuses for good: the session ends in the middle of the game (the
// password was changed on the server), and the window says so until "Conectar" logs in again;
// then everything pending goes, once. An action the server refuses for what it holds stays in the
// local game, named to the operator, and the others arrive.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "live/sending_banner.h"
#include "live_window_e2e_fixture.h"
#include "server/internet_plugin_form.h"
#include "serverlink/credentials.h"
#include "setup_fixture.h"

namespace velmora::testing {
namespace {

class LiveRefusalE2eTest : public LiveWindowE2eTest {
 protected:
  QWidget* Banner() const { return Window->findChild<gui::TSendingBanner*>(QStringLiteral("SendingBanner")); }
  std::string BannerText() const {
    return Window->findChild<QLabel*>(QStringLiteral("SendingBannerText"))->text().toStdString();
  }
  bool AllSent() const {
    for (std::size_t row = 0; row < Window->History().Count(); ++row) {
      if (Window->History().Line(row).Record.NotSent) return false;
    }
    return true;
  }
  void WaitUntilSent() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return Queue->PendingCount() == 0; }, 10000));
    QCoreApplication::processEvents();  // the marks were posted before the batch counted as dealt with
  }
};

TEST_F(LiveRefusalE2eTest, AnEndedSessionIsToldAndConectarLogsInAgainWithNothingLostOrDoubled) {
  SubmitLineups();
  Submit(Make.Period(0, 0, "Start Game"));
  WaitUntilSent();
  ASSERT_FALSE(Banner()->isVisible());
  const std::size_t sent = ServerIds().size();
  ASSERT_EQ(LocalIds().size(), sent);

  // The administrator gives the operator a new password: her sessions end at once.
  ASSERT_TRUE(ServerStore->AddUser(kOperator, "Tablero-2025").Ok());
  Submit(Make.Shot(30, 1, 4, "Made", 2));
  Submit(Make.Foul(42, 2, 5, 4));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Banner()->isVisible(); }, 10000));
  EXPECT_NE(BannerText().find("el servidor rechazó la sesión (HTTP 403"), std::string::npos) << BannerText();
  EXPECT_NE(BannerText().find("\"Conectar\""), std::string::npos) << BannerText();
  auto* connect = Window->findChild<QPushButton*>(QStringLiteral("SendingConnectButton"));
  EXPECT_TRUE(connect->isVisible());
  SaveScreenshot(*Window, "live_refusal_banner");

  // Entry goes on meanwhile, and the lines tell the truth.
  Submit(Make.Rebound(50, 1, 6, false));
  EXPECT_EQ(LocalIds().size(), sent + 3);
  EXPECT_EQ(ServerIds().size(), sent);
  EXPECT_FALSE(AllSent());

  // The connect dialog comes with what was stored; the operator types the new password.
  WhenShown<gui::TInternetPluginForm>([this](gui::TInternetPluginForm& dialog) {
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("URLEdit"))->text().toStdString(), DirectUrl());
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("UserEdit"))->text().toStdString(), kOperator);
    dialog.findChild<QLineEdit*>(QStringLiteral("PasswordEdit"))->setText(QStringLiteral("Tablero-2025"));
    Click(dialog, "btnNext");
  });
  QTest::mouseClick(connect, Qt::LeftButton);
  WaitUntilSent();
  EXPECT_FALSE(Banner()->isVisible());
  EXPECT_TRUE(AllSent());
  EXPECT_EQ(ServerIds(), LocalIds()) << "every action once, in its order";
  EXPECT_EQ(ServerChecksum(), LocalChecksum());
  EXPECT_EQ(ReadCredentials(Registry).Password, "Tablero-2025") << "remembered, as the dialog was ticked";
}

TEST_F(LiveRefusalE2eTest, AnActionTheServerRefusesStaysLocalAndNamedWhileTheOthersArrive) {
  SubmitLineups();
  Submit(Make.Period(0, 0, "Start Game"));
  // A period the server keeps no game in (one of an imported game gone wrong).
  auto impossible = Make.Period(20, 99, "End");
  const std::string bad = impossible->ID;
  Submit(Make.Shot(10, 1, 4, "Made", 2));
  Submit(std::move(impossible));
  Submit(Make.Shot(30, 2, 5, "Made", 3));
  WaitUntilSent();

  std::vector<std::string> others;
  for (const std::string& id : LocalIds()) {
    if (id != bad) others.push_back(id);
  }
  EXPECT_EQ(ServerIds(), others);
  ASSERT_TRUE(Banner()->isVisible());
  EXPECT_NE(BannerText().find("El servidor rechazó la acción \""), std::string::npos) << BannerText();
  EXPECT_NE(BannerText().find("HTTP 400"), std::string::npos) << BannerText();
  EXPECT_FALSE(Window->findChild<QPushButton*>(QStringLiteral("SendingConnectButton"))->isVisible())
      << "a new session would not change this";
  SaveScreenshot(*Window, "live_refused_action");
  for (std::size_t row = 0; row < Window->History().Count(); ++row) {
    const THistoryLine& line = Window->History().Line(row);
    EXPECT_EQ(line.Record.NotSent, line.Record.ID == bad) << line.Text;
  }

  // Read: the notice goes, the line keeps its mark.
  Click(*Banner(), "SendingDismissButton");
  EXPECT_FALSE(Banner()->isVisible());
}

}  // namespace
}  // namespace velmora::testing

// The connect dialog against a loopback server of the tests' own: filled from the stored
// credentials, its failure messages, and a login that hangs and is cancelled.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "loopback_http_server.h"
#include "platform/folders.h"
#include "protocol/soap.h"
#include "server/internet_plugin_form.h"
#include "setup_fixture.h"

namespace velmora::testing {
namespace {

using gui::TInternetPluginForm;

class InternetPluginFormTest : public ::testing::Test {
 protected:
  TLoopbackReply Serve(const TLoopbackRequest& request) {
    if (request.Path() == "/dvadminws/dvadmin.asmx") {
      return TLoopbackReply::Text(SoapResponseEnvelope("ValidateUser", Session));
    }
    if (request.Query() == "do=ping") {
      TLoopbackReply reply = TLoopbackReply::Text(Pong);
      reply.Delay = PingDelay;
      return reply;
    }
    if (request.Query().starts_with("do=get_active_games&")) {
      return TLoopbackReply::Text("<GAMES><GAME GameNumber=\"G-1\" Team1_Name=\"Norte\"/></GAMES>");
    }
    return TLoopbackReply::Text("unexpected", 404);
  }
  std::unique_ptr<TInternetPluginForm> MakeDialog(const TCredentials& stored) {
    auto dialog = std::make_unique<TInternetPluginForm>(stored, Config, Registry, Ui);
    dialog->show();
    return dialog;
  }
  void Fill(TInternetPluginForm& dialog, const std::string& url) {
    dialog.findChild<QLineEdit*>(QStringLiteral("URLEdit"))->setText(QString::fromStdString(url));
    dialog.findChild<QLineEdit*>(QStringLiteral("UserEdit"))->setText(QStringLiteral("ana"));
    dialog.findChild<QLineEdit*>(QStringLiteral("PasswordEdit"))->setText(QStringLiteral("clave"));
  }
  // Clicks "&OK" and waits, processing events, until the login is over.
  void Login(TInternetPluginForm& dialog) {
    Click(dialog, "btnNext");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.LoginRunning(); }, 10000));
  }

  std::string Pong = "pong";
  std::string Session = "s-1";
  std::chrono::milliseconds PingDelay{0};
  TTempFolder Temp;
  TRegistry Registry{Temp / "DravonES.json"};
  TConfiguration Config{ProgramFolder()};
  TRecordingUserInterface Ui;
  TLoopbackHttpServer Server{[this](const TLoopbackRequest& request) { return Serve(request); }};
};

TEST_F(InternetPluginFormTest, FilledFromTheStoredCredentialsAndAcceptedAfterTheLogin) {
  auto empty = MakeDialog({});
  EXPECT_EQ(empty->findChild<QLineEdit*>(QStringLiteral("URLEdit"))->text(), QStringLiteral("http://"));

  auto dialog = MakeDialog({"http://liga.example/", "ana", "secreta"});
  SaveScreenshot(*dialog, "internet_plugin_form");
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Connect to server"));
  auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("PasswordEdit"));
  EXPECT_EQ(password->text(), QStringLiteral("secreta"));
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(dialog->findChild<QCheckBox*>(QStringLiteral("RememberCheckbox"))->isChecked());

  Fill(*dialog, Server.Url("/liga"));
  dialog->findChild<QCheckBox*>(QStringLiteral("RememberCheckbox"))->setChecked(false);
  Login(*dialog);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Outcome().SessionId, "{s-1}");
  ASSERT_EQ(dialog->Outcome().Games.size(), 1u);
  EXPECT_EQ(dialog->Entered().Url, Server.Url("/liga/")) << "completed with a slash";
  EXPECT_EQ(dialog->Entered().Password, "clave");
  EXPECT_FALSE(dialog->Remember());
  EXPECT_EQ(Server.Requests().front().Target, "/liga/?do=ping");
}

TEST_F(InternetPluginFormTest, RefusalsAreShownAndTheDialogStaysOpen) {
  auto dialog = MakeDialog({});
  Fill(*dialog, Server.Url("/liga/"));
  Pong = "PONG";
  Login(*dialog);
  Pong = "pong";
  Session = "";
  Login(*dialog);
  EXPECT_EQ(Ui.Texts(), (std::vector<std::string>{"El servidor no está accesible.",
                                                  "Fallo en la sesión. No hay más información disponible"}));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->findChild<QPushButton*>(QStringLiteral("btnNext"))->isEnabled()) << "ready to try again";

  Session = "s-2";
  Login(*dialog);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(InternetPluginFormTest, AHangingLoginKeepsTheDialogResponsiveAndCancelEndsIt) {
  PingDelay = std::chrono::minutes(1);
  auto dialog = MakeDialog({});
  Fill(*dialog, Server.Url("/liga/"));
  Click(*dialog, "btnNext");
  ASSERT_TRUE(Server.WaitForRequests(1, std::chrono::seconds(5)));
  QTest::qWait(200);  // the window goes on processing events meanwhile
  EXPECT_TRUE(dialog->LoginRunning());
  EXPECT_FALSE(dialog->findChild<QPushButton*>(QStringLiteral("btnNext"))->isEnabled());

  Click(*dialog, "btnPrev");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 10000)) << "cancelled within moments";
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_TRUE(Ui.Messages.empty());
}

}  // namespace
}  // namespace velmora::testing

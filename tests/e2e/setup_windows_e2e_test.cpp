// The start window against velmora-statserver on loopback: connecting through the connect dialog,
// bringing a server game home, playing, disconnecting and coming back, and the refused overwrite
// of a server copy that changed meanwhile. Actions are entered through the sender of the live
// window while it is open.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "client_fixture.h"
#include "live/casting_form.h"
#include "live/open_game.h"
#include "server/internet_plugin_form.h"
#include "setup/edit_match_info_form.h"
#include "setup/games_select_form.h"
#include "serverlink/keep_alive.h"
#include "setup_fixture.h"

namespace velmora::testing {
namespace {

using gui::TGamesSelectForm;

class SetupWindowsE2eTest : public ClientE2eTest {
 protected:
  SetupWindowsE2eTest() : Context{Model, *App, Registry, Ui, Temp.Path()}, Form(Context) {
    Form.SetGameOpener(gui::LiveWindowOpener(Context, &Form));
    Form.show();
  }

  void ConnectThroughTheDialog(const std::string& url = "") {
    WhenShown<gui::TInternetPluginForm>([this, url](gui::TInternetPluginForm& dialog) {
      dialog.findChild<QLineEdit*>(QStringLiteral("URLEdit"))
          ->setText(QString::fromStdString(url.empty() ? DirectUrl() : url));
      dialog.findChild<QLineEdit*>(QStringLiteral("UserEdit"))->setText(QString::fromLatin1(kOperator));
      dialog.findChild<QLineEdit*>(QStringLiteral("PasswordEdit"))->setText(QString::fromLatin1(kOperatorPassword));
      Click(dialog, "btnNext");
    });
    Click(Form, "ConnectButton");
  }
  // Opens the first game, confirming the editor when the game comes from the server. When the live
  // window opens, `Play` is entered, sent, and the window closed.
  void OpenTheGame(bool fromServer, bool opens = true) {
    if (fromServer) {
      WhenShown<gui::TEditMatchInfoForm>([](gui::TEditMatchInfoForm& editor) { Click(editor, "SaveButton"); });
    }
    if (opens) {
      WhenShown<gui::TCastingForm>([this](gui::TCastingForm& window) {
        Opened.push_back(Model.GameNumberText());
        EXPECT_FALSE(Form.isVisible()) << "the start window is hidden meanwhile";
        for (auto& action : Play) App->Submit(std::move(action));
        Play.clear();
        const auto* queue = dynamic_cast<const TQueue*>(App->Sender());
        EXPECT_TRUE(QTest::qWaitFor([&] { return queue->PendingCount() == 0; }, 10000));
        window.close();
      });
    }
    Form.GamesGrid()->setCurrentCell(0, 0);
    Click(Form, "OpenGameButton");
    EXPECT_TRUE(Form.isVisible());
  }
  // How often the overwrite question of a differing server copy was asked.
  int OverwriteQuestions() {
    int asked = 0;
    for (const std::string& text : Ui.QuestionTexts()) asked += text.starts_with("Los datos locales no coinciden");
    return asked;
  }
  std::string State() const { return Form.GamesGrid()->item(0, 4)->text().toStdString(); }
  std::string ConnectLabel() const {
    return Form.findChild<QLabel*>(QStringLiteral("ConnectLabel"))->text().toStdString();
  }

  gui::TGuiContext Context;
  TGamesSelectForm Form;
  std::vector<std::string> Opened;
  TActionList Play;
};

TEST_F(SetupWindowsE2eTest, ConnectOpenPlayDisconnectAndComeBack) {
  ConnectThroughTheDialog();
  ASSERT_TRUE(Form.Connected());
  EXPECT_EQ(ConnectLabel(), "Conectado al servidor \"127.0.0.1:" + std::to_string(Server->Port()) + "\".");
  EXPECT_EQ(State(), "Online only");
  SaveScreenshot(Form, "games_select_form_connected");

  Play.push_back(Make.Shot(20, 1, 4, "Made", 2));
  Play.push_back(Make.Shot(50, 2, 5, "Made", 3));
  OpenTheGame(true);
  ASSERT_EQ(Opened, std::vector<std::string>{"G-1"});
  EXPECT_EQ(State(), "Local and online");
  EXPECT_EQ(LocalIds(), ServerIds());
  EXPECT_EQ(LocalIds().size(), 2u) << "the two shots";
  EXPECT_EQ(Model.Score(), (std::pair<int, int>{2, 3}));
  OpenTheGame(false);
  EXPECT_EQ(Opened.size(), 2u) << "opened again at once, in the same session";
  EXPECT_EQ(OverwriteQuestions(), 0);

  Click(Form, "NewGameButton");
  Click(Form, "DeleteGameButton");
  EXPECT_EQ(Ui.Texts(), (std::vector<std::string>{"No puede crear nuevos partidos en modo Online",
                                                  "No puede eliminar un partido que esté disponible Online"}));

  Click(Form, "ConnectButton");
  EXPECT_FALSE(Form.Connected());
  EXPECT_EQ(State(), "Local only");
  EXPECT_EQ(ConnectLabel(), "No conectado.");

  ConnectThroughTheDialog();
  EXPECT_EQ(State(), "Local and online");
  Play.push_back(Make.Shot(80, 1, 6, "Made", 2));
  OpenTheGame(false);
  EXPECT_EQ(Opened.size(), 3u) << "equal checksums open the game at once";
  EXPECT_EQ(OverwriteQuestions(), 0);
  EXPECT_EQ(LocalIds(), ServerIds());
  EXPECT_EQ(LocalChecksum(), ServerChecksum());

  // A keep-alive that finds the server gone disconnects without a word.
  const std::size_t messages = Ui.Messages.size();
  Server->Stop();
  // (A tick while the previous ping is still on its way sends nothing, so tick until one goes.)
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        Form.ConnectionTimerTimer();
        return !Form.Connected();
      },
      10000));
  EXPECT_EQ(State(), "Local only");
  EXPECT_EQ(Ui.Messages.size(), messages);
}

TEST_F(SetupWindowsE2eTest, ServerGamesAreEditedAndExportedThroughTheLocalStore) {
  TActionList actions;
  actions.push_back(Make.Shot(15, 1, 4, "Made", 3));
  TMatchInfo game = MakeMatchInfo(12, "G-2");
  game.Time = *EncodeDate(2024, 3, 15) + EncodeTime(20, 0, 0);
  Publish(game, &actions);
  ConnectThroughTheDialog();
  ASSERT_EQ(State(), "Online only");  // G-2, the latest
  ASSERT_EQ(Form.GamesGrid()->item(0, 0)->text(), QStringLiteral("G-2"));

  WhenShown<gui::TEditMatchInfoForm>([](gui::TEditMatchInfoForm& editor) { Click(editor, "CancelButton"); });
  Click(Form, "OpenGameButton");
  EXPECT_TRUE(Opened.empty());
  EXPECT_EQ(Local->FindGameId("G-2"), 0) << "a cancelled editor stores nothing";
  EXPECT_EQ(State(), "Online only");

  WhenShown<gui::TEditMatchInfoForm>([](gui::TEditMatchInfoForm& editor) {
    editor.findChild<QLineEdit*>(QStringLiteral("PlaceEdit"))->setText(QStringLiteral("Gijón"));
    Click(editor, "SaveButton");
  });
  Click(Form, "EditGameButton");
  EXPECT_NE(Local->FindGameId("G-2"), 0);
  EXPECT_EQ(ServerStore->Snapshot("G-2")->MatchInfo.Place, "Gijón") << "sent to the server as well";

  const QString file = QString::fromStdString((Temp / "G-2.log").string());
  Form.SaveDialog().AnswerNext(file);
  Click(Form, "ExportButton");
  EXPECT_EQ(Ui.Texts().back(), "información del partido guardada en el fichero \"" + file.toStdString() + "\"");
  EXPECT_EQ(LocalIds("G-2"), ServerIds("G-2")) << "the export brought the server's actions home first";
  EXPECT_EQ(Model.Score(), (std::pair<int, int>{3, 0}));
}

TEST_F(SetupWindowsE2eTest, AServerThatStopsAnsweringOpensNothingAndStoresNothing) {
  ConnectThroughTheDialog(FrontUrl());
  ASSERT_TRUE(Form.Connected());
  Mode = TFrontMode::Refuse;
  OpenTheGame(false, false);
  EXPECT_TRUE(Opened.empty());
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{"Failed to get match info.\r\nPlease try logging in again."});
  EXPECT_EQ(Local->FindGameId("G-1"), 0);
  EXPECT_EQ(State(), "Online only");
}

TEST_F(SetupWindowsE2eTest, AKeepAliveFailingWhileTheEditorIsOpenWaitsForTheEditToEnd) {
  ConnectThroughTheDialog();
  WhenShown<gui::TEditMatchInfoForm>([this](gui::TEditMatchInfoForm& editor) {
    Server->Stop();
    Form.ConnectionTimerTimer();  // the ping fails at once against a closed port
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Form.KeepAlive().InFlight(); }, 10000)) << "the ping came back";
    EXPECT_TRUE(Form.Connected()) << "the edit still uses the server client";
    Click(editor, "SaveButton");
  });
  Click(Form, "EditGameButton");
  EXPECT_NE(Local->FindGameId("G-1"), 0) << "the local copy is kept although the server is gone";
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        Form.ConnectionTimerTimer();
        return !Form.Connected();
      },
      10000));
}

TEST_F(SetupWindowsE2eTest, AChangedServerCopyThatMayNotBeOverwrittenDisconnects) {
  ConnectThroughTheDialog();
  OpenTheGame(true);
  ASSERT_EQ(Opened.size(), 1u);

  // Someone else adds an action to the server's copy.
  TActionList other;
  other.push_back(Make.Shot(90, 2, 7, "Made", 2));
  ASSERT_TRUE(ServerClientOf(Model)->SendActions("G-1", other, 0, 0));
  const auto serverIds = ServerIds();
  ASSERT_NE(LocalChecksum(), ServerChecksum());

  Ui.Answers = {TAnswer::No};
  OpenTheGame(false, false);
  EXPECT_EQ(Opened.size(), 1u) << "the game is not opened";
  EXPECT_EQ(OverwriteQuestions(), 1);
  EXPECT_EQ(Ui.Texts().back(),
            "No puede trabajar Online sin sincronizar los datos.\n\rPara utilizar los datos del servidor elimine el "
            "partido en local y conecte con el servidor.\n\rPara utilizar los datos locales acepte el volcado en el "
            "paso anterior.");
  EXPECT_FALSE(Form.Connected());
  EXPECT_EQ(State(), "Local only");
  EXPECT_EQ(ServerIds(), serverIds) << "the server's copy is left as it is";
}

TEST_F(SetupWindowsE2eTest, TheLiveWindowUploadsTheResultsWithTheOperatorsSession) {
  ConnectThroughTheDialog();
  ASSERT_TRUE(Form.Connected());
  std::vector<std::string> answers;
  WhenShown<gui::TEditMatchInfoForm>([](gui::TEditMatchInfoForm& editor) { Click(editor, "SaveButton"); });
  WhenShown<gui::TCastingForm>([&](gui::TCastingForm& window) {
    window.findChild<QAction*>(QStringLiteral("UploadResultsItem"))->trigger();
    answers = Ui.Texts();
    window.close();
  });
  Form.GamesGrid()->setCurrentCell(0, 0);
  Click(Form, "OpenGameButton");
  ASSERT_FALSE(answers.empty());
  EXPECT_EQ(answers.back(), "Se ha actualizado correctamente");
}

}  // namespace
}  // namespace velmora::testing

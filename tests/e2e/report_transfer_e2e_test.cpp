// The statistics transfer of the official box score window against velmora-statserver: the score
// the operator confirms and the box score the server keeps are those of the window's game.

#include <QLineEdit>
#include <QPushButton>

#include "client_fixture.h"
#include "live/game_checks.h"
#include "records/xml_text.h"
#include "reports/confirm_score_form.h"
#include "reports/print_boxscore_form.h"
#include "setup_fixture.h"
#include "stats/game_documents.h"
#include "store/sqlite.h"

namespace velmora::testing {
namespace {

class ReportTransferE2eTest : public ClientE2eTest {
 protected:
  ReportTransferE2eTest() : Context{Model, *App, Registry, Ui, Temp.Path()} {}

  // The server's game, played to the end of regulation time here.
  void PlayTheGame(const std::string& url) {
    Connect(url);
    Pull("G-1");
    Model.SetActions(SimulateGame(Model.MatchInfo, 300, 6));
    Model.MatchInfo.CurrentGameTime = FromSeconds(40 * 60);
    Model.Recompute();
  }
  // Confirms the statistics' score in the dialog once it is shown, then presses the transfer.
  void Transfer(gui::TPrintBoxscoreForm& form) {
    WhenShown<gui::TConfirmScoreForm>([this](gui::TConfirmScoreForm& confirm) {
      const auto [points1, points2] = Model.Score();
      confirm.findChild<QLineEdit*>(QStringLiteral("Team1ScoreEdit"))->setText(QString::number(points1));
      confirm.findChild<QLineEdit*>(QStringLiteral("Team2ScoreEdit"))->setText(QString::number(points2));
      confirm.findChild<QLineEdit*>(QStringLiteral("NameEdit"))->setText(QStringLiteral("Ana Beltrán"));
      Click(confirm, "SendButton");
    });
    Click(form, "UploadButton");
  }

  gui::TGuiContext Context;
};

TEST_F(ReportTransferE2eTest, TheServerKeepsTheConfirmedScoreAndTheBoxScoreOfTheWindowsGame) {
  PlayTheGame(DirectUrl());
  gui::TPrintBoxscoreForm form(Context);
  form.show();
  ASSERT_TRUE(form.findChild<QPushButton*>(QStringLiteral("UploadButton"))->isVisible());
  Transfer(form);

  ASSERT_FALSE(Ui.Messages.empty());
  EXPECT_EQ(Ui.Messages.back(), std::make_pair(std::string("Velmora"),
                                               std::string("Estadísticas del partido G-1 recibidas correctamente.")));
  pugi::xml_document document;
  const std::string boxScore = XmlText(BoxScoreDocument(Model, document));
  TSqliteDatabase server(Temp / "server.db");
  auto stored = server.Prepare("SELECT boxscore FROM svBoxScores WHERE game_number='G-1'");
  ASSERT_TRUE(stored->Step());
  EXPECT_EQ(stored->Text(0), boxScore);
  auto score = server.Prepare("SELECT score_a, score_b, name FROM svScores WHERE game_number='G-1'");
  ASSERT_TRUE(score->Step());
  const auto [points1, points2] = Model.Score();
  EXPECT_EQ(score->Integer(0), points1);
  EXPECT_EQ(score->Integer(1), points2);
  EXPECT_EQ(score->Text(2), "Ana Beltrán");
  EXPECT_TRUE(form.isEnabled());
}

TEST_F(ReportTransferE2eTest, AFailedUploadShowsItsErrorAsTheResult) {
  PlayTheGame(FrontUrl());
  MisbehaveOn("upload_statistics", TFrontMode::Refuse);
  gui::TPrintBoxscoreForm form(Context);
  form.show();
  Transfer(form);
  ASSERT_FALSE(Ui.Messages.empty());
  EXPECT_EQ(Ui.Messages.back().first, "Velmora");
  EXPECT_EQ(Ui.Messages.back().second.find("recibidas"), std::string::npos) << Ui.Messages.back().second;
  EXPECT_FALSE(Ui.Messages.back().second.empty());
  TSqliteDatabase server(Temp / "server.db");
  EXPECT_FALSE(server.Prepare("SELECT boxscore FROM svBoxScores")->Step());
  EXPECT_TRUE(server.Prepare("SELECT score_a FROM svScores")->Step()) << "the confirmation went before";
}

TEST_F(ReportTransferE2eTest, SlipsStillFlaggedAreNamedOnceAndNoKeepsTheStatisticsBack) {
  PlayTheGame(DirectUrl());
  const std::size_t flags = CheckGame(Model).size();
  ASSERT_GT(flags, 0u) << "simulated free throws stand without their foul";
  gui::TPrintBoxscoreForm form(Context);
  form.show();
  TSqliteDatabase server(Temp / "server.db");

  Ui.Answer = false;
  Click(form, "UploadButton");
  ASSERT_EQ(Ui.DefaultNo.size(), 1u);
  EXPECT_EQ(Ui.DefaultNo[0], "El partido tiene " + FlagCountText(flags) +
                                 " sin resolver, que lista \"Comprobar partido\".\nDesea transferir las "
                                 "estadísticas de todos modos?");
  EXPECT_FALSE(server.Prepare("SELECT score_a FROM svScores")->Step()) << "No sends nothing";

  Transfer(form);
  EXPECT_EQ(Ui.Questions.size(), 1u) << "asked once per window";
  EXPECT_EQ(Ui.Messages.back().second, "Estadísticas del partido G-1 recibidas correctamente.");
  EXPECT_TRUE(server.Prepare("SELECT boxscore FROM svBoxScores WHERE game_number='G-1'")->Step());
}

}  // namespace
}  // namespace velmora::testing

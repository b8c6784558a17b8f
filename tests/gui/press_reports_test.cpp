// The reports the press reads during and after the game, in their windows: the play-by-play over
// as many portrait pages as the game needs, the media box score on one page, the team leaders made
// anew for the ticked categories, the lineups made for the chosen team and figure, all opened from
// the live window's report menu.

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "game_builder.h"
#include "live_window_fixture.h"
#include "reports/lineup_efficiency_report.h"
#include "reports/play_by_play_report.h"
#include "reports/print_lineup_efficiency_form.h"
#include "reports/print_media_boxscore_form.h"
#include "reports/print_playbyplay_form.h"
#include "reports/print_team_leaders_form.h"
#include "reports/report_preview.h"
#include "setup_fixture.h"

namespace velmora::testing {
namespace {

using gui::TAbstractPrintForm;
using gui::TPrintLineupEfficiencyForm;
using gui::TPrintMediaBoxscoreForm;
using gui::TPrintPlayByPlayForm;
using gui::TPrintTeamLeadersForm;

class PressReportTest : public SetupWindowTest {
 protected:
  template <class TForm>
  std::unique_ptr<TForm> Shown() {
    auto form = std::make_unique<TForm>(*Context);
    form->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->Rendering(); }, 10000));
    return form;
  }
  void Play(int players, int actions) {
    Model.MatchInfo = MakeMatchInfo(players, "G-9");
    Model.MatchInfo.CurrentGameTime = FromSeconds(40 * 60);
    Model.SetActions(SimulateGame(Model.MatchInfo, actions, 11));
    Model.Recompute();
  }
};

TEST_F(PressReportTest, PlayByPlayOfAWholeGameFillsPortraitPagesAndExportsThemAll) {
  Play(12, 600);
  auto form = Shown<TPrintPlayByPlayForm>();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Jugada a jugada"));
  const QSizeF page = form->PreviewBox().Page().deviceIndependentSize();
  EXPECT_NEAR(page.width(), 210 / 25.4 * form->logicalDpiX(), 2) << "portrait";
  const auto rows = PlayByPlayRows(Model, Context->App);
  ASSERT_GT(rows.size(), 300u);
  EXPECT_EQ(form->Data().Connection("ActionListConnection")->Open(), static_cast<int>(rows.size()));
  EXPECT_GT(form->PageCount(), 4) << "every row is printed";
  EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("PageEdit"))->text(),
            QStringLiteral("Página 1 de %1").arg(form->PageCount()));

  const std::filesystem::path file = Temp / "jugadas.pdf";
  form->SaveDialog().AnswerNext(QString::fromStdString(file.string()));
  Click(*form, "PdfButton");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Rendering(); }, 10000));
  QFile written(QString::fromStdString(file.string()));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(static_cast<int>(written.readAll().count("/Type /Page\n")), form->PageCount()) << "one copy";
}

TEST_F(PressReportTest, MediaBoxScoreOfFifteenPlayersATeamFitsOnePage) {
  Play(15, 1000);
  auto form = Shown<TPrintMediaBoxscoreForm>();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Media Boxscore"));
  EXPECT_EQ(form->PageCount(), 1);
  EXPECT_EQ(form->Data().Parameter("B15NAME"), "Player15 Müller");
  EXPECT_EQ(form->Data().Parameter("T1FINALSCORE"), std::to_string(Model.Score().first));
}

TEST_F(PressReportTest, TeamLeadersAreMadeAnewForTheTickedCategories) {
  Play(12, 400);
  auto form = Shown<TPrintTeamLeadersForm>();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Líderes del partido"));
  TDataConnection& leaders = *form->Data().Connection("TeamLeadersConnection");
  EXPECT_EQ(leaders.Open(), 9);
  const QList<QCheckBox*> boxes = form->findChildren<QCheckBox*>();
  ASSERT_EQ(boxes.size(), 19);
  for (QCheckBox* box : boxes) box->setChecked(box->objectName() == QLatin1String("BS"));
  EXPECT_EQ(leaders.Open(), 9) << "nothing changes before the button is pressed";
  Click(*form, "GenerateButton");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Rendering(); }, 10000));
  ASSERT_EQ(leaders.Open(), 1);
  EXPECT_EQ(leaders.Row(0)[0], Context->App.Message("Blocked_Shots"));
  EXPECT_EQ(form->CurrentPage(), 1);
  EXPECT_EQ(form->PageCount(), 1);
}

TEST_F(PressReportTest, LineupsAreListedForTheChosenTeamAndFigureOnlyWhenAsked) {
  Play(12, 1000);
  auto form = Shown<TPrintLineupEfficiencyForm>();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Eficiencia de los quintetos"));
  TDataConnection& lineups = *form->Data().Connection("LineupEfficiencyConnection");
  EXPECT_EQ(lineups.Open(), 0) << "the header alone at first";
  EXPECT_EQ(form->PageCount(), 1);
  auto* team2 = form->findChild<QRadioButton*>(QStringLiteral("TeamSelection2"));
  ASSERT_TRUE(team2);
  EXPECT_EQ(team2->text().toStdString(), Model.MatchInfo.Team2.Name);
  const QList<QRadioButton*> options =
      form->findChild<QWidget*>(QStringLiteral("OptionSelection"))->findChildren<QRadioButton*>();
  ASSERT_EQ(options.size(), 7);
  EXPECT_TRUE(options[0]->isChecked());
  team2->setChecked(true);
  options[4]->setChecked(true);
  EXPECT_EQ(lineups.Open(), 0) << "nothing changes before the button is pressed";

  Click(*form, "Generate");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Rendering(); }, 10000));
  EXPECT_EQ(form->Data().Parameter("COUNTRYSELECTED"), Model.MatchInfo.Team2.Name);
  EXPECT_EQ(form->Data().Parameter("OPTIONSELECTED"), Context->App.Message("Points_Scored_40min"));
  const int fives = lineups.Open();
  EXPECT_GT(fives, 5) << "a simulated game changes its fives often";
  EXPECT_EQ(lineups.Row(0)[0].substr(0, 3), "4. ") << "the shirts of team 2's roster, ascending";
  EXPECT_EQ(form->CurrentPage(), 1);
  EXPECT_GE(form->PageCount(), 1);

  // A shot whose points are no number: the error is shown and the rows stay.
  Model.AddAction(
      TActionFactory().Make("shot", 60, {{"Team", "1"}, {"Player", "5"}, {"Made", "Made"}, {"Points", "dos"}}));
  options[1]->setChecked(true);
  Click(*form, "Generate");
  ASSERT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_NE(Ui.Boxes[0].Text.find("dos"), std::string::npos) << Ui.Boxes[0].Text;
  EXPECT_EQ(lineups.Open(), fives);
  EXPECT_EQ(form->Data().Parameter("OPTIONSELECTED"), Context->App.Message("Points_Scored_40min"));
}

}  // namespace
}  // namespace velmora::testing

namespace velmora::gui::testing {
namespace {

TEST_F(LiveWindowTest, ReportMenuOpensThePressReportsWithTheClockStopped) {
  OpenStartedGame();
  int shown = 0;
  velmora::testing::WhenShown<TPrintPlayByPlayForm>([&](TPrintPlayByPlayForm& form) {
    ++shown;
    EXPECT_EQ(form.Data().Parameter("GAMENR"), "G-1");
    form.close();
  });
  Trigger("PlayByPlayItem");
  EXPECT_FALSE(Window->ClockRunning());
  velmora::testing::WhenShown<TPrintMediaBoxscoreForm>([&](TPrintMediaBoxscoreForm& form) {
    ++shown;
    EXPECT_EQ(form.Data().Parameter("TEAM1SHORT"), Model.MatchInfo.Team1.Shortname);
    form.close();
  });
  Trigger("MediaBoxScoreItem");
  velmora::testing::WhenShown<TPrintTeamLeadersForm>([&](TPrintTeamLeadersForm& form) {
    ++shown;
    form.close();
  });
  Trigger("TeamLeadersItem");
  velmora::testing::WhenShown<TPrintLineupEfficiencyForm>([&](TPrintLineupEfficiencyForm& form) {
    ++shown;
    EXPECT_EQ(form.Data().Connection("LineupEfficiencyConnection")->Open(), 0);
    form.close();
  });
  Trigger("LineupEfficiencyItem");
  EXPECT_EQ(shown, 4);
}

}  // namespace
}  // namespace velmora::gui::testing

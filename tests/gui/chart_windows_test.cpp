// The four chart windows driven as the operator drives them: filters and choices change what is
// drawn, the intensity bar waits for its last move, pictures are saved and copied.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "charts/chart_widgets.h"
#include "charts/development_chart.h"
#include "charts/score_development_form.h"
#include "charts/team_comparison_form.h"
#include "charts/temperature_map_form.h"
#include "game_builder.h"
#include "setup_fixture.h"

namespace velmora::testing {
namespace {

class ChartWindowTest : public SetupWindowTest {
 protected:
  ChartWindowTest() {
    Model.MatchInfo = MakeMatchInfo(12, "G-3");
    Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
    Model.SetActions(SimulateGame(Model.MatchInfo, 600, 5));
    Model.Recompute();
  }

  template <typename T>
  static T* Child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  // A click on the text of an entry of a check list.
  static void ClickEntry(gui::TCheckList* list, int row) {
    const QRect entry = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(entry.right() - 5, entry.center().y()));
  }
  int TeamShots(const gui::TShotChartForm& form, int team) {
    return static_cast<int>(std::count_if(form.Shots().begin(), form.Shots().end(),
                                          [team](const TShotMark& shot) { return shot.Team == team; }));
  }
};

TEST_F(ChartWindowTest, ShotChartFiltersByTeamPlayerPeriodAndHalf) {
  gui::TShotChartForm form(*Context);
  form.Fill();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Grafica de tiros"));
  EXPECT_EQ(Child<QLabel>(form, "Side1Label")->text(), QStringLiteral("Club Baloncesto Norte"));
  const int all = static_cast<int>(form.Shots().size());
  const int home = TeamShots(form, 1);
  ASSERT_GT(home, 20);

  // Team 1's box hides its shots and disables its list.
  auto* box = Child<QCheckBox>(form, "Team1Box");
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(TeamShots(form, 1), 0);
  EXPECT_FALSE(Child<gui::TCheckList>(form, "Team1List")->isEnabled());
  EXPECT_FALSE(Child<QToolButton>(form, "SelectAllTeam1")->isEnabled());
  EXPECT_EQ(form.Chart().Description(), "Sólo los tiros del Müller Basket Süd representados.\r");
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(static_cast<int>(form.Shots().size()), all);

  // A click on a player's name toggles him once.
  auto* players = Child<gui::TCheckList>(form, "Team2List");
  ClickEntry(players, 0);
  EXPECT_EQ(players->item(0)->checkState(), Qt::Unchecked);
  EXPECT_FALSE(form.Chart().Players(2)[0].Selected);
  EXPECT_LT(TeamShots(form, 2), all - home);
  ClickEntry(players, 0);
  EXPECT_EQ(TeamShots(form, 2), all - home);

  // Periods 1 and 3 only, by half: the third period lies on the right for both teams.
  auto* quarters = Child<gui::TCheckList>(form, "QuarterList");
  ASSERT_EQ(quarters->count(), 5);
  EXPECT_EQ(quarters->item(4)->text(), QStringLiteral("Cuarto 4"));
  ClickEntry(quarters, 1);
  ClickEntry(quarters, 3);
  EXPECT_EQ(quarters->item(0)->checkState(), Qt::Unchecked);
  Child<QRadioButton>(form, "ByHalfButton")->click();
  EXPECT_EQ(Child<QLabel>(form, "Side2Label")->text(), QStringLiteral("Segunda mitad"));
  for (const TShotMark& shot : form.Shots()) {
    ASSERT_TRUE(shot.Period == 1 || shot.Period == 3);
    EXPECT_EQ(shot.Side, shot.Period == 3 ? TCourtSide::Right : TCourtSide::Left);
  }
  EXPECT_EQ(form.Chart().Description(), "Representar sólo los tiros marcados en los cuartos 1 y 3.\r");
  QTest::qWait(50);
  SaveScreenshot(form, "shot_chart_form");
}

TEST_F(ChartWindowTest, SavingWritesTheJpegAndSaysWhereCopyingFillsTheClipboard) {
  gui::TShotChartForm form(*Context);
  form.Fill();
  Child<QRadioButton>(form, "BlackWhiteButton")->click();
  const QString file = QString::fromStdString((Temp / "chart.jpg").string());

  form.SaveDialog().CancelNext();
  Click(form, "SaveButton");
  EXPECT_FALSE(QFile::exists(file));
  EXPECT_TRUE(Ui.Boxes.empty()) << "cancelled: nothing written, nothing said";

  form.SaveDialog().AnswerNext(file);
  Click(form, "SaveButton");
  const QImage saved(file);
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), QSize(962, 558));
  EXPECT_EQ(form.SaveDialog().Title(), QStringLiteral("Guardar como"));
  ASSERT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_EQ(Ui.Boxes[0].Text, "La imagen ha sido guardada en el archivo \"" + file.toStdString() + "\"");
  EXPECT_EQ(Ui.Boxes[0].Icon, TMessageIcon::Information);
  // Black and white: no colour anywhere but the JPEG's own noise.
  const QColor pixel = saved.pixelColor(saved.width() / 4, saved.height() / 2);
  EXPECT_LT(std::abs(pixel.red() - pixel.blue()), 24);

  form.SaveDialog().AnswerNext(QString::fromStdString((Temp / "no such folder" / "chart.jpg").string()));
  Click(form, "SaveButton");
  ASSERT_EQ(Ui.Boxes.size(), 2u);
  EXPECT_EQ(Ui.Boxes[1].Icon, TMessageIcon::Error) << "a picture that could not be written is not reported saved";

  Click(form, "CopyButton");
  EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(962, 558));
  EXPECT_FALSE(Child<QPushButton>(form, "PrintButton")->isEnabled());
}

TEST_F(ChartWindowTest, HeatMapRebuildsOnce300msAfterTheLastMoveOfTheBar) {
  gui::TTemperatureMapForm form(*Context);
  form.Fill();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_FALSE(Child<QRadioButton>(form, "ColorButton")->isVisible());
  QSlider* bar = form.ColorTrack();
  EXPECT_EQ(bar->minimum(), 2);
  EXPECT_EQ(bar->value(), 50);
  const int before = form.Generations();
  const QImage strong = form.Picture(1);

  // No time passes between the moves: on a loaded machine a wait between them could outlast the delay.
  EXPECT_EQ(form.RebuildTimer()->interval(), 300);
  EXPECT_TRUE(form.RebuildTimer()->isSingleShot());
  for (int value = 55; value <= 70; value += 5) {
    bar->setValue(value);
    EXPECT_TRUE(form.RebuildTimer()->isActive());
  }
  EXPECT_EQ(form.Generations(), before) << "still moving";
  QTRY_COMPARE_WITH_TIMEOUT(form.Generations(), before + 1, 10000);
  EXPECT_FALSE(form.RebuildTimer()->isActive()) << "no second rebuild is due";
  QCoreApplication::processEvents();
  EXPECT_EQ(form.Generations(), before + 1);
  // More shots are needed for red now: the map has less red than before.
  const QImage weaker = form.Picture(1);
  const auto reds = [](const QImage& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); y += 3) {
      for (int x = 0; x < picture.width(); x += 3) {
        const QColor c = picture.pixelColor(x, y);
        count += c.red() > 200 && c.green() < 80 ? 1 : 0;
      }
    }
    return count;
  };
  EXPECT_LT(reds(weaker), reds(strong));
  QTest::qWait(50);
  SaveScreenshot(form, "temperature_map_form");
}

TEST_F(ChartWindowTest, TeamComparisonCountsTheChosenPlayersAndFollowsTheLegendRules) {
  gui::TTeamComparisonForm form(*Context);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Comparación de equipos"));
  // Every player selected: the stacked bars add up to each team's made two-pointers.
  const QList<QBarSet*> sets = form.Chart().findChildren<QBarSet*>();
  ASSERT_EQ(sets.size(), 8);
  for (int team = 1; team <= 2; ++team) {
    double stacked = 0;
    for (const QBarSet* set : sets) stacked += set->count() > team - 1 ? set->at(team - 1) : 0;
    EXPECT_EQ(stacked, Model.Stats(TModel::TotalsSlot(team)).Get("P2M"));
  }
  EXPECT_EQ(form.Chart().title(), QStringLiteral("2-point field goals made"));
  const QList<QLegendMarker*> markers = form.Chart().legend()->markers();
  ASSERT_EQ(markers.size(), 8);
  EXPECT_TRUE(markers[3]->isVisible());
  EXPECT_FALSE(markers[4]->isVisible()) << "no overtime was played";

  // Turnovers of team 2 without anybody chosen: none, as the simulated game has no team turnovers.
  Child<QToolButton>(form, "DeselectAllTeam2")->click();
  form.OptionGroup()->button(11)->click();
  EXPECT_FALSE(form.Comparison().Players(2)[0].Selected);
  EXPECT_EQ(form.Chart().title(), QStringLiteral("Turnovers"));
  for (const TComparisonSeries& series : form.Comparison().Chart().Series) {
    if (series.Bars) {
      EXPECT_EQ((*series.Bars)[1], 0);
    }
  }
  form.OptionGroup()->button(3)->click();
  EXPECT_FALSE(form.Chart().legend()->markers()[7]->isVisible()) << "the percentage's own series";

  form.SaveDialog().AnswerNext(QString::fromStdString((Temp / "comparison.jpg").string()));
  const QString clipboardBefore = QStringLiteral("the operator's own text");
  QApplication::clipboard()->setText(clipboardBefore);
  Click(form, "SaveButton");
  const QImage saved(QString::fromStdString((Temp / "comparison.jpg").string()));
  EXPECT_EQ(saved.width(), 2 * form.ChartView()->width());
  EXPECT_EQ(QApplication::clipboard()->text(), clipboardBefore) << "saving leaves the clipboard alone";
  QTest::qWait(50);
  SaveScreenshot(form, "team_comparison_form");
}

TEST_F(ChartWindowTest, ScoreDevelopmentShowsBandsBarsAndTheFlatView) {
  gui::TScoreDevelopmentChartForm form(*Context);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.Development().Minutes(), 40);
  for (const TPresence band : form.Development().Chart().Bands) ASSERT_EQ(band, TPresence::None);
  const QLineSeries* line = form.Scene().Line(1);
  ASSERT_EQ(line->count(), 41);
  EXPECT_EQ(line->at(0), QPointF(0, 0));
  EXPECT_EQ(line->at(40).y(), Model.Score().first) << "accumulated points end at the score";
  EXPECT_EQ(line->pen().width(), 1) << "the 3D view";

  // The five starters of team 1, chosen by clicks on their names: they begin the game together.
  auto* list = Child<gui::TCheckList>(form, "Team1List");
  for (int row = 0; row < 5; ++row) ClickEntry(list, row);
  EXPECT_EQ(form.Development().Chart().Bands[0], TPresence::Team1);
  ClickEntry(list, 5);
  EXPECT_EQ(form.Development().Chart().Bands[0], TPresence::None) << "six chosen players never share the court";

  Child<QCheckBox>(form, "view3D")->click();
  EXPECT_EQ(form.Scene().Line(1)->pen().width(), 3);
  Child<QComboBox>(form, "ChartType")->setCurrentIndex(0);
  EXPECT_EQ(form.Scene().Line(1)->count(), 0);
  EXPECT_EQ(form.Scene().BarSet(1)->count(), 41) << "a bar for each minute, from minute 1";
  Child<QCheckBox>(form, "Accumulative")->click();
  form.findChild<QRadioButton*>(QStringLiteral("Option3"))->click();
  EXPECT_EQ(form.Chart().title(), QStringLiteral("Faltas"));
  double fouls = 0;
  for (int i = 0; i < form.Scene().BarSet(2)->count(); ++i) fouls += form.Scene().BarSet(2)->at(i);
  EXPECT_EQ(fouls, Model.Stats(TModel::TotalsSlot(2)).Get("PF"));
  QTest::qWait(50);
  SaveScreenshot(form, "score_development_form");
}

}  // namespace
}  // namespace velmora::testing

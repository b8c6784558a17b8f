// Printing the charts as the operator does: "Imprimir" opens the report window with the chart as
// the window draws it, at print resolution, and the chart's explanation; its preview shows them.

#include <gtest/gtest.h>

#include <QChart>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "charts/print_chart_forms.h"
#include "charts/score_development_form.h"
#include "charts/team_comparison_form.h"
#include "charts/temperature_map_form.h"
#include "game_builder.h"
#include "reports/report_preview.h"
#include "setup_fixture.h"

namespace velmora::testing {
namespace {

using gui::TPrintChartForm;

class ChartPrintTest : public SetupWindowTest {
 protected:
  ChartPrintTest() {
    Model.MatchInfo = MakeMatchInfo(12, "G-9");
    Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
    Model.SetActions(SimulateGame(Model.MatchInfo, 400, 4));
    Model.Recompute();
  }

  // Clicks "Imprimir" of `window`; `check` runs on the report window once its preview is shown,
  // which is then closed.
  template <typename TForm>
  void Print(QWidget& window, const std::function<void(TForm&)>& check) {
    bool checked = false;
    WhenShown<TForm>([&](TForm& form) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return !form.Rendering() && form.PageCount() > 0; }, 10000));
      check(form);
      checked = true;
      form.close();
    });
    Click(window, "PrintButton");
    EXPECT_TRUE(checked);
  }

  // The report as the chart window hands it: portrait, one copy, the chart as its window draws it.
  static void ExpectPrintedChart(const TPrintChartForm& form, const QImage& drawn) {
    EXPECT_EQ(form.Data().Orientation, TReportOrientation::Portrait);
    EXPECT_EQ(form.Data().Copies, 1);
    EXPECT_EQ(form.Data().Parameter("T1COUNTRY"), "Club Baloncesto Norte") << "the game's header";
    const QImage& picture = form.ChartPicture();
    EXPECT_GE(picture.width(), 2200) << "190 mm at 300 dpi";
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32))
        << "the window's own drawing, as it stands";
    // The preview's page shows the chart where the layout puts it, under the header.
    const QImage page = form.PreviewBox().Page();
    const QRect chart(page.width() / 10, page.height() * 27 / 100, page.width() * 8 / 10, page.height() / 4);
    int inked = 0;
    for (int y = chart.top(); y < chart.bottom(); y += 4) {
      for (int x = chart.left(); x < chart.right(); x += 4) inked += page.pixelColor(x, y) != Qt::white;
    }
    EXPECT_GT(inked, chart.width() * chart.height() / 16 / 10) << "the chart is on the page";
  }
};

TEST_F(ChartPrintTest, ShotChartPrintsWhatIsShownAndSaysWhatIsLeftOut) {
  gui::TShotChartForm form(*Context);
  form.Fill();
  form.show();
  QTest::mouseClick(form.findChild<QCheckBox*>(QStringLiteral("Team1Box")), Qt::LeftButton);
  Print<gui::TPrintShotChartForm>(form, [&](gui::TPrintShotChartForm& print) {
    EXPECT_EQ(print.windowTitle(), QStringLiteral("Shot Chart"));
    EXPECT_EQ(print.Data().ReportName, "ShotChart");
    EXPECT_EQ(print.Data().Parameter("Expl1"), form.Chart().SideLabels()[0]);
    EXPECT_EQ(print.Data().Parameter("Expl2"), form.Chart().SideLabels()[1]);
    EXPECT_EQ(print.Data().Parameter("Expl3"), "Sólo los tiros del Müller Basket Süd representados.\r");
    ExpectPrintedChart(print, form.Picture(gui::PrintScale(kFullCourtWidth)));
    SaveScreenshot(print, "shot_chart_print");
  });

  // The heat map prints its own picture through the same report.
  gui::TTemperatureMapForm heat(*Context);
  heat.Fill();
  Print<gui::TPrintShotChartForm>(heat, [&](gui::TPrintShotChartForm& print) {
    EXPECT_EQ(print.Data().Parameter("Expl3"), "");
    ExpectPrintedChart(print, heat.Picture(gui::PrintScale(kFullCourtWidth)));
  });
}

TEST_F(ChartPrintTest, TeamComparisonAndScoreDevelopmentPrintTheirPlayers) {
  gui::TTeamComparisonForm comparison(*Context);
  comparison.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&comparison));
  comparison.SelectAllClick(2, false);
  Print<gui::TPrintTeamComparisonForm>(comparison, [&](gui::TPrintTeamComparisonForm& print) {
    EXPECT_EQ(print.windowTitle(), QStringLiteral("Comparación de equipos"));
    EXPECT_EQ(print.Data().Parameter("Team1Name0"), "Todos los jugadores");
    EXPECT_EQ(print.Data().Parameter("Team2Name0"), "");
    ExpectPrintedChart(print, comparison.Picture(gui::PrintScale(comparison.Chart().sceneBoundingRect().width())));
  });

  gui::TScoreDevelopmentChartForm development(*Context);
  development.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&development));
  Print<gui::TPrintScoreDevelopmentChartForm>(development, [&](gui::TPrintScoreDevelopmentChartForm& print) {
    EXPECT_EQ(print.windowTitle(), QStringLiteral("Score Development Chart"));
    EXPECT_EQ(print.Data().ReportName, "ScoreDevelopment");
    EXPECT_EQ(print.Data().Parameter("Team1Name0"), "Sin jugadores");
    EXPECT_EQ(print.Data().Parameter("Team2Name0"), "Sin jugadores");
    SaveScreenshot(print, "score_development_print");
    ExpectPrintedChart(print, development.Picture(gui::PrintScale(development.Chart().sceneBoundingRect().width())));
  });
}

}  // namespace
}  // namespace velmora::testing

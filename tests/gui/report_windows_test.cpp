// The report windows as the operator uses them: the preview's pages and zoom, PDF export,
// printing, the engine's errors, the statistics transfer's confirmation, and the live window's
// report menu.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "command_line.h"
#include "exports/box_score_workbook.h"
#include "exports/federation_file.h"
#include "game_builder.h"
#include "live_window_fixture.h"
#include "reports/confirm_score_form.h"
#include "reports/print_boxscore_form.h"
#include "reports/print_rosters_form.h"
#include "reports/report_preview.h"
#include "setup_fixture.h"
#include "stats/game_documents.h"
#include "xlsx_reader.h"

namespace velmora::testing {
namespace {

using gui::TAbstractPrintForm;
using gui::TPrintBoxscoreForm;
using gui::TPrintRostersForm;

bool Settled(TAbstractPrintForm& form) {
  return QTest::qWaitFor([&] { return !form.Rendering(); }, 10000);
}

QByteArray Bytes(const std::filesystem::path& file) {
  QFile read(QString::fromStdString(file.string()));
  return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray();
}

// A PDF without its creation time, which is all two writings of one report differ in.
QByteArray Timeless(QByteArray pdf) {
  const qsizetype at = pdf.indexOf("/CreationDate (");
  if (at >= 0) pdf.remove(at, pdf.indexOf(')', at) - at + 1);
  return pdf;
}

int PdfPages(const QByteArray& pdf) { return static_cast<int>(pdf.count("/Type /Page\n")); }

class ReportWindowTest : public SetupWindowTest {
 protected:
  ReportWindowTest() {
    Model.MatchInfo = MakeMatchInfo(12, "G-7");
    Model.MatchInfo.CurrentGameTime = FromSeconds(40 * 60);
    Model.SetActions(SimulateGame(Model.MatchInfo, 300, 4));
    Model.Recompute();
  }

  template <class TForm>
  std::unique_ptr<TForm> Shown() {
    auto form = std::make_unique<TForm>(*Context);
    form->show();
    EXPECT_TRUE(Settled(*form));
    return form;
  }
  template <class T>
  static T& Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    if (!child) throw std::runtime_error(name);
    return *child;
  }
  static void Type(QLineEdit& edit, const QString& text) {
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, text);
    QTest::keyClick(&edit, Qt::Key_Return);
  }
};

TEST_F(ReportWindowTest, PreviewPagesAndZoomsAsTheOperatorAsks) {
  auto form = Shown<TPrintBoxscoreForm>();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Puntuación oficial"));
  EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
  EXPECT_FALSE(Child<QPushButton>(*form, "UploadButton").isVisible()) << "a local game";
  EXPECT_EQ(form->PageCount(), 1);
  auto& pageEdit = Child<QLineEdit>(*form, "PageEdit");
  EXPECT_EQ(pageEdit.text(), QStringLiteral("Página 1 de 1"));
  EXPECT_FALSE(Child<QPushButton>(*form, "PrevPageButton").isEnabled());
  EXPECT_FALSE(Child<QPushButton>(*form, "NextPageButton").isEnabled());
  const QSizeF page = form->PreviewBox().Page().deviceIndependentSize();
  EXPECT_NEAR(page.width(), 297 / 25.4 * form->logicalDpiX(), 2) << "an A4 sheet across at 100 %";

  // Pages that do not exist change nothing; the box keeps what was typed.
  Type(pageEdit, QStringLiteral("0"));
  EXPECT_EQ(form->CurrentPage(), 1);
  EXPECT_EQ(pageEdit.text(), QStringLiteral("0"));
  Type(pageEdit, QStringLiteral("5"));
  EXPECT_EQ(form->CurrentPage(), 1);

  auto& zoom = Child<QComboBox>(*form, "ZoomEdit");
  Type(*zoom.lineEdit(), QStringLiteral(" 150%"));
  EXPECT_EQ(form->ZoomFactor(), 150);
  ASSERT_TRUE(Settled(*form));
  EXPECT_EQ(zoom.currentText(), QStringLiteral("150%"));
  EXPECT_NEAR(form->PreviewBox().Page().deviceIndependentSize().width(), 1.5 * page.width(), 2);
  EXPECT_TRUE(form->PreviewBox().hasFocus());
  Type(*zoom.lineEdit(), QStringLiteral("7"));
  EXPECT_EQ(form->ZoomFactor(), 150) << "fewer than two characters";
  Type(*zoom.lineEdit(), QStringLiteral("250000"));
  EXPECT_EQ(form->ZoomFactor(), TAbstractPrintForm::kLargestZoom) << "a page that large would not fit in memory";
  Type(*zoom.lineEdit(), QStringLiteral("10"));
  Click(*form, "ZoomOutButton");
  EXPECT_EQ(form->ZoomFactor(), 10) << "not below the zoom step";
  Click(*form, "ZoomInButton");
  EXPECT_EQ(form->ZoomFactor(), 20);
  EXPECT_EQ(zoom.currentText(), QStringLiteral("20%"));
  EXPECT_TRUE(Settled(*form));
}

TEST_F(ReportWindowTest, RostersOfTheOpenGameGoOverTwoPages) {
  Model.MatchInfo = MakeMatchInfo(30, "G-30");
  auto form = Shown<TPrintRostersForm>();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Rosters"));
  EXPECT_EQ(form->Data().Parameter("GAMENR"), "G-30") << "the header describes the report's game";
  ASSERT_EQ(form->PageCount(), 2);
  auto& next = Child<QPushButton>(*form, "NextPageButton");
  EXPECT_TRUE(next.isEnabled());
  next.click();
  EXPECT_EQ(form->CurrentPage(), 2);
  EXPECT_FALSE(next.isEnabled());
  EXPECT_TRUE(Child<QPushButton>(*form, "PrevPageButton").isEnabled());
  EXPECT_EQ(Child<QLineEdit>(*form, "PageEdit").text(), QStringLiteral("Página 2 de 2"));
  ASSERT_TRUE(Settled(*form));
  Type(Child<QLineEdit>(*form, "PageEdit"), QStringLiteral("1"));
  EXPECT_EQ(form->CurrentPage(), 1);
  EXPECT_TRUE(Settled(*form));
}

TEST_F(ReportWindowTest, PdfExportWritesWhatTheCommandLineWritesAndSaysWhereOrWhyNot) {
  // The window and the command line on the same game file.
  ASSERT_TRUE(WriteTransferFile(Model, Temp / "game.log"));
  auto game = ReadTransferFile(Temp / "game.log");
  ASSERT_TRUE(game);
  LoadTransferGame(Model, std::move(game.Value()));
  auto form = Shown<TPrintBoxscoreForm>();
  EXPECT_EQ(form->SaveDialog().Title(), QStringLiteral("Exportar a PDF"));
  EXPECT_EQ(form->SaveDialog().Filters(),
            (QStringList{QStringLiteral("Ficheros PDF (*.pdf)"), QStringLiteral("Todos los ficheros (*.*)")}));
  EXPECT_EQ(form->SaveDialog().DefaultSuffix(), QStringLiteral("pdf"));

  form->SaveDialog().CancelNext();
  Click(*form, "PdfButton");
  EXPECT_FALSE(form->Rendering());
  EXPECT_TRUE(Ui.Messages.empty());

  const std::filesystem::path file = Temp / "acta.pdf";
  form->SaveDialog().AnswerNext(QString::fromStdString(file.string()));
  Click(*form, "PdfButton");
  ASSERT_TRUE(Settled(*form));
  ASSERT_EQ(Ui.Messages.size(), 1u);
  EXPECT_EQ(Ui.Messages.back(),
            std::make_pair(std::string(kApplicationTitle), "Informe grabado en fichero " + file.string()));
  const QByteArray written = Bytes(file);
  EXPECT_EQ(PdfPages(written), 1) << "one copy in the file";

  std::ostringstream out, err;
  ASSERT_EQ(cli::Run({"--data-dir", (Temp / "cli").string(), "report", "boxscore", "--file",
                      (Temp / "game.log").string(), "--pdf", (Temp / "cli.pdf").string()},
                     out, err),
            cli::kSuccess)
      << err.str();
  EXPECT_EQ(Timeless(Bytes(Temp / "cli.pdf")), Timeless(written));

  form->SaveDialog().AnswerNext(QString::fromStdString((Temp / "no such folder" / "acta.pdf").string()));
  Click(*form, "PdfButton");
  ASSERT_TRUE(Settled(*form));
  ASSERT_EQ(Ui.Messages.size(), 2u);
  EXPECT_EQ(Ui.Messages.back().second.find("Informe grabado"), std::string::npos) << Ui.Messages.back().second;
}

TEST_F(ReportWindowTest, ExportButtonsWriteTheFederationFileAndTheWorkbookOrSayWhyNot) {
  auto form = Shown<TPrintBoxscoreForm>();
  EXPECT_EQ(form->CSVDialog().Title(), QStringLiteral("Exportar a CSV"));
  EXPECT_EQ(form->CSVDialog().Filters(),
            (QStringList{QStringLiteral("Ficheros CSV (*.csv)"), QStringLiteral("Toros los ficheros (*.*)")}));
  EXPECT_EQ(form->CSVDialog().DefaultSuffix(), QStringLiteral("csv"));
  EXPECT_EQ(form->ExcelDialog().Filters(), QStringList{QStringLiteral("Ficheros Excel (*.xlsx)")});
  EXPECT_EQ(form->ExcelDialog().DefaultSuffix(), QStringLiteral("xlsx"));

  form->CSVDialog().CancelNext();
  Click(*form, "CSVButton");
  EXPECT_TRUE(Ui.Messages.empty());

  const std::filesystem::path csv = Temp / "partido.csv";
  form->CSVDialog().AnswerNext(QString::fromStdString(csv.string()));
  Click(*form, "CSVButton");
  EXPECT_EQ(Ui.Messages.back(),
            std::make_pair(std::string(kApplicationTitle), "Los datos han sido exportados al fichero " + csv.string()));
  EXPECT_EQ(Bytes(csv).toStdString(), FederationFileText(Model));

  const std::filesystem::path xlsx = Temp / "partido.xlsx";
  form->ExcelDialog().AnswerNext(QString::fromStdString(xlsx.string()));
  Click(*form, "ExcelButton");
  EXPECT_EQ(Ui.Messages.back().second, "Los datos han sido exportados al fichero " + xlsx.string());
  EXPECT_EQ(TXlsxSheet(xlsx).Value(1, 1), BoxScoreTitle(Model));

  const std::filesystem::path nowhere = Temp / "no such folder" / "partido.xlsx";
  form->ExcelDialog().AnswerNext(QString::fromStdString(nowhere.string()));
  Click(*form, "ExcelButton");
  EXPECT_EQ(Ui.Messages.back().second.find("exportados"), std::string::npos) << Ui.Messages.back().second;
  EXPECT_NE(Ui.Messages.back().second.find("partido.xlsx"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

TEST_F(ReportWindowTest, PrintingGivesTheReportsCopiesOnlyWhenConfirmed) {
  auto form = Shown<TPrintBoxscoreForm>();
  const std::filesystem::path file = Temp / "printed.pdf";
  form->Printer().setOutputFormat(QPrinter::PdfFormat);
  form->Printer().setOutputFileName(QString::fromStdString(file.string()));

  form->PrintDialogs().AnswerNextPrint(false);
  Click(*form, "PrintButton");
  EXPECT_FALSE(form->Rendering());
  EXPECT_FALSE(std::filesystem::exists(file));

  form->PrintDialogs().AnswerNextPrint(true, 1);
  Click(*form, "PrintButton");
  ASSERT_TRUE(Settled(*form));
  EXPECT_EQ(PdfPages(Bytes(file)), 2) << "the box score is printed twice";
  EXPECT_TRUE(Ui.Messages.empty());

  form->PrintDialogs().SkipNextSetup();
  Click(*form, "PrintSetupBtn");
  EXPECT_EQ(form->PrintDialogs().SetupsShown(), 1);
}

TEST_F(ReportWindowTest, AMissingProjectIsTheEnginesErrorAndNoCrash) {
  App = std::make_unique<TApp>(Model, Config, Registry, Temp.Path(), &Ui);
  Context = std::make_unique<gui::TGuiContext>(gui::TGuiContext{Model, *App, Registry, Ui, Temp.Path()});
  Ui.Messages.clear();
  auto form = Shown<TPrintBoxscoreForm>();
  ASSERT_EQ(Ui.Messages.size(), 1u);
  EXPECT_NE(Ui.Messages[0].second.find("boxscore.rav"), std::string::npos) << Ui.Messages[0].second;
  EXPECT_EQ(form->PageCount(), 0);
  EXPECT_FALSE(Child<QPushButton>(*form, "NextPageButton").isEnabled());
}

TEST_F(ReportWindowTest, TransferIsOfferedAtTheEndOfTheGameAfterTheScoreIsConfirmed) {
  Model.MatchInfo.Availability = kLocalAndOnline;
  Model.MatchInfo.CurrentGameTime = FromSeconds(35 * 60);
  EXPECT_FALSE(
      Shown<TPrintBoxscoreForm>()->findChild<QPushButton*>(QStringLiteral("UploadButton"))->isVisibleTo(nullptr));
  Model.MatchInfo.CurrentGameTime = FromSeconds(40 * 60);
  auto form = Shown<TPrintBoxscoreForm>();
  EXPECT_TRUE(Child<QPushButton>(*form, "UploadButton").isVisible());

  gui::TConfirmScoreForm confirm(Model, Ui);
  EXPECT_EQ(confirm.windowTitle(), QStringLiteral("Send statistics"));
  confirm.show();
  auto& score1 = Child<QLineEdit>(confirm, "Team1ScoreEdit");
  auto& score2 = Child<QLineEdit>(confirm, "Team2ScoreEdit");
  EXPECT_EQ(Child<QLabel>(confirm, "Team2Label").text(), QStringLiteral("Müller Basket Süd"));
  score1.setText(QStringLiteral("x"));
  Click(confirm, "SendButton");
  EXPECT_EQ(Ui.Messages.back(), std::make_pair(std::string("Velmora"), std::string("Invalid score for first team")));
  EXPECT_TRUE(confirm.isVisible());

  const auto [points1, points2] = Model.Score();
  score1.setText(QString::number(points1 + 1));
  score2.setText(QString::number(points2));
  Child<QLineEdit>(confirm, "NameEdit").setText(QStringLiteral("Ana"));
  Ui.Answer = false;
  Click(confirm, "SendButton");
  ASSERT_EQ(Ui.Questions.size(), 1u);
  EXPECT_EQ(Ui.Questions[0].second, kScoreDiffersQuestion);
  EXPECT_TRUE(confirm.isVisible()) << "No keeps the dialog open";
  EXPECT_EQ(score1.text(), QString::number(points1 + 1));

  score1.setText(QString::number(points1));
  Click(confirm, "SendButton");
  EXPECT_EQ(Ui.Questions.size(), 1u) << "the score of the statistics needs no question";
  EXPECT_EQ(confirm.result(), QDialog::Accepted);
  EXPECT_EQ(confirm.Result().Score1, points1);
  EXPECT_EQ(confirm.Result().Name, "Ana");
  confirm.show();
  EXPECT_TRUE(score1.text().isEmpty()) << "the scores are typed anew each time";
}

}  // namespace
}  // namespace velmora::testing

namespace velmora::gui::testing {
namespace {

TEST_F(LiveWindowTest, ReportMenuOpensTheBoxScoreAndTheRostersOfTheOpenGame) {
  OpenStartedGame();
  EXPECT_TRUE(Enabled("OfficialBoxScoreItem"));
  bool shown = false;
  velmora::testing::WhenShown<TPrintRostersForm>([&](TPrintRostersForm& form) {
    shown = true;
    EXPECT_EQ(form.Data().Parameter("GAMENR"), "G-1");
    EXPECT_EQ(form.Data().Parameter("T1COUNTRY"), Model.MatchInfo.Team1.Name);
    form.close();
  });
  Trigger("RostersItem");
  EXPECT_TRUE(shown);
  EXPECT_FALSE(Window->ClockRunning());
}

}  // namespace
}  // namespace velmora::gui::testing

// The report engine: project files and their faults, the pictures of the settings, pages flowing
// from the layouts, the shipped box score layout, and the PDF it writes.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>

#include "game_builder.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "reports/engine/font_book.h"
#include "reports/engine/report_generator.h"
#include "reports/engine/report_pictures.h"
#include "reports/engine/report_project.h"
#include "reports/report_list.h"
#include "stats/model.h"
#include "temp_folder.h"

namespace velmora::report {
namespace {

using velmora::testing::TTempFolder;

std::vector<QString> Texts(const TPageStream& stream, int page) {
  std::vector<QString> texts;
  for (const TRun& run : stream.Pages[static_cast<std::size_t>(page)].Runs) {
    if (const auto* text = std::get_if<TTextRun>(&run)) texts.push_back(text->Text);
  }
  return texts;
}

bool Contains(const std::vector<QString>& texts, const QString& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TProject Parse(const std::string& text) {
  auto project = ParseProject(text, "test.rav");
  EXPECT_TRUE(project) << project.Error();
  return project ? project.Value() : TProject{};
}

TEST(ReportProject, FaultsNameTheFileAndTheLine) {
  TTempFolder folder;
  auto missing = LoadProject(folder / "report" / "reports.rav");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.Error().find("reports.rav"), std::string::npos) << missing.Error();

  const auto fault = [](const std::string& text) {
    auto project = ParseProject(text, "boxscore.rav");
    return project ? std::string("no fault") : project.Error();
  };
  EXPECT_NE(fault("<project>\n<report name=\"A\">\n<body>\n</report>").find("boxscore.rav"), std::string::npos);
  EXPECT_NE(fault("<project>\n<report name=\"A\">\n<body>\n</report>").find("línea 4"), std::string::npos);
  EXPECT_NE(fault("<project>\n<report name=\"A\"><body>\n<block h=\"3\"><text colour=\"#000\"/></block>"
                  "</body></report></project>")
                .find("línea 3): <text> has no attribute \"colour\""),
            std::string::npos);
  EXPECT_NE(fault("<project><report name=\"A\" font=\"big\"/></project>").find("\"big\" is not defined"),
            std::string::npos);
  EXPECT_NE(fault("<project><report name=\"A\"><body><use band=\"top\"/></body></report></project>")
                .find("\"top\" is not defined"),
            std::string::npos);
  EXPECT_NE(fault("<project><report name=\"A\"><body><table><column/><rows/></table></body></report></project>")
                .find("either a source or keys"),
            std::string::npos);
  EXPECT_NE(fault("<project><report name=\"A\"><body><block><line width=\"thin\"/></block></body></report></project>")
                .find("is no number"),
            std::string::npos);

  EXPECT_EQ(ExpandKeys(QStringLiteral("A1-A3 A5 B")),
            (std::vector<QString>{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3"),
                                  QStringLiteral("A5"), QStringLiteral("B")}));
  EXPECT_FALSE(ExpandKeys(QStringLiteral("A1-B3")));
  EXPECT_FALSE(ExpandKeys(QStringLiteral("A3-A1")));
}

TEST(ReportPictures, AreScaledToEightyTwoPixelsHighAndWhiteWhenUnreadable) {
  EXPECT_EQ(ScaledToReportHeight(QImage(164, 41, QImage::Format_RGB32)).size(), QSize(328, 82));
  EXPECT_EQ(ScaledToReportHeight(QImage(100, 300, QImage::Format_RGB32)).size(), QSize(27, 82)) << "27.33";

  TTempFolder folder;
  const QImage blank = ReportPicture(folder / "none.jpg");
  EXPECT_EQ(blank.size(), QSize(82, 82));
  EXPECT_EQ(blank.pixelColor(40, 40), QColor(Qt::white));

  // A JPEG picture under a bitmap's name is still read.
  QImage red(60, 30, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(QString::fromStdString((folder / "logo.bmp").string()), "JPEG"));
  const QImage read = ReportPicture(folder / "logo.bmp");
  EXPECT_EQ(read.size(), QSize(164, 82));
  EXPECT_GT(read.pixelColor(80, 40).red(), 200);
}

// A connection of `rows` rows in groups of 25, with a long name now and then.
TReportInput ListInput(int rows) {
  TReportInput input;
  input.Orientation = TReportOrientation::Portrait;
  input.Parameters = {{"Title", "Lista"}, {"Mark", "yes"}};
  TConnectionRows list;
  list.Columns = {{"Group", 255, "Group"}, {"Name", 255, "Name"}, {"Note", 255, "Note"}};
  for (int i = 0; i < rows; ++i) {
    list.Rows.push_back({"Period " + std::to_string(i / 25 + 1),
                         i % 10 == 3 ? "Juan Carlos Navarro Feijoo" : "Row " + std::to_string(i), "one\rtwo"});
  }
  input.Connections.emplace_back("List", std::move(list));
  input.Pictures[QStringLiteral("logo")] = QImage(82, 82, QImage::Format_RGB32);
  return input;
}

constexpr const char* kListProject = R"xml(<project>
  <font name="cell" family="DejaVu Sans" size="9"/>
  <font name="head" family="DejaVu Sans" size="8" bold="yes"/>
  <report name="List" margin="10" font="cell">
    <pageheader h="12">
      <picture x="0" y="0" w="10" h="10" source="logo"/>
      <text x="12" y="0" h="6">{Title}</text>
      <text x="12" y="6" h="4" when="Mark" unless="Missing">{#roman:4}-$</text>
    </pageheader>
    <pagefooter h="6"><text y="1" h="5" align="right">Página {#page} de {#pages}</text></pagefooter>
    <body>
      <table headfont="head" stripe="#eeeeee" groupfill="#cccccc" continued="{Title} (cont.)">
        <column id="name" w="30" fit="name" head="Name">{Name}</column>
        <column w="*" head="Note">{Note}</column>
        <rows source="List" group="{Group}"/>
      </table>
    </body>
  </report>
</project>)xml";

TEST(ReportExecution, TablesFlowOverPagesWithTheirHeadsBandsAndPageNumbers) {
  const TProject project = Parse(kListProject);
  auto result = ExecuteReport(project, QStringLiteral("List"), ListInput(120));
  ASSERT_TRUE(result) << result.Error();
  const TPageStream& stream = result.Value();
  ASSERT_GT(stream.PageCount(), 2);
  EXPECT_EQ(stream.PageSize, QSizeF(210, 297));

  int rows = 0;
  for (int page = 0; page < stream.PageCount(); ++page) {
    const auto texts = Texts(stream, page);
    EXPECT_TRUE(Contains(texts, QStringLiteral("Página %1 de %2").arg(page + 1).arg(stream.PageCount()))) << page;
    EXPECT_TRUE(Contains(texts, QStringLiteral("IV-"))) << "when, unless and the numeral";
    // The heads come right after the page header on every page, after the band that says the
    // table goes on.
    const auto head = std::find(texts.begin(), texts.end(), QStringLiteral("Name"));
    ASSERT_NE(head, texts.end()) << page;
    EXPECT_EQ(*(head + 1), QStringLiteral("Note"));
    EXPECT_EQ(*(head - 1) == QStringLiteral("Lista (cont.)"), page > 0) << page;
    // A band never ends a page.
    const auto lastLine = std::find_if(texts.rbegin(), texts.rend(),
                                       [](const QString& text) { return !text.startsWith(QLatin1String("Página")); });
    EXPECT_FALSE(lastLine->startsWith(QLatin1String("Period"))) << page;
    rows += static_cast<int>(std::count(texts.begin(), texts.end(), QStringLiteral("two")));
  }
  EXPECT_EQ(rows, 120) << "a carriage return breaks the cell's line; no row is lost or split";
  const auto first = Texts(stream, 0);
  EXPECT_TRUE(Contains(first, QStringLiteral("Period 1")));
  EXPECT_TRUE(Contains(first, QStringLiteral("J. C. Navarro Feijoo")) ||
              Contains(first, QStringLiteral("J. C. N. Feijoo")))
      << "a long name gives initials before it would be cut";

  // Every text fits its box.
  TFontBook book(project.Fonts, QStringLiteral("cell"));
  std::size_t stripes = 0;
  for (const TRun& run : stream.Pages[0].Runs) {
    if (const auto* text = std::get_if<TTextRun>(&run)) {
      QFont font = stream.Fonts[static_cast<std::size_t>(text->Font)];
      const int index = book.Font(font.bold() ? QStringLiteral("head") : QStringLiteral("cell"), font.pointSizeF());
      EXPECT_LE(book.Width(index, text->Text), text->Box.width() + 0.01) << text->Text.toStdString();
    }
    if (const auto* rect = std::get_if<TRectRun>(&run); rect && rect->Fill == QColor(0xee, 0xee, 0xee)) ++stripes;
  }
  EXPECT_GT(stripes, 5u);
}

TEST(ReportFonts, WrappedLinesAreFilledGreedilyWordByWord) {
  TFontBook book(Parse(kListProject).Fonts, QStringLiteral("cell"));
  const int font = book.Font(QStringLiteral("cell"));
  EXPECT_EQ(book.Wrap(QStringLiteral("  Tapón   de  Navarro "), font, 100),
            QStringList{QStringLiteral("Tapón de Navarro")})
      << "blanks fold into one";
  const QString text = QStringLiteral("Canasta de tres puntos de Juan Carlos Navarro tras asistencia de Pau Gasol");
  const double width = book.Width(font, QStringLiteral("Canasta de tres puntos"));
  const QStringList lines = book.Wrap(text, font, width);
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines.join(QLatin1Char(' ')), text) << "no word lost";
  for (qsizetype i = 0; i < lines.size(); ++i) {
    EXPECT_LE(book.Width(font, lines[i]), width) << i;
    if (i + 1 < lines.size()) {
      const QString longer = lines[i] + QLatin1Char(' ') + lines[i + 1].section(QLatin1Char(' '), 0, 0);
      EXPECT_GT(book.Width(font, longer), width) << "line " << i << " takes every word that fits";
    }
  }
  EXPECT_EQ(book.Wrap(QStringLiteral("de Supercalifragilístico de"), font, 10),
            (QStringList{QStringLiteral("de"), QStringLiteral("Supercalifragilístico"), QStringLiteral("de")}))
      << "a longer word keeps its line";
}

TEST(ReportExecution, WhatTheLayoutAsksForAndTheInputLacksIsAClearError) {
  const TProject project = Parse(kListProject);
  TReportInput input = ListInput(3);
  input.Pictures.clear();
  auto result = ExecuteReport(project, QStringLiteral("List"), input);
  ASSERT_FALSE(result);
  EXPECT_NE(result.Error().find("\"logo\""), std::string::npos) << result.Error();

  input = ListInput(3);
  input.Connections.clear();
  result = ExecuteReport(project, QStringLiteral("List"), input);
  ASSERT_FALSE(result);
  EXPECT_NE(result.Error().find("\"List\""), std::string::npos) << result.Error();

  result = ExecuteReport(project, QStringLiteral("Rosters"), ListInput(3));
  ASSERT_FALSE(result);
  EXPECT_NE(result.Error().find("\"Rosters\""), std::string::npos);
}

class ShippedLayoutTest : public ::testing::Test {
 protected:
  // The official box score of a simulated game with `players` players a team.
  TPageStream BoxScore(int players) {
    Model.MatchInfo = velmora::testing::MakeMatchInfo(players);
    Model.SetActions(velmora::testing::SimulateGame(Model.MatchInfo, 400, 5));
    Model.Recompute();
    TMessages messages;
    EXPECT_TRUE(messages.Load(ProgramFolder(), "EN"));
    const TReportData data = MakeReportData(*FindReportKind("boxscore"), Model, messages);
    auto pages = GenerateReport(data.ProjectFileName, data.ReportName, InputOf(data, {}),
                                ReportFilesOf(Config, ProgramFolder()));
    EXPECT_TRUE(pages) << pages.Error();
    return pages ? std::move(pages.Value()) : TPageStream{};
  }

  TConfiguration Config{ProgramFolder()};
  TModel Model{Config};
};

TEST_F(ShippedLayoutTest, BoxScoreKeepsFifteenPlayersATeamOnOneLandscapePage) {
  const TPageStream stream = BoxScore(15);
  ASSERT_EQ(stream.PageCount(), 1);
  EXPECT_EQ(stream.PageSize, QSizeF(297, 210));
  const auto texts = Texts(stream, 0);
  for (int slot = 1; slot <= 15; ++slot) {
    EXPECT_EQ(std::count(texts.begin(), texts.end(), QStringLiteral("Player%1 Pérez").arg(slot)), 1) << slot;
    EXPECT_EQ(std::count(texts.begin(), texts.end(), QStringLiteral("Player%1 Müller").arg(slot)), 1) << slot;
  }
  EXPECT_EQ(std::count(texts.begin(), texts.end(), QStringLiteral("Team")), 2) << "both team lines";
  EXPECT_TRUE(Contains(texts, QStringLiteral("Page 1 of 1")));
  // Nothing is drawn outside the page's margins.
  for (const TRun& run : stream.Pages[0].Runs) {
    if (const auto* text = std::get_if<TTextRun>(&run)) {
      EXPECT_TRUE(QRectF(6.9, 6.9, 283.2, 196.2).contains(text->Box)) << text->Text.toStdString();
    }
  }
  const QImage page = RenderPageImage(stream, 0, 96);
  EXPECT_EQ(page.size(), QSize(1123, 794));
}

TEST_F(ShippedLayoutTest, BoxScoreOfLongerRostersGoesOnWithItsHeads) {
  const TPageStream stream = BoxScore(22);
  ASSERT_EQ(stream.PageCount(), 2);
  EXPECT_TRUE(Contains(Texts(stream, 1), QStringLiteral("Player")));
  EXPECT_TRUE(Contains(Texts(stream, 1), QStringLiteral("Page 2 of 2")));
}

TEST_F(ShippedLayoutTest, PdfCarriesItsInformationAndAConsistentCrossReferenceTable) {
  const QByteArray pdf = PdfBytes(BoxScore(12), ReportPdfInfo());
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  const auto utf16 = [](const char* text) {
    QByteArray bytes;
    for (const char* c = text; *c; ++c) bytes.append('\0').append(*c);
    return bytes;
  };
  EXPECT_TRUE(pdf.contains(utf16("Offcial Statistics Sheet")));
  EXPECT_TRUE(pdf.contains(utf16("Talvex Velmora ") + QByteArray("\0\\(", 3) + utf16("https://velmora.example.org/")));
  EXPECT_TRUE(pdf.contains("/Producer (\xFE\xFF" + utf16("Talvex") + ")"));
  EXPECT_FALSE(pdf.contains(utf16("Qt ")));
  EXPECT_TRUE(pdf.contains("/FontFile2")) << "the fonts are embedded";

  // Every entry of the table points at its object.
  const qsizetype xref = pdf.lastIndexOf("\nxref\n");
  const qsizetype entries = pdf.indexOf('\n', xref + 6) + 1;
  const QList<QByteArray> head = pdf.mid(xref + 6, entries - xref - 7).split(' ');
  ASSERT_EQ(head.size(), 2);
  for (int object = 1; object < head[1].toInt(); ++object) {
    const qlonglong offset = pdf.mid(entries + 20 * object, 10).toLongLong();
    EXPECT_TRUE(pdf.mid(offset).startsWith(QByteArray::number(object) + " 0 obj")) << object;
  }
  const qsizetype start = pdf.lastIndexOf("startxref\n") + 10;
  EXPECT_EQ(pdf.mid(start, pdf.indexOf('\n', start) - start).trimmed().toLongLong(), xref + 1);
}

}  // namespace
}  // namespace velmora::report

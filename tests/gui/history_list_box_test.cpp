#include <gtest/gtest.h>

#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "game_builder.h"
#include "golden_picture.h"
#include "live/history_list_box.h"
#include "live/history_list_model.h"

namespace velmora::gui {
namespace {

THistoryLine Line(const std::string& text, bool notSent) {
  return THistoryLine{text, THistoryRecord{"{id}", nullptr, notSent}};
}

class HistoryListBoxTest : public ::testing::Test {
 protected:
  HistoryListBoxTest() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    List.setFont(font);
    List.setModel(&Model);
    List.resize(520, 4 * 13 + 2 * List.frameWidth() + 30);
    std::deque<THistoryLine> lines;
    lines.push_back(Line("03:25 Tiro (Equipo: NOR, Player: 7. Ana Pérez, Resultado: Made)", false));
    lines.push_back(Line("03:40 Falta (Equipo: SUD, Player: 5. Łukasz Müller, Type: Personal)", true));
    lines.push_back(
        Line("04:02 Rebote (Equipo: NOR, Player: 12. Maximiliano Fernández-Domínguez, Type: Defensive, "
             "a text far too long for the space before the hot spots)",
             false));
    lines.push_back(Line("04:10 Tiempo muerto (Team: Home team)", true));
    Model.Assign(std::move(lines));
    List.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&List));
  }

  QPoint At(int x, int row) const { return {x, List.visualRect(Model.index(row)).center().y()}; }

  THistoryListModel Model;
  THistoryListBox List;
};

TEST_F(HistoryListBoxTest, DrawsLinesMarksAndHotSpotsAsTheGoldenPicture) {
  // Another font draws other pixels: that is no fault of the drawing.
  const QFontInfo font(List.font());
  ASSERT_EQ(font.family(), QStringLiteral("DejaVu Sans"))
      << "the golden picture is drawn in DejaVu Sans (fonts-dejavu-core, which scripts/deps.sh installs)";
  ASSERT_EQ(font.pixelSize(), 11);
  List.setCurrentIndex(Model.index(3));
  QTest::qWait(20);
  const QImage drawn = List.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  velmora::testing::ExpectLikeGolden(drawn, QStringLiteral(VELMORA_TEST_DATA "/history_list/golden.png"), 0.005);

  // The marks in colour: a not-sent line is red, a selected one white on the highlight.
  const auto countPixels = [&](int row, auto test) {
    const QRect line = List.visualRect(Model.index(row));
    int count = 0;
    for (int y = line.top(); y <= line.bottom(); ++y) {
      for (int x = line.left(); x < line.left() + 200; ++x) count += test(drawn.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
  };
  const auto red = [](QColor c) { return c.red() > 180 && c.green() < 80 && c.blue() < 80; };
  const auto white = [](QColor c) { return c.red() > 230 && c.green() > 230 && c.blue() > 230; };
  EXPECT_GT(countPixels(1, red), 20) << "not sent";
  EXPECT_EQ(countPixels(0, red), 0) << "sent";
  EXPECT_EQ(countPixels(3, red), 0) << "selected: white, even when not sent";
  EXPECT_GT(countPixels(3, white), 20);
}

TEST_F(HistoryListBoxTest, ClicksOnTheHotSpotsEditOrDeleteAndElsewhereOnlySelect) {
  QTest::qWait(20);  // one drawing remembers the widths
  const THistoryListBox::TGeometry g = List.Geometry();
  ASSERT_GT(g.DeleteWidth, 0);
  QSignalSpy edits(&List, &THistoryListBox::EditRequested);
  QSignalSpy deletes(&List, &THistoryListBox::DeleteRequested);

  QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, At(g.UsableWidth - 2, 2));
  ASSERT_EQ(deletes.count(), 1);
  EXPECT_EQ(deletes.takeFirst().at(0).toInt(), 2);
  QTest::mouseClick(List.viewport(), Qt::LeftButton, {},
                    At(g.UsableWidth - g.DeleteWidth - g.SeparatorWidth - g.EditWidth / 2, 1));
  ASSERT_EQ(edits.count(), 1);
  EXPECT_EQ(edits.takeFirst().at(0).toInt(), 1);

  QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, At(g.UsableWidth - g.DeleteWidth - g.SeparatorWidth / 2, 0));
  QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, At(40, 0));
  EXPECT_EQ(List.currentIndex().row(), 0) << "the text selects";
  QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, QPoint(g.UsableWidth - 2, List.viewport()->height() - 2));
  EXPECT_EQ(edits.count() + deletes.count(), 0) << "the separator, the text and the space below do nothing";

  // Undo deletes the top line, unless someone takes the undo itself.
  List.Undo();
  ASSERT_EQ(deletes.count(), 1);
  EXPECT_EQ(deletes.takeFirst().at(0).toInt(), 0);
  int undos = 0;
  QObject::connect(&List, &THistoryListBox::UndoRequested, &List, [&] { ++undos; });
  List.Undo();
  EXPECT_EQ(undos, 1);
  EXPECT_EQ(deletes.count(), 0);
}

TEST(HistoryListBox, UndoOnAnEmptyListDoesNothing) {
  THistoryListModel model;
  THistoryListBox list;
  list.setModel(&model);
  QSignalSpy deletes(&list, &THistoryListBox::DeleteRequested);
  list.Undo();
  EXPECT_EQ(deletes.count(), 0);
}

}  // namespace
}  // namespace velmora::gui

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "exports/box_score_workbook.h"
#include "exports/federation_file.h"
#include "model_fixture.h"
#include "platform/configuration.h"
#include "records/text_utils.h"
#include "small_disk.h"
#include "stats/efficiency.h"
#include "stats/game_documents.h"
#include "temp_folder.h"
#include "xlsx_reader.h"

namespace velmora {
namespace {

using ::testing::HasSubstr;
using testing::TXlsxCell;
using testing::TXlsxSheet;

const std::string kFormula(kDefaultEfficiencyFormula);

std::vector<std::string> Split(const std::string& text, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size()) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}
std::vector<std::string> Lines(const std::string& text) { return Split(text, "\r\n"); }
std::vector<std::string> Fields(const std::string& line) { return Split(line, ";"); }

// The game file of a golden case, loaded as the program would load it.
void LoadGoldenGame(TModel& model, const std::string& name) {
  auto game = ReadTransferFile(std::filesystem::path(VELMORA_TEST_DATA) / "exports" / name / "game.log");
  ASSERT_TRUE(game.Ok()) << game.Error();
  LoadTransferGame(model, std::move(game.Value()));
}

std::string Golden(const std::string& name, const std::string& file) {
  return testing::ReadFile(std::filesystem::path(VELMORA_TEST_DATA) / "exports" / name / file);
}

class ExportsTest : public testing::TModelTest {
 protected:
  ExportsTest() {
    Model.MatchInfo.Team1.Name = "Locales";
    Model.MatchInfo.Team2.Name = "Visitantes";
  }
  // Plays periods with the given scores: made twos, and a free throw for an odd score.
  void PlayPeriods(const std::vector<std::pair<int, int>>& scores) {
    int clock = 0;
    for (std::size_t i = 0; i < scores.size(); ++i) {
      const int period = static_cast<int>(i) + 1;
      Add(Make.Period(clock, period, period == 1 ? "Start Game" : "Start"));
      for (const int team : {1, 2}) {
        const int points = team == 1 ? scores[i].first : scores[i].second;
        for (int p = 0; p + 1 < points; p += 2) Add(Make.Shot(++clock, team, 4, "Made", 2));
        if (points % 2 == 1) Add(Make.FreeThrow(++clock, team, 5, true));
      }
      Add(Make.Period(++clock, period, period == static_cast<int>(scores.size()) ? "End Game" : "End"));
    }
  }
  void Restart() {
    Model.SetActions({});
    Model.Recompute();
  }
  std::string ResultsLine() const { return Lines(FederationFileText(Model)).at(6); }
  TXlsxSheet Workbook() {
    const TStatus written = WriteBoxScoreWorkbook(Model, kFormula, Folder / "box.xlsx");
    EXPECT_TRUE(written.Ok()) << written.Error();
    return TXlsxSheet(Folder / "box.xlsx");
  }

  testing::TTempFolder Folder;
};

TEST(FederationFile, OfARealGameIsTheExpectedFile) {
  TConfiguration config("/opt/velmora");
  TModel model(config);
  LoadGoldenGame(model, "overtime_game");
  const std::string expected = Golden("overtime_game", "federation.txt");
  EXPECT_EQ(FederationFileText(model), expected);

  testing::TTempFolder folder;
  ASSERT_TRUE(WriteFederationFile(model, folder / "game.csv").Ok());
  EXPECT_EQ(testing::ReadFile(folder / "game.csv"), expected);
}

TEST_F(ExportsTest, ResultsLineHoldsEightPeriodsWithTheOvertimeCountAfterTheFourth) {
  EXPECT_EQ(ResultsLine(), "0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;") << "no period yet: nineteen zeros";

  PlayPeriods({{20, 18}, {15, 22}, {25, 19}, {17, 16}});
  EXPECT_EQ(ResultsLine(), "77;75;20;18;15;22;25;19;17;16;0;0;0;0;0;0;0;0;0;");

  Restart();
  PlayPeriods({{20, 18}, {15, 22}, {25, 19}, {17, 16}, {9, 7}});
  EXPECT_EQ(ResultsLine(), "86;82;20;18;15;22;25;19;17;16;1;9;7;0;0;0;0;0;0;");

  Restart();
  PlayPeriods({{2, 0}, {0, 2}, {1, 1}, {0, 0}, {2, 2}, {3, 3}, {1, 0}, {0, 1}, {4, 2}});
  EXPECT_EQ(ResultsLine(), "13;11;2;0;0;2;1;1;0;0;5;2;2;3;3;1;0;0;1;4;2;") << "a ninth period follows the eighth";
}

TEST_F(ExportsTest, FederationPlayerAndTeamLines) {
  TTeam& home = Model.MatchInfo.Team1;
  home.ID = "77";
  home.Player(1).Number = kShirtZero;
  home.Player(1).Surname = "Dončić; Pérez";
  home.Player(1).Name = "Luka\r\nJr";
  Add(Make.Period(0, 1, "Start Game"));
  Add(Make.Subst(0, 1, 0, 210));
  Add(Make.Shot(100, 1, 210, "Made", 3));
  Add(Make.FreeThrow(101, 1, 210, false));
  Add(Make.Foul(120, 2, 6, 210));
  Add(Make.Subst(150, 1, 210, 5));
  Add(Make.Rebound(160, 1, 0, false));

  const std::vector<std::string> lines = Lines(FederationFileText(Model));
  EXPECT_EQ(lines[2], "77;Locales");
  EXPECT_EQ(lines[7], "[FIBAStatisticTeamA]");
  const std::vector<std::string> zero = Fields(lines[8]);
  ASSERT_EQ(zero.size(), 20u);
  EXPECT_EQ(zero[0], home.Player(1).ID);
  EXPECT_EQ(zero[1], "210") << "the shirt as stored";
  EXPECT_EQ(zero[2], "Doncic, P\xE9rez") << "windows-1252, the nearest letter, no field break";
  EXPECT_EQ(zero[3], "Luka  Jr");
  EXPECT_EQ(zero[4], "2") << "150 s are two whole minutes";
  EXPECT_EQ(std::vector(zero.begin() + 5, zero.end()),
            (std::vector<std::string>{"0", "0", "1", "1", "0", "1", "0", "0", "0", "0", "1", "0", "0", "0", "1"}));
  EXPECT_EQ(Fields(lines[9])[19], "0") << "the second player did not start";

  const std::string teamLine = lines[8 + home.PlayerCount];
  EXPECT_EQ(Fields(teamLine).size(), 19u);
  EXPECT_EQ(teamLine, "5;TEAM;;;0;0;0;0;0;0;0;1;0;0;0;0;0;0;0") << "the team's offensive rebound, no RF field";
  EXPECT_EQ(lines[9 + home.PlayerCount], "");
  EXPECT_EQ(lines[10 + home.PlayerCount], "[FIBAStatisticTeamB]");
  EXPECT_THAT(lines[10 + home.PlayerCount + 3],
              ::testing::StartsWith("2003;6;M\xFCller;Player3;0;0;0;0;0;0;0;0;0;0;1;"));
}

TEST_F(ExportsTest, TheChecksumCoversEveryByteBeforeItExceptBytes255) {
  PlayPeriods({{20, 18}, {15, 22}});
  const auto split = [](const std::string& text) {
    const std::size_t last = text.rfind("\r\n");
    return std::pair{text.substr(0, last), text.substr(last + 2)};
  };
  const auto [body, checksum] = split(FederationFileText(Model));
  EXPECT_EQ(checksum, std::to_string(LineChecksum(body)));
  EXPECT_TRUE(body.ends_with("\r\n\r\n")) << "the empty line after the second team";
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\n') {
      ASSERT_EQ(body[i - 1], '\r') << "at byte " << i;
    }
  }

  Model.MatchInfo.Team2.Player(3).Surname += "ÿ";
  const auto [withFF, checksumWithFF] = split(FederationFileText(Model));
  EXPECT_NE(withFF, body);
  EXPECT_EQ(checksumWithFF, checksum);
  Model.MatchInfo.Team2.Player(3).Surname += "y";
  EXPECT_NE(split(FederationFileText(Model)).second, checksum);
}

TEST_F(ExportsTest, WorkbookOfAPlayedGameHoldsEveryValueAtItsCellAndKind) {
  Model.MatchInfo = testing::MakeMatchInfo(11);
  Model.MatchInfo.Team1.Player(2).Number = kShirtZero;
  Model.SetActions(testing::SimulateGame(Model.MatchInfo, 600, 11));
  Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
  Model.Recompute();
  const TXlsxSheet sheet = Workbook();

  EXPECT_EQ(sheet.Value(1, 1), BoxScoreTitle(Model));
  EXPECT_EQ(sheet.Value(3, 1), "Club Baloncesto Norte");
  EXPECT_EQ(sheet.Value(22, 1), "Müller Basket Süd");
  const auto expectCell = [&](int row, int column, TXlsxCell::TKind kind, const std::string& value) {
    const auto cell = sheet.Cell(row, column);
    ASSERT_TRUE(cell.has_value()) << row << ":" << column;
    EXPECT_EQ(cell->Kind, kind) << row << ":" << column;
    EXPECT_EQ(cell->Text, value) << row << ":" << column;
  };
  const auto expectInteger = [&](int row, int column, int value) {
    expectCell(row, column, TXlsxCell::TKind::Number, std::to_string(value));
    EXPECT_EQ(sheet.Cell(row, column)->Format, "0") << row << ":" << column;
  };
  const std::vector<std::string> figures = {"RO", "RD", "RT", "AS", "PF", "RF", "TO", "ST", "BS", "BR", "PTS"};
  int starters = 0;
  for (const int team : {1, 2}) {
    const int base = team == 1 ? 7 : 26;
    for (int k = 1; k <= 11; ++k) {
      const int row = base + k;
      const TPlayer& player = Model.MatchInfo.Team(team).Player(k);
      const TIntegerHash& table = Model.Stats(TModel::PlayerSlot(team, k));
      const bool starter = table.Get("STA") == 1;
      starters += starter;
      expectCell(row, 1, TXlsxCell::TKind::Text, ShirtText(player.Number));
      expectCell(row, 2, TXlsxCell::TKind::Text, player.Name + " " + player.Surname);
      EXPECT_EQ(sheet.Cell(row, 2)->Bold, starter) << row;
      EXPECT_EQ(sheet.Value(row, 3), starter ? "*" : "") << row;
      expectCell(row, 4, TXlsxCell::TKind::Text, MinutesSecondsText(table.Get("MIN")));
      for (int shot = 0; shot < 3; ++shot) {
        const std::string points = std::to_string(shot == 2 ? 1 : shot + 2);
        const int made = table.Get("P" + points + "M");
        const int attempted = table.Get("P" + points + "A");
        expectInteger(row, 5 + 3 * shot, made);
        expectInteger(row, 6 + 3 * shot, attempted);
        const auto percent = sheet.Cell(row, 7 + 3 * shot);
        EXPECT_EQ(percent->Format, "0.0");
        EXPECT_NEAR(percent->Number, attempted == 0 ? 0 : 100.0 * made / attempted, 0.05) << row;
      }
      for (std::size_t i = 0; i < figures.size(); ++i) expectInteger(row, 14 + int(i), table.Get(figures[i]));
      expectCell(row, 25, TXlsxCell::TKind::Text, EfficiencyText(Efficiency(table, kFormula)));
      expectCell(row, 26, TXlsxCell::TKind::Text, std::to_string(table.Get("PLLSS")));
    }
    const TIntegerHash& own = Model.Stats(Model.EntitySlot(team));
    for (std::size_t i = 0; i + 1 < figures.size(); ++i) expectInteger(base + 12, 14 + int(i), own.Get(figures[i]));
    EXPECT_EQ(sheet.Value(base + 12, 24), "") << "no points on the team line";
    expectCell(base + 12, 25, TXlsxCell::TKind::Text, EfficiencyText(Efficiency(own, kFormula)));
    const TIntegerHash& totals = Model.Stats(TModel::TotalsSlot(team));
    expectCell(base + 13, 25, TXlsxCell::TKind::Text, EfficiencyText(Efficiency(totals, kFormula)));
    expectInteger(base + 13, 24, totals.Get("PTS"));
  }
  EXPECT_EQ(starters, 10);
  EXPECT_EQ(sheet.Value(9, 1), "0") << "the shirt \"0\" as shown";
}

TEST_F(ExportsTest, RostersBeyondElevenPushTheRowsBelowThemDown) {
  for (const auto& [home, away] : {std::pair{15, 15}, std::pair{12, 5}, std::pair{11, 14}}) {
    SCOPED_TRACE(std::to_string(home) + " and " + std::to_string(away) + " players");
    Model.MatchInfo = testing::MakeMatchInfo(home);
    Model.MatchInfo.Team2 = testing::MakeMatchInfo(away).Team2;
    Model.SetActions(testing::SimulateGame(Model.MatchInfo, 400, 5));
    Model.Recompute();
    const TXlsxSheet sheet = Workbook();
    const int s1 = std::max(0, home - 11);
    const int s2 = std::max(0, away - 11);
    for (int k = 1; k <= home; ++k) EXPECT_EQ(sheet.Value(7 + k, 2), "Player" + std::to_string(k) + " Pérez");
    EXPECT_EQ(sheet.Value(19 + s1, 2), "Equipo");
    EXPECT_EQ(sheet.Value(20 + s1, 2), "Totales");
    EXPECT_EQ(sheet.Value(22 + s1, 1), "Müller Basket Süd");
    const int base = 26 + s1;
    for (int k = 1; k <= away; ++k) EXPECT_EQ(sheet.Value(base + k, 2), "Player" + std::to_string(k) + " Müller");
    EXPECT_EQ(sheet.Value(base + 12 + s2, 2), "Equipo");
    EXPECT_EQ(sheet.Value(base + 13 + s2, 2), "Totales");
    EXPECT_EQ(sheet.Value(base + 13 + s2, 24), std::to_string(Totals(2, "PTS")));
  }
}

TEST_F(ExportsTest, AHandEnteredGameInTheSheet) {
  Model.MatchInfo.Team1.Player(1).Number = kShirtZero;
  EXPECT_EQ(Workbook().Value(1, 1), "Locales - Visitantes  0:0 (Partido no comenzado)");

  PlayPeriods({{20, 18}, {15, 22}, {25, 19}, {17, 16}});
  EXPECT_EQ(Workbook().Value(1, 1), "Locales - Visitantes  77:75 (20:18, 15:22, 25:19, 17:16)");

  Restart();
  Add(Make.Period(0, 1, "Start Game"));
  Add(Make.Subst(0, 1, 0, 210));
  for (const char* made : {"Made", "Missed", "Made"}) Add(Make.Shot(30, 1, 210, made, 2));
  Add(Make.Subst(150, 1, 210, 5));
  Add(Make.Period(600, 1, "End"));
  Add(Make.Period(600, 2, "Start"));
  Add(Make.Shot(700, 2, 4, "Made", 3));
  const TXlsxSheet sheet = Workbook();
  EXPECT_EQ(sheet.Value(1, 1), "Locales - Visitantes  4:3 (4:0, 0:3)");
  EXPECT_EQ(sheet.Value(8, 1), "0");
  EXPECT_EQ(sheet.Value(8, 4), "02:30");
  EXPECT_EQ(sheet.Value(8, 7), "66.7");
  EXPECT_EQ(sheet.Value(8, 10), "0") << "no three-point attempt";
  EXPECT_EQ(sheet.Value(8, 3), "*");
  EXPECT_TRUE(sheet.Cell(8, 2)->Bold);
  EXPECT_EQ(sheet.Value(9, 3), "");
  EXPECT_FALSE(sheet.Cell(9, 2)->Bold);
}

// The old file stays, and no temporary file is left, whatever stopped the writing.
TEST(Exports, AFileThatCannotBeWrittenIsAnErrorThatNamesIt) {
  TConfiguration config("/opt/velmora");
  TModel model(config);
  model.MatchInfo = testing::MakeMatchInfo(12);
  model.SetActions(testing::SimulateGame(model.MatchInfo, 300, 2));
  model.Recompute();
  const std::vector<std::pair<const char*, std::function<TStatus(const std::filesystem::path&)>>> writers = {
      {"federation", [&](const std::filesystem::path& file) { return WriteFederationFile(model, file); }},
      {"workbook", [&](const std::filesystem::path& file) { return WriteBoxScoreWorkbook(model, kFormula, file); }}};
  testing::TTempFolder folder;
  testing::TSmallDisk disk(folder / "disk", 64 * 1024);
  for (const auto& [name, write] : writers) {
    SCOPED_TRACE(name);
    const std::filesystem::path missing = folder / "no such folder" / "out";
    const TStatus inMissingFolder = write(missing);
    ASSERT_FALSE(inMissingFolder.Ok());
    EXPECT_EQ(inMissingFolder.Error(), missing.string() + ": No such file or directory");

    std::filesystem::create_directory(folder / "a folder");
    const TStatus overFolder = write(folder / "a folder");
    ASSERT_FALSE(overFolder.Ok());
    EXPECT_THAT(overFolder.Error(), HasSubstr("a folder: Is a directory"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2) << "no temporary file";

    if (!disk.Mounted()) continue;
    const std::filesystem::path old = disk.Path() / "old";
    testing::WriteFile(old, "what was there");
    disk.Fill();
    const TStatus onFullDisk = write(old);
    disk.Free();
    ASSERT_FALSE(onFullDisk.Ok());
    EXPECT_THAT(onFullDisk.Error(), ::testing::StartsWith(old.string() + ": "));
    EXPECT_THAT(onFullDisk.Error(), HasSubstr("No space left on device"));
    EXPECT_EQ(testing::ReadFile(old), "what was there");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.Path()), {}), 1) << "no temporary file";
  }
}

}  // namespace
}  // namespace velmora

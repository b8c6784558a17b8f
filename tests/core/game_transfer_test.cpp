#include "store/game_transfer.h"

#include <gtest/gtest.h>

#include "platform/configuration.h"
#include "game_builder.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "store_fixture.h"

namespace velmora::testing {
namespace {

class GameTransferTest : public StoreTest {
 protected:
  GameTransferTest() { Writer.MatchInfo = MakeMatchInfo(12, kGame); }

  std::filesystem::path Write(const TModel& model, const std::string& name) {
    const std::filesystem::path file = Temp / name;
    EXPECT_TRUE(WriteTransferFile(model, file).Ok());
    return file;
  }
  // A model reading the same database through a store of its own.
  std::unique_ptr<TModel> Reader() { return std::make_unique<TModel>(Config, OpenStore(DataFolder())); }

  TConfiguration Config{TemplateFolder()};
  TModel Writer{Config};
  TObjectHash<TMatchInfo> NoGames;
};

// The stored rows of a game as text, without the keys that differ between two copies of it.
std::vector<TRow> GameRows(TRawDatabase& raw, std::int64_t id) {
  std::vector<TRow> rows = raw.Rows(
      "SELECT field, place, referee1, referee2, referee3, referee4, commissioner, competition, spectators, tv, time, "
      "\"current_time\", team1_fna_id, team1_name, team1_shortname, team1_coach, team1_logo, team1_color, team2_fna_id, "
      "team2_name, team2_shortname, team2_coach, team2_logo, team2_color FROM dvGames WHERE id=" + std::to_string(id));
  for (TRow& player : raw.Rows("SELECT team, shirt_number, name, surname, player_fna_id, height, position, birth_date, "
                               "club FROM dvPlayers WHERE game_id=" + std::to_string(id) + " ORDER BY id")) {
    rows.push_back(std::move(player));
  }
  return rows;
}

// The wall-clock time is compared only between stored copies: a transfer file does not carry it.
void ExpectSameActions(const TActionList& actual, const TActionList& expected, bool stored) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    const TAction& a = *actual[i];
    const TAction& e = *expected[i];
    EXPECT_EQ(a.ID, e.ID) << i;
    EXPECT_EQ(a.FollowUpID, e.FollowUpID) << i;
    EXPECT_EQ(a.ShortName, e.ShortName) << i;
    EXPECT_EQ(FormatLongTime(a.GameTime), FormatLongTime(e.GameTime)) << i;
    if (stored) {
      EXPECT_EQ(FormatLongTime(a.AstroTime), FormatLongTime(e.AstroTime)) << i;
    }
    ASSERT_EQ(a.Parameters.size(), e.Parameters.size()) << i;
    for (std::size_t p = 0; p < a.Parameters.size(); ++p) EXPECT_EQ(a.Parameters[p].Data, e.Parameters[p].Data) << i;
  }
}

TEST_F(GameTransferTest, ARoundTripKeepsEveryActionFieldAndStatistic) {
  TMatchInfo& info = Writer.MatchInfo;
  info.Time = *EncodeDate(2024, 11, 2) + EncodeTime(20, 45, 0);
  info.Referee2 = "Jürgen";
  info.Commissioner = "Comisario";
  info.TV = 1;
  info.Team1.Logo = "norte.png";
  info.Team2.Player(1).Name = "Łukasz";
  Writer.SetActions(SimulateGame(info, 600, 11));
  info.CurrentGameTime = Writer.Actions().back()->GameTime;
  Writer.Recompute();
  const auto imported = ImportGame(*Store, Write(Writer, "game.log"), NoGames);
  ASSERT_TRUE(imported.Ok()) << imported.Error();
  EXPECT_EQ(imported.Value().GameNumber, kGame);
  EXPECT_EQ(imported.Value().Availability, kLocalOnly);

  auto reader = Reader();
  ASSERT_TRUE(reader->OpenGame(kGame));
  ExpectSameActions(reader->Actions(), Writer.Actions(), false);
  EXPECT_EQ(reader->Score(), Writer.Score());
  for (int slot = 0; slot < TModel::kTableCount; ++slot) {
    for (const std::string_view key : kStatKeys) {
      EXPECT_EQ(reader->Stats(slot).Get(key), Writer.Stats(slot).Get(key)) << "table " << slot << ' ' << key;
    }
  }

  // Exported, renumbered and imported again, the game is stored as it was.
  auto& readerStore = static_cast<TDatabasePlugin&>(*reader->Store());
  ASSERT_TRUE(ExportGame(*reader, readerStore, kGame, Temp / "exported.log").Ok());
  auto exported = ReadTransferFile(Temp / "exported.log");
  ASSERT_TRUE(exported.Ok()) << exported.Error();
  exported.Value().MatchInfo.GameNumber = "O'Neill-8";
  TModel renumbered(Config);
  LoadTransferGame(renumbered, std::move(exported.Value()));
  ASSERT_TRUE(ImportGame(*Store, Write(renumbered, "renumbered.log"), NoGames).Ok());

  TActionList again;
  ASSERT_TRUE(Store->LoadActions("O'Neill-8", again));
  ExpectSameActions(again, reader->Actions(), true);
  const std::vector<TRow> original = GameRows(Raw(), Store->FindGameId(kGame));
  EXPECT_EQ(original.size(), 25u);
  EXPECT_EQ(GameRows(Raw(), Store->FindGameId("O'Neill-8")), original);
  TMatchInfo loaded;
  ASSERT_TRUE(Store->LoadMatchInfo("O'Neill-8", loaded));
  EXPECT_EQ(loaded.Referee2, "Jürgen");
  EXPECT_DOUBLE_EQ(loaded.Time, info.Time);
  EXPECT_EQ(loaded.Team1.Logo, "norte.png");
  EXPECT_EQ(loaded.Team2.Player(1).Name, "Łukasz");

  EXPECT_EQ(ExportGame(*reader, readerStore, kGame, Temp / "missing" / "x.log").Error(), kExportError);
  // A game the store does not hold is not written under the teams of the last one opened.
  EXPECT_EQ(ExportGame(*reader, readerStore, "nobody", Temp / "nobody.log").Error(), kExportError);
  EXPECT_FALSE(std::filesystem::exists(Temp / "nobody.log"));
}

TEST_F(GameTransferTest, OnlyAFileOfOneOrTwoPartsIsAGame) {
  std::string text = TransferFileText(Writer);
  const std::size_t actions = text.find("<ACTIONS");
  ASSERT_NE(actions, std::string::npos);

  std::string threeParts = text;
  WriteFile(Temp / "three.log", threeParts.insert(actions, "<NOTES/>"));
  const auto refused = ImportGame(*Store, Temp / "three.log", NoGames);
  ASSERT_FALSE(refused.Ok());
  EXPECT_EQ(refused.Error(), kTransferCorruptError);
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvGames"), 0);

  text.erase(actions, text.find("<MATCHINFO") - actions);
  WriteFile(Temp / "info.log", text);
  const auto imported = ImportGame(*Store, Temp / "info.log", NoGames);
  ASSERT_TRUE(imported.Ok()) << imported.Error();
  EXPECT_GT(Store->FindGameId(kGame), 0);
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvPlayers"), 24);
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvEvents"), 0);
}

TEST_F(GameTransferTest, AGameNumberThatIsTakenIsRefused) {
  const std::filesystem::path file = Write(Writer, "game.log");
  ASSERT_TRUE(ImportGame(*Store, file, NoGames).Ok());
  const auto stored = ImportGame(*Store, file, NoGames);
  ASSERT_FALSE(stored.Ok());
  EXPECT_EQ(stored.Error(), "Error al crear partido - ya existe otro partido con el mismo número de partido!");
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvGames"), 1);

  // A game the operator sees (on the server, say) is taken too.
  Writer.MatchInfo.GameNumber = "G-9";
  TObjectHash<TMatchInfo> games;
  games.Set("G-9", std::make_unique<TMatchInfo>(Writer.MatchInfo));
  EXPECT_EQ(ImportGame(*Store, Write(Writer, "seen.log"), games).Error(), kGameExistsError);
  EXPECT_EQ(Store->FindGameId("G-9"), 0);
}

TEST_F(GameTransferTest, TheClockMovesToTheLastActionsGameTime) {
  TActionFactory make;
  TActionList actions;
  actions.push_back(make.Period(0, 1, "Start Game"));
  actions.push_back(make.Simple("steal", 754, 1, 4));
  Writer.SetActions(std::move(actions));
  Writer.MatchInfo.CurrentGameTime = FromSeconds(300);
  auto imported = ImportGame(*Store, Write(Writer, "later.log"), NoGames);
  ASSERT_TRUE(imported.Ok()) << imported.Error();
  EXPECT_EQ(FormatLongTime(imported.Value().CurrentGameTime), "00:12:34");
  EXPECT_EQ(Raw().Value("SELECT \"current_time\" FROM dvGames"), "00:12:34");

  // An earlier last action sets it back as well: the log is what the game reached.
  Writer.MatchInfo.GameNumber = "G-2";
  Writer.MatchInfo.CurrentGameTime = FromSeconds(1200);
  imported = ImportGame(*Store, Write(Writer, "earlier.log"), NoGames);
  ASSERT_TRUE(imported.Ok()) << imported.Error();
  EXPECT_EQ(Raw().Value("SELECT \"current_time\" FROM dvGames WHERE game_number='G-2'"), "00:12:34");
}

}  // namespace
}  // namespace velmora::testing

#include "store/database_plugin.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game_builder.h"
#include "records/guid.h"
#include "store_fixture.h"

namespace velmora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TDateTime Clock(int minutes, int seconds) { return FromSeconds(minutes * 60 + seconds); }

class DatabasePluginTest : public StoreTest {
 protected:
  TMatchInfo StoreGame(const std::string& gameNumber = kGame, int players = 3) {
    TMatchInfo matchInfo = MakeMatchInfo(players, gameNumber);
    EXPECT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());
    return matchInfo;
  }
  TActionList Load(const std::string& gameNumber = kGame) {
    TActionList actions;
    EXPECT_TRUE(Store->LoadActions(gameNumber, actions));
    return actions;
  }
  // "kind@hh:mm:ss" of each action, in load order.
  std::vector<std::string> Loaded(const std::string& gameNumber = kGame) {
    std::vector<std::string> kinds;
    for (const auto& action : Load(gameNumber)) kinds.push_back(action->ShortName + "@" + FormatLongTime(action->GameTime));
    return kinds;
  }
  std::unique_ptr<TAction> Delete(const std::string& id) { return Make.Make("delete", 0, {{"Event", id}}); }
  // The stored columns of the game's event with the ID.
  std::vector<TRow> EventRow(const std::string& id, const std::string& gameId = "(SELECT id FROM dvGames WHERE "
                                                                               "game_number='O''Neill-7')") {
    return Raw().Rows("SELECT log_action, follow_up_id, log_time, game_time, log_param_1, log_param_2, log_param_3, "
                      "log_param_4, log_param_5, log_param_6, log_param_7 FROM dvEvents WHERE log_id='" + id +
                      "' AND game_id=" + gameId);
  }

  TActionFactory Make;
};

TEST_F(DatabasePluginTest, AMissingDatabaseComesFromTheTemplateAndEachStepIsLogged) {
  const std::string data = DataFolder().string();
  const std::string program = TemplateFolder().string();
  const std::vector<std::string> opening = LogMessages();
  ASSERT_GE(opening.size(), 3u);
  EXPECT_THAT(std::vector<std::string>(opening.end() - 3, opening.end()),
              ElementsAre("Creating directory \"" + data + "\"",
                          "Copying empty database from \"" + program + "/\" to \"" + data + "\"",
                          "Using DB at \"" + data + "/dravon.db\""));

  EXPECT_EQ(Raw().Value("PRAGMA journal_mode"), "wal");

  // The version folder holds a store of its own.
  StoreGame();
  auto versioned = OpenStore(DataFolder(), "v2");
  ASSERT_NE(versioned, nullptr);
  EXPECT_EQ(versioned->File(), DataFolder() / "v2" / "dravon.db");
  EXPECT_EQ(versioned->FindGameId(kGame), 0);
  versioned.reset();
  EXPECT_THAT(NewLogMessages(), ElementsAre("Creating directory \"" + data + "/v2\"",
                                            "Copying empty database from \"" + program + "/\" to \"" + data + "/v2\"",
                                            "Using DB at \"" + data + "/v2/dravon.db\""));

  // An existing file is used as it is.
  versioned = OpenStore(DataFolder(), "v2");
  EXPECT_EQ(NewLogMessages().size(), 4u);
  EXPECT_EQ(NewLogMessages().back(), "Using DB at \"" + data + "/v2/dravon.db\"");

  // The version names a folder inside the data folder, never a way out of it.
  for (const char* escape : {"..", "../elsewhere", "/tmp", "v2/../..", "a\\b"}) {
    const auto refused = TDatabasePlugin::Open(DataFolder(), escape, TemplateFolder());
    ASSERT_FALSE(refused.Ok()) << escape;
    EXPECT_THAT(refused.Error(), ::testing::HasSubstr("\"DBVersion\"")) << escape;
  }
  EXPECT_FALSE(std::filesystem::exists(Temp / "elsewhere"));
}

TEST_F(DatabasePluginTest, WithoutTheTemplateNoStoreIsMadeAndTheTemplateIsNamed) {
  const std::filesystem::path nowhere = Temp / "not-installed";
  const auto refused = TDatabasePlugin::Open(Temp / "fresh", "", nowhere);
  ASSERT_FALSE(refused.Ok());
  EXPECT_THAT(refused.Error(), ::testing::HasSubstr("\"" + (nowhere / "dravon.db").string() + "\""));
  // A later start with the program installed must find no foreign file in the way.
  EXPECT_FALSE(std::filesystem::exists(Temp / "fresh" / "dravon.db"));
  EXPECT_TRUE(TDatabasePlugin::Open(Temp / "fresh", "", TemplateFolder()).Ok());
}

TEST_F(DatabasePluginTest, MatchInfoIsInsertedOnceAndItsRosterReplaced) {
  TMatchInfo matchInfo = MakeMatchInfo(12, kGame);
  matchInfo.Time = *EncodeDate(2009, 3, 14) + EncodeTime(18, 30, 0);
  matchInfo.CurrentGameTime = Clock(12, 34);
  matchInfo.TV = 2;
  matchInfo.Team1.Color = 0x00FF00;
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());
  const std::int64_t id = Store->FindGameId(kGame);
  ASSERT_GT(id, 0);
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvPlayers WHERE game_id=" + std::to_string(id)), 24);
  EXPECT_EQ(Raw().Value("SELECT time || '|' || \"current_time\" FROM dvGames"), "2009.03.14 18:30:00|00:12:34");

  TMatchInfo loaded;
  ASSERT_TRUE(Store->LoadMatchInfo(kGame, loaded));
  EXPECT_FALSE(loaded.Empty);
  EXPECT_EQ(loaded.Field, matchInfo.Field);
  EXPECT_EQ(loaded.TV, 2);
  EXPECT_DOUBLE_EQ(loaded.Time, matchInfo.Time);
  EXPECT_EQ(FormatLongTime(loaded.CurrentGameTime), "00:12:34");
  EXPECT_EQ(loaded.Team1.Color, 0x00FF00);
  EXPECT_EQ(loaded.Team2.Coach, matchInfo.Team2.Coach);
  for (int team = 1; team <= 2; ++team) {
    ASSERT_EQ(loaded.Team(team).PlayerCount, 12);
    for (int slot = 1; slot <= 12; ++slot) {
      const TPlayer& player = loaded.Team(team).Player(slot);
      EXPECT_EQ(player.Number, slot + 3);
      EXPECT_EQ(player.ID, matchInfo.Team(team).Player(slot).ID);
      EXPECT_GT(player.LocalId, 0);
    }
  }

  // Saving again changes the same row and leaves only the new roster.
  matchInfo.Field = "Otro";
  matchInfo.Team1.PlayerCount = 2;
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());
  EXPECT_EQ(Store->FindGameId(kGame), id);
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvGames"), 1);
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvPlayers"), 14);
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvPlayers WHERE team=1"), 2);
  ASSERT_TRUE(Store->LoadMatchInfo(kGame, loaded));
  EXPECT_EQ(loaded.Field, "Otro");
  EXPECT_EQ(loaded.Team1.PlayerCount, 2);
  EXPECT_EQ(loaded.Team2.PlayerCount, 12);
}

TEST_F(DatabasePluginTest, ValuesThatAreNotThereAreStoredAsNull) {
  TMatchInfo matchInfo = MakeMatchInfo(2, kGame);
  matchInfo.Time = *EncodeDate(2009, 3, 14);
  matchInfo.Team1.ID = "ABC";
  TPlayer& bare = matchInfo.Team1.Player(1);
  bare.ID = "X-5";
  bare.Height = 0;
  TPlayer& full = matchInfo.Team1.Player(2);
  full.Height = 1.98;
  full.Position = "Base";
  full.Birth_date = *EncodeDate(1990, 5, 17);
  full.Club = "Norte";
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());

  EXPECT_EQ(Raw().Rows("SELECT time, team1_fna_id, team2_fna_id FROM dvGames"),
            std::vector<TRow>({{"2009.03.14", std::nullopt, "102"}}));
  EXPECT_EQ(Raw().Rows("SELECT player_fna_id, height, position, birth_date, club FROM dvPlayers WHERE team=1 "
                       "ORDER BY id"),
            std::vector<TRow>({{std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
                               {"1002", "1.98", "Base", "1990.05.17", "Norte"}}));

  TMatchInfo loaded;
  ASSERT_TRUE(Store->LoadMatchInfo(kGame, loaded));
  EXPECT_DOUBLE_EQ(loaded.Time, matchInfo.Time) << "midnight reads back as the date alone";
  EXPECT_EQ(loaded.Team1.ID, "");
  const TPlayer& bareLoaded = loaded.Team1.Player(1);
  EXPECT_TRUE(bareLoaded.ID.empty() && bareLoaded.Height == 0 && bareLoaded.Position.empty() &&
              bareLoaded.Birth_date == 0 && bareLoaded.Club.empty());
  EXPECT_DOUBLE_EQ(loaded.Team1.Player(2).Height, 1.98);
  EXPECT_DOUBLE_EQ(loaded.Team1.Player(2).Birth_date, full.Birth_date);
}

TEST_F(DatabasePluginTest, ActionsAreStoredWithEveryFieldAndLoadedInGameOrder) {
  TMatchInfo matchInfo = StoreGame();
  auto shot = Make.Shot(300, 1, 4, "Missed", 2, "139+40");
  shot->AstroTime = EncodeTime(18, 0, 2);
  auto rebound = Make.Rebound(300, 2, 5, true);
  rebound->AstroTime = EncodeTime(18, 0, 1);
  rebound->FollowUpID = shot->ID;
  auto early = Make.Simple("steal", 240, 1, 6);
  early->AstroTime = EncodeTime(18, 5, 0);
  auto sameTime = Make.Simple("turnover", 300, 2, 7);
  sameTime->AstroTime = EncodeTime(18, 0, 1);
  for (auto* action : {shot.get(), rebound.get(), early.get(), sameTime.get()}) {
    ASSERT_TRUE(Store->StoreAction(matchInfo, *action));
  }

  // Game time first, then wall-clock time, then the order of entry.
  const TActionList loaded = Load();
  ASSERT_EQ(loaded.size(), 4u);
  EXPECT_EQ(loaded[0]->ID, early->ID);
  EXPECT_EQ(loaded[1]->ID, rebound->ID);
  EXPECT_EQ(loaded[2]->ID, sameTime->ID);
  EXPECT_EQ(loaded[3]->ID, shot->ID);

  const TAction& reread = *loaded[3];
  EXPECT_EQ(reread.ShortName, "shot");
  EXPECT_EQ(FormatLongTime(reread.GameTime), "00:05:00");
  EXPECT_EQ(FormatLongTime(reread.AstroTime), "18:00:02");
  EXPECT_TRUE(IsNullGuid(reread.FollowUpID));
  ASSERT_EQ(reread.Parameters.size(), shot->Parameters.size());
  for (std::size_t i = 0; i < shot->Parameters.size(); ++i) EXPECT_EQ(reread.Parameters[i].Data, shot->Parameters[i].Data);
  EXPECT_EQ(loaded[1]->FollowUpID, shot->ID);
  EXPECT_EQ(loaded[1]->GetParam("Type"), "Defensive");

  EXPECT_EQ(Raw().Rows("SELECT follow_up_id, log_param_4, log_param_7, deleted, dirty, game_id FROM dvEvents "
                       "WHERE log_action='reb'"),
            std::vector<TRow>({{shot->ID, std::nullopt, std::nullopt, "0", "1",
                                std::to_string(Store->FindGameId(kGame))}}));
  EXPECT_EQ(Raw().Value("SELECT follow_up_id FROM dvEvents WHERE log_action='shot'"), std::nullopt);
}

TEST_F(DatabasePluginTest, DeletingAPeriodBoundaryRemovesWhatFollowsAndSetsTheClockBack) {
  TMatchInfo matchInfo = StoreGame();
  TMatchInfo other = StoreGame("G-2");
  auto boundary = Make.Period(600, 1, "End");
  auto lateBoundary = Make.Period(1200, 2, "End");
  auto first = Make.Simple("steal", 300, 1, 4);
  TActionList actions;
  actions.push_back(Make.Shot(300, 1, 4, "Made", 2));
  actions.push_back(Make.Simple("turnover", 600, 2, 5));
  actions.push_back(Make.Foul(720, 2, 5, 4));
  actions.push_back(Make.Shot(900, 1, 6, "Missed", 3));
  for (const auto& action : actions) ASSERT_TRUE(Store->StoreAction(matchInfo, *action));
  ASSERT_TRUE(Store->StoreAction(matchInfo, *first));
  ASSERT_TRUE(Store->StoreAction(matchInfo, *boundary));
  ASSERT_TRUE(Store->StoreAction(other, *Make.Shot(840, 2, 5, "Made", 2)));

  // Deleting a plain event takes that row only.
  matchInfo.CurrentGameTime = Clock(15, 0);
  ASSERT_TRUE(Store->StoreAction(matchInfo, *Delete(first->ID)));
  EXPECT_THAT(Loaded(), ElementsAre("shot@00:05:00", "turnover@00:10:00", "quarter@00:10:00", "foul@00:12:00",
                                    "shot@00:15:00"));
  EXPECT_EQ(matchInfo.CurrentGameTime, Clock(15, 0));

  ASSERT_TRUE(Store->StoreAction(matchInfo, *Delete(boundary->ID)));
  EXPECT_THAT(Loaded(), ElementsAre("shot@00:05:00", "turnover@00:10:00"));
  EXPECT_EQ(FormatLongTime(matchInfo.CurrentGameTime), "00:10:00");
  EXPECT_EQ(Raw().Value("SELECT \"current_time\" FROM dvGames WHERE game_number='O''Neill-7'"), "00:10:00");
  EXPECT_THAT(Loaded("G-2"), ElementsAre("shot@00:14:00"));
  EXPECT_EQ(Raw().Value("SELECT \"current_time\" FROM dvGames WHERE game_number='G-2'"), "00:00:00");

  // A boundary after the clock leaves the clock alone.
  ASSERT_TRUE(Store->StoreAction(matchInfo, *lateBoundary));
  ASSERT_TRUE(Store->StoreAction(matchInfo, *Delete(lateBoundary->ID)));
  EXPECT_EQ(FormatLongTime(matchInfo.CurrentGameTime), "00:10:00");
  EXPECT_THAT(Loaded(), ElementsAre("shot@00:05:00", "turnover@00:10:00"));
}

TEST_F(DatabasePluginTest, TheStartAndEndOfTheGameAreDeletedAlone) {
  TMatchInfo matchInfo = StoreGame();
  auto start = Make.Period(0, 0, "Start Game");
  auto end = Make.Period(600, 0, "End Game");
  ASSERT_TRUE(Store->StoreAction(matchInfo, *start));
  ASSERT_TRUE(Store->StoreAction(matchInfo, *Make.Shot(300, 1, 4, "Made", 2)));
  ASSERT_TRUE(Store->StoreAction(matchInfo, *end));
  ASSERT_TRUE(Store->StoreAction(matchInfo, *Make.Shot(660, 1, 4, "Made", 2)));
  matchInfo.CurrentGameTime = Clock(11, 0);

  ASSERT_TRUE(Store->StoreAction(matchInfo, *Delete(start->ID)));
  ASSERT_TRUE(Store->StoreAction(matchInfo, *Delete(end->ID)));
  EXPECT_THAT(Loaded(), ElementsAre("shot@00:05:00", "shot@00:11:00"));
  EXPECT_EQ(matchInfo.CurrentGameTime, Clock(11, 0));
}

TEST_F(DatabasePluginTest, DeleteAndEditTouchOnlyTheirOwnGame) {
  TMatchInfo matchInfo = StoreGame();
  TMatchInfo other = StoreGame("G-2");
  auto shot = Make.Shot(300, 1, 4, "Made", 2);
  ASSERT_TRUE(Store->StoreAction(matchInfo, *shot));
  ASSERT_TRUE(Store->StoreAction(other, *shot));
  const std::vector<TRow> before = EventRow(shot->ID);

  auto edit = shot->Clone();
  edit->ShortName = "edit";
  edit->Parameters[1].Data = "9";
  ASSERT_TRUE(Store->StoreAction(other, *edit));
  EXPECT_EQ(Load("G-2")[0]->GetParam("Player"), "9");
  ASSERT_TRUE(Store->StoreAction(other, *Delete(shot->ID)));
  EXPECT_THAT(Load("G-2"), IsEmpty());
  EXPECT_EQ(EventRow(shot->ID), before);

  // An unknown ID changes nothing and is not worth a log line.
  const std::vector<TRow> all = Raw().Rows("SELECT * FROM dvEvents");
  ASSERT_TRUE(Store->StoreAction(matchInfo, *Delete(NewGuid())));
  EXPECT_EQ(Raw().Rows("SELECT * FROM dvEvents"), all);
  EXPECT_THAT(NewLogMessages(), IsEmpty());
}

TEST_F(DatabasePluginTest, AnEditRewritesGameTimeAndParametersButKeepsKindEntryTimeAndFollowUp) {
  TMatchInfo matchInfo = StoreGame();
  auto shot = Make.Shot(300, 1, 4, "Missed", 2);
  auto rebound = Make.Rebound(300, 2, 5, true);
  rebound->FollowUpID = shot->ID;
  rebound->AstroTime = EncodeTime(18, 40, 0);
  ASSERT_TRUE(Store->StoreAction(matchInfo, *rebound));

  auto edit = rebound->Clone();
  edit->ShortName = "edit";
  edit->FollowUpID = std::string(kNullGuid);
  edit->GameTime = Clock(5, 30);
  edit->AstroTime = EncodeTime(19, 1, 2);
  edit->Parameters.resize(2);
  edit->Parameters[1].Data = "8";
  ASSERT_TRUE(Store->StoreAction(matchInfo, *edit));
  EXPECT_EQ(EventRow(rebound->ID), std::vector<TRow>({{"reb", shot->ID, "18:40:00", "00:05:30", "2", "8", std::nullopt,
                                                      std::nullopt, std::nullopt, std::nullopt, std::nullopt}}));

  const std::string newRoot = NewGuid();
  edit->FollowUpID = newRoot;
  ASSERT_TRUE(Store->StoreAction(matchInfo, *edit));
  EXPECT_EQ(EventRow(rebound->ID)[0][1], newRoot);
}

TEST_F(DatabasePluginTest, CompleteIsNeverStoredAndClockOnlyMovesTheStoredClock) {
  TMatchInfo matchInfo = StoreGame();
  auto complete = Make.Make("complete", 60, {{"Event", NewGuid()}});
  EXPECT_TRUE(Store->StoreAction(matchInfo, *complete));
  EXPECT_TRUE(Store->StoreAction(matchInfo, *Make.Make("clock", 754, {})));
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvEvents"), 0);
  EXPECT_EQ(Raw().Value("SELECT \"current_time\" FROM dvGames"), "00:12:34");
}

TEST_F(DatabasePluginTest, SavingAListReplacesOrAppendsWithTheImportCorrections) {
  TMatchInfo matchInfo = StoreGame();
  ASSERT_TRUE(Store->StoreAction(matchInfo, *Make.Simple("steal", 30, 1, 4)));
  TActionList list;
  list.push_back(Make.Subst(0, 1, 0, 4));
  list.back()->GameTime = EncodeTime(12, 0, 0);
  // A foul as other programs write it: "Fouled on" before "Type".
  list.push_back(Make.Foul(60, 2, 5, 4));
  std::swap(list.back()->Parameters[2], list.back()->Parameters[3]);
  const std::string foulId = list.back()->ID;
  const std::string foulType = list.back()->Param("Type")->Data;
  list.push_back(Make.Shot(90, 1, 4, "Made", 3));
  TDateTime clock = Clock(2, 0);
  ASSERT_TRUE(Store->SaveActionList(kGame, list, false, clock));

  EXPECT_THAT(Loaded(), ElementsAre("subst@00:00:00", "foul@00:01:00", "shot@00:01:30"));
  EXPECT_EQ(Raw().Rows("SELECT log_param_3, log_param_4 FROM dvEvents WHERE log_id='" + foulId + "'"),
            std::vector<TRow>({{foulType, "4"}}));
  const TActionList loaded = Load();
  EXPECT_EQ(loaded[1]->GetParam("Type"), "Personal");
  EXPECT_EQ(loaded[1]->GetParam("Fouled on"), "4");

  // Appending keeps what is there; a period boundary deleted by the list takes the later events.
  TActionList more;
  more.push_back(Make.Period(80, 1, "End"));
  const std::string boundaryId = more.back()->ID;
  more.push_back(Make.Simple("block", 120, 2, 6));
  ASSERT_TRUE(Store->SaveActionList(kGame, more, true, clock));
  EXPECT_THAT(Loaded(), ElementsAre("subst@00:00:00", "foul@00:01:00", "quarter@00:01:20", "shot@00:01:30",
                                    "block@00:02:00"));
  TActionList deletion;
  deletion.push_back(Delete(boundaryId));
  ASSERT_TRUE(Store->SaveActionList(kGame, deletion, true, clock));
  EXPECT_THAT(Loaded(), ElementsAre("subst@00:00:00", "foul@00:01:00"));
  EXPECT_EQ(FormatLongTime(clock), "00:01:20");
}

TEST_F(DatabasePluginTest, TheChecksumCoversHeaderRosterAndEventsButNotTheSeventhParameter) {
  TMatchInfo matchInfo = MakeMatchInfo(0, kGame);
  matchInfo.Time = *EncodeDate(2009, 3, 14) + EncodeTime(18, 30, 0);
  matchInfo.Field = "Pabellón";
  matchInfo.TV = 3;
  matchInfo.Spectators = 99;  // not part of it
  matchInfo.Referee1 = "R1";
  matchInfo.Referee2 = "R2";
  matchInfo.Referee3 = "R3";
  matchInfo.Referee4 = "R4";
  matchInfo.Commissioner = "Comisario";
  matchInfo.Team1 = TTeam();
  matchInfo.Team1.ID = "101";
  matchInfo.Team1.Name = "Norte";
  matchInfo.Team1.Shortname = "NOR";
  matchInfo.Team1.Coach = "  José ";
  matchInfo.Team2 = TTeam();
  matchInfo.Team2.Name = "Sud";
  matchInfo.Team2.Shortname = "SUD";
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());

  // MD5 of "O'Neill-72009.03.14 18:30:00ValenciaPabellón3R1R2R3R4ComisarioLiga101NorteNORJoséSudSUD" in
  // windows-1252.
  const auto header = Store->ComputeChecksum(matchInfo);
  ASSERT_TRUE(header.Ok()) << header.Error();
  EXPECT_EQ(header.Value(), "46b80efb7b0b782c316a745ba3b0d3d9");

  ASSERT_TRUE(Store->StoreAction(matchInfo, *Make.Shot(60, 1, 4, "Made", 2)));
  const std::string withEvent = Store->ComputeChecksum(matchInfo).Value();
  EXPECT_NE(withEvent, header.Value());
  ASSERT_EQ(Raw().Execute("UPDATE dvEvents SET log_param_7='1'"), SQLITE_OK);
  EXPECT_EQ(Store->ComputeChecksum(matchInfo).Value(), withEvent);
  ASSERT_EQ(Raw().Execute("UPDATE dvEvents SET log_param_6='3'"), SQLITE_OK);
  EXPECT_NE(Store->ComputeChecksum(matchInfo).Value(), withEvent);

  matchInfo.Team1.PlayerCount = 1;
  matchInfo.Team1.Player(1).Number = 4;
  const std::string beforeRoster = Store->ComputeChecksum(matchInfo).Value();
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());
  EXPECT_NE(Store->ComputeChecksum(matchInfo).Value(), beforeRoster);
}

TEST_F(DatabasePluginTest, GamesAreListedFoundAndDeletedByTheirNumberAlone) {
  TMatchInfo first = StoreGame();
  TMatchInfo second = StoreGame("G-2");
  ASSERT_TRUE(Store->StoreAction(first, *Make.Simple("steal", 30, 1, 4)));
  ASSERT_TRUE(Store->StoreAction(second, *Make.Simple("steal", 30, 1, 4)));
  TObjectHash<TMatchInfo> games;
  ASSERT_TRUE(Store->LoadGamesList(games));
  ASSERT_TRUE(games.Exists(kGame) && games.Exists("G-2"));
  EXPECT_EQ(games.Get(kGame).Team2.Name, first.Team2.Name);
  EXPECT_EQ(games.Get(kGame).Team1.PlayerCount, 0) << "the list carries no rosters";

  // A game that is not stored is found nowhere, and deleting it changes nothing.
  const std::vector<TRow> events = Raw().Rows("SELECT * FROM dvEvents");
  EXPECT_EQ(Store->FindGameId("G-404"), 0);
  EXPECT_EQ(Store->FindGameId("O'Neill-%"), 0);
  EXPECT_THAT(Load("G-404"), IsEmpty());
  TMatchInfo kept = MakeMatchInfo(2, "G-404");
  kept.Empty = true;
  EXPECT_TRUE(Store->LoadMatchInfo("G-404", kept));
  EXPECT_FALSE(kept.Empty);
  EXPECT_EQ(kept.Team1.PlayerCount, 2) << "nothing found, nothing replaced";
  EXPECT_TRUE(Store->DeleteGame("G-404").Ok());
  EXPECT_EQ(Raw().Rows("SELECT * FROM dvEvents"), events);

  ASSERT_TRUE(Store->DeleteGame(kGame).Ok());
  EXPECT_EQ(Store->FindGameId(kGame), 0);
  EXPECT_THAT(Loaded("G-2"), ElementsAre("steal@00:00:30"));
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvEvents"), 1);
  EXPECT_EQ(Raw().Count("SELECT count(*) FROM dvPlayers"), 6);
}

}  // namespace
}  // namespace velmora::testing

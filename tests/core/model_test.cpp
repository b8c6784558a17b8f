#include <gtest/gtest.h>

#include <sstream>

#include "model_fixture.h"
#include "records/catalogue.h"
#include "stats/game_documents.h"

namespace velmora {
namespace {

using testing::CloneAll;

class TFakeStore final : public TGameStore {
 public:
  struct TStored {
    std::string Game;
    std::string Kind;
    int Period;
  };

  bool LoadMatchInfo(std::string_view, TMatchInfo& matchInfo) override {
    matchInfo = Games;
    return !Fail;
  }
  bool LoadActions(std::string_view, TActionList& actions) override {
    actions = CloneAll(GameActions);
    return !Fail;
  }
  bool StoreAction(TMatchInfo& matchInfo, const TAction& action) override {
    if (Fail) return false;
    Stored.push_back({matchInfo.GameNumber, action.ShortName, action.Period});
    return true;
  }
  TStatus StoreMatchInfo(const TMatchInfo&) override { return Fail ? TStatus(TError{"disk full"}) : TStatus(); }

  std::vector<std::string> StoredKinds() const {
    std::vector<std::string> kinds;
    for (const TStored& stored : Stored) kinds.push_back(stored.Kind);
    return kinds;
  }

  bool Fail = false;
  TMatchInfo Games;
  TActionList GameActions;
  std::vector<TStored> Stored;
};

class TFakeServer final : public TServerLink {
 public:
  TStatus UpdateMatchInfo(const TMatchInfo&) override { return Accept ? TStatus() : TStatus(TError{"HTTP 413"}); }
  bool Accept = true;
};

class TFakeSubmitter final : public TActionSubmitter {
 public:
  TFakeSubmitter() { Catalogue.LoadCatalogue(); }
  std::unique_ptr<TAction> NewAction(std::string_view shortName) override {
    return Catalogue.NewAction(shortName, 0, 0, 0);
  }
  void Submit(std::unique_ptr<TAction> action) override { Submitted.push_back(std::move(action)); }

  TCatalogue Catalogue;
  TActionList Submitted;
};

// Everything a recomputation must reproduce.
struct TSnapshot {
  std::vector<std::vector<int>> Tables;
  int Period;
  bool PeriodEnded;
  bool GameEnded;
  int Fouls1;
  int Fouls2;
};

TSnapshot SnapshotOf(const TModel& model, bool withPlusMinus = true) {
  TSnapshot snapshot{{},
                     model.CurrentPeriod(),
                     model.PeriodEnded(),
                     model.GameEnded(),
                     model.MatchInfo.Team1.TeamFouls,
                     model.MatchInfo.Team2.TeamFouls};
  for (int slot = 0; slot < TModel::kTableCount; ++slot) {
    auto& values = snapshot.Tables.emplace_back();
    for (const std::string_view key : kStatKeys) {
      values.push_back(key == "PLLSS" && !withPlusMinus ? 0 : model.Stats(slot).Get(key));
    }
  }
  return snapshot;
}

// What differs, one line each; empty when nothing does.
std::string Differences(const TSnapshot& a, const TSnapshot& b) {
  std::ostringstream text;
  for (std::size_t slot = 0; slot < a.Tables.size(); ++slot) {
    for (std::size_t key = 0; key < kStatKeys.size(); ++key) {
      if (a.Tables[slot][key] != b.Tables[slot][key]) {
        text << "slot " << slot << ' ' << kStatKeys[key] << ": " << a.Tables[slot][key] << " vs " << b.Tables[slot][key]
             << '\n';
      }
    }
  }
  if (a.Period != b.Period) text << "period " << a.Period << " vs " << b.Period << '\n';
  if (a.PeriodEnded != b.PeriodEnded || a.GameEnded != b.GameEnded) text << "ended flags differ\n";
  if (a.Fouls1 != b.Fouls1 || a.Fouls2 != b.Fouls2) {
    text << "team fouls " << a.Fouls1 << '/' << a.Fouls2 << " vs " << b.Fouls1 << '/' << b.Fouls2 << '\n';
  }
  return text.str();
}

// Each changed statistic as "slot:KEY+delta", in slot and key order.
std::string Changes(const TSnapshot& before, const TSnapshot& after) {
  std::ostringstream text;
  for (std::size_t slot = 0; slot < before.Tables.size(); ++slot) {
    for (std::size_t key = 0; key < kStatKeys.size(); ++key) {
      const int delta = after.Tables[slot][key] - before.Tables[slot][key];
      if (delta != 0) text << (text.tellp() > 0 ? " " : "") << slot << ':' << kStatKeys[key] << '+' << delta;
    }
  }
  return text.str();
}

class ModelTest : public testing::TModelTest {
 protected:
  ModelTest() {
    auto store = std::make_unique<TFakeStore>();
    Store = store.get();
    Model.SetStore(std::move(store));
  }

  std::unique_ptr<TAction> Delete(const std::string& id) { return Make.Make("delete", 0, {{"Event", id}}); }
  std::unique_ptr<TAction> EditOf(const TAction& action) {
    auto edit = action.Clone();
    edit->ShortName = "edit";
    return edit;
  }
  // The game entered action by action, then brought up to the clock as the running game would be.
  std::unique_ptr<TModel> Entered(const TActionList& actions, int clockSeconds) {
    auto model = std::make_unique<TModel>(Config);
    model->MatchInfo = Model.MatchInfo;
    model->MatchInfo.CurrentGameTime = FromSeconds(clockSeconds);
    for (const auto& action : actions) model->AddAction(action->Clone());
    model->AddAction(Make.Make("clock", clockSeconds, {}));
    return model;
  }

  TFakeStore* Store;
};

TEST_F(ModelTest, EachActionCountsForItsPlayerOrTeamEntityAndTheTotals) {
  const auto changes = [&](std::unique_ptr<TAction> action) {
    const TSnapshot before = SnapshotOf(Model);
    Add(std::move(action));
    return Changes(before, SnapshotOf(Model));
  };
  // Twelve a side, shirt n in roster slot n - 3; the entities are slots 13 and 44.
  EXPECT_EQ(changes(Make.Shot(10, 1, 7, "Made", 3)), "0:PTS+3 0:P3A+1 0:P3M+1 4:PTS+3 4:P3A+1 4:P3M+1");
  EXPECT_EQ(changes(Make.Rebound(20, 2, 0, false)), "31:RO+1 31:RT+1 44:RO+1 44:RT+1");
  EXPECT_EQ(changes(Make.Shot(30, 2, 6, "Blocked", 2)), "31:P2A+1 31:BR+1 34:P2A+1 34:BR+1");
  EXPECT_EQ(changes(Make.FreeThrow(40, 1, 10, true)), "0:PTS+1 0:P1A+1 0:P1M+1 7:PTS+1 7:P1A+1 7:P1M+1");
  EXPECT_EQ(changes(Make.Simple("assist", 50, 1, 0)), "0:AS+1 13:AS+1");
  EXPECT_EQ(changes(Make.Foul(60, 1, 9, 5)), "0:PF+1 6:PF+1 31:RF+1 33:RF+1");
  EXPECT_EQ(changes(Make.Foul(60, 1, 9, 99)), "0:PF+1 6:PF+1");  // received by nobody known
  // Any team value but "1" is team 2, on both sides of a foul.
  EXPECT_EQ(changes(Make.Make("foul", 70, {{"Team", "3"}, {"Player", "4"}, {"Fouled on", "4"}})),
            "0:RF+1 1:RF+1 31:PF+1 32:PF+1");
  EXPECT_EQ(changes(Make.Make("timeout", 80, {{"Team", "First Team"}})), "");
  EXPECT_EQ(Model.MatchInfo.Team1.TeamFouls, 2);
  EXPECT_EQ(Model.MatchInfo.Team2.TeamFouls, 1);
}

TEST_F(ModelTest, WholeShortGameEnteredActionByAction) {
  // Two halves of ten minutes and an overtime of five; seven players a side, shirts 4 to 10, so
  // the team entities are slots 8 and 39. Two players a side are enough to follow the figures.
  Config.SetInt("no_of_quarters", 2);
  Model.MatchInfo = testing::MakeMatchInfo(7);
  const auto at = [](int minutes, int seconds) { return minutes * 60 + seconds; };
  Add(Make.Subst(0, 1, 0, 4));
  Add(Make.Subst(0, 1, 0, 5));
  Add(Make.Subst(0, 2, 0, 4));
  Add(Make.Subst(0, 2, 0, 6));
  Add(Make.Period(0, 1, "Start Game"));
  Add(Make.Shot(at(0, 30), 1, 4, "Made", 2));  // 2-0
  Add(Make.Shot(at(1, 0), 2, 6, "Missed", 3));
  Add(Make.Rebound(at(1, 5), 1, 5, true));
  Add(Make.Foul(at(2, 0), 1, 5, 4));          // team fouls 1-0
  Add(Make.FreeThrow(at(2, 0), 2, 4, true));  // 2-1
  Add(Make.FreeThrow(at(2, 0), 2, 4, false));
  Add(Make.Subst(at(3, 0), 1, 5, 6));            // 5 played 3:00, +1; 6 comes in at +1
  Add(Make.Simple("turnover", at(4, 0), 1, 0));  // nobody named: team 1's entity
  Add(Make.Simple("steal", at(4, 10), 2, 6));
  Add(Make.Shot(at(4, 20), 2, 6, "Made", 3));  // 2-4
  Add(Make.Foul(at(5, 0), 2, 4, 99));          // team fouls 1-1; fouled player unknown
  Add(Make.Period(at(10, 0), 1, "End"));       // first half over: team fouls 0-0
  Add(Make.Period(at(10, 0), 2, "Start"));
  Add(Make.Foul(at(11, 0), 1, 4, 6));
  Add(Make.Foul(at(12, 0), 1, 6, 4));  // team fouls 2-0
  Add(Make.Rebound(at(13, 0), 2, 0, false));
  Add(Make.Shot(at(14, 0), 1, 6, "Blocked", 2));
  Add(Make.Simple("block", at(14, 0), 2, 4));
  Add(Make.Foul(at(15, 0), 2, 6, 4));     // team fouls 2-1
  Add(Make.Period(at(20, 0), 2, "End"));  // last half: the fouls carry on
  Add(Make.Period(at(20, 0), 3, "Start"));
  Add(Make.Foul(at(21, 0), 1, 4, 6));           // team fouls 3-1
  Add(Make.Shot(at(21, 30), 2, 4, "Made", 2));  // 2-6
  Add(Make.Shot(at(22, 0), 1, 6, "Made", 2));   // 4-6
  Add(Make.Simple("assist", at(22, 0), 1, 4));
  Add(Make.Period(at(25, 0), 3, "End Game"));
  Model.MatchInfo.CurrentGameTime = FromSeconds(at(25, 0));
  EXPECT_TRUE(Add(Make.Make("clock", at(25, 0), {})));

  EXPECT_EQ(Model.CurrentPeriod(), 3);
  EXPECT_TRUE(Model.PeriodEnded());
  EXPECT_TRUE(Model.GameEnded());
  EXPECT_EQ(Model.MatchInfo.Team1.TeamFouls, 3);
  EXPECT_EQ(Model.MatchInfo.Team2.TeamFouls, 1);
  EXPECT_EQ(Model.Score(), std::make_pair(4, 6));
  EXPECT_EQ(Model.PeriodScores(), (std::vector<std::pair<int, int>>{{2, 4}, {0, 0}, {2, 2}}));
  EXPECT_EQ(Model.Actions().size(), 31u);  // the clock is not kept
  EXPECT_EQ(Store->Stored.size(), 32u);
  EXPECT_EQ(Model.Actions()[0]->Period, 0);  // substitutions before the tip-off
  EXPECT_EQ(Model.Actions()[4]->Period, 1);
  EXPECT_EQ(Model.Actions()[16]->Period, 1);  // the end of the first half
  EXPECT_EQ(Model.Actions()[17]->Period, 2);

  EXPECT_EQ(Stat(1, 4, "PTS"), 2);
  EXPECT_EQ(Stat(1, 6, "PTS"), 2);
  EXPECT_EQ(Stat(1, 6, "P2A"), 2);
  EXPECT_EQ(Stat(1, 6, "BR"), 1);
  EXPECT_EQ(Stat(2, 4, "PTS"), 3);
  EXPECT_EQ(Stat(2, 4, "P1A"), 2);
  EXPECT_EQ(Stat(2, 6, "P3A"), 2);
  EXPECT_EQ(Stat(2, 6, "P3M"), 1);
  EXPECT_EQ(Stat(1, 5, "RD"), 1);
  EXPECT_EQ(Model.Stats(39).Get("RO"), 1);
  EXPECT_EQ(Model.Stats(8).Get("TO"), 1);
  EXPECT_EQ(Totals(1, "TO"), 1);
  EXPECT_EQ(Totals(2, "RT"), 1);
  EXPECT_EQ(Stat(1, 4, "PF"), 2);
  EXPECT_EQ(Totals(1, "PF"), 4);
  EXPECT_EQ(Totals(2, "PF"), 2);
  EXPECT_EQ(Stat(2, 4, "RF"), 2);
  EXPECT_EQ(Stat(2, 6, "RF"), 2);
  EXPECT_EQ(Totals(2, "RF"), 4);
  EXPECT_EQ(Totals(1, "RF"), 1);  // shirt 99 received nothing
  EXPECT_EQ(Stat(1, 4, "AS"), 1);
  EXPECT_EQ(Stat(2, 4, "BS"), 1);

  // Starters and playing time: 4 played all 25 minutes, 5 the first 3, 6 the remaining 22.
  EXPECT_EQ(Stat(1, 4, "STA"), 1);
  EXPECT_EQ(Stat(1, 5, "STA"), 1);
  EXPECT_EQ(Stat(1, 6, "STA"), 0);
  EXPECT_EQ(Stat(1, 4, "MIN"), 1500);
  EXPECT_EQ(Stat(1, 5, "MIN"), 180);
  EXPECT_EQ(Stat(1, 6, "MIN"), 1320);
  EXPECT_EQ(Stat(1, 6, "LAST_IN"), 1500);
  EXPECT_EQ(Totals(1, "MIN"), 3000);
  EXPECT_EQ(Totals(2, "MIN"), 3000);
  EXPECT_EQ(Stat(1, 5, "IN"), 0);
  EXPECT_EQ(Model.PlayersOnCourt(1), 2);
  EXPECT_EQ(Model.PlayersOnCourt(2), 2);

  // Plus/minus is settled by the recomputation, which must change nothing else: 4 was on for
  // 4-6, 5 left at 2-1, 6 came in at 2-1.
  const TSnapshot live = SnapshotOf(Model, false);
  Model.Recompute();
  EXPECT_EQ(Differences(SnapshotOf(Model, false), live), "");
  EXPECT_EQ(Stat(1, 4, "PLLSS"), -2);
  EXPECT_EQ(Stat(1, 5, "PLLSS"), 1);
  EXPECT_EQ(Stat(1, 6, "PLLSS"), -3);
  EXPECT_EQ(Stat(2, 4, "PLLSS"), 2);
  EXPECT_EQ(Totals(1, "PLLSS"), 0);
}

TEST_F(ModelTest, StartersAndPlayingTime) {
  Add(Make.Subst(0, 1, 0, 4));
  Add(Make.Subst(0, 1, 0, 5));
  Add(Make.Subst(0, 1, 5, 6));  // changed his mind before the tip-off: 5 did not start
  Add(Make.Subst(1, 1, 0, 7));  // a second in: not a starter
  Add(Make.Subst(7 * 60, 1, 4, 8));
  Add(Make.Subst(9 * 60 + 30, 1, 8, 4));
  EXPECT_EQ(Stat(1, 4, "STA"), 1);
  EXPECT_EQ(Stat(1, 5, "STA"), 0);
  EXPECT_EQ(Stat(1, 6, "STA"), 1);
  EXPECT_EQ(Stat(1, 7, "STA"), 0);
  EXPECT_EQ(Stat(1, 8, "MIN"), 150);
  EXPECT_EQ(Stat(1, 4, "MIN"), 420);
  EXPECT_EQ(Stat(1, 4, "LAST_IN"), 570);
  EXPECT_EQ(Model.PlayersOnCourt(1), 3);
  EXPECT_EQ(Totals(1, "MIN"), 0);  // only a clock update totals the playing time

  Model.MatchInfo.CurrentGameTime = FromSeconds(600);
  Add(Make.Make("clock", 600, {}));
  EXPECT_EQ(Stat(1, 4, "MIN"), 450);
  EXPECT_EQ(Stat(1, 6, "MIN"), 600);
  EXPECT_EQ(Stat(1, 7, "MIN"), 599);
  EXPECT_EQ(Totals(1, "MIN"), 450 + 600 + 599 + 150);
  EXPECT_EQ(Totals(1, "STA"), 0);
}

TEST_F(ModelTest, TeamFoulsRestartBeforeTheLastRegulationPeriod) {
  const auto foulsAfter = [&](int quarter, const std::string& type) {
    Add(Make.Foul(0, 1, 4, 4));
    Add(Make.Period(0, quarter, type));
    return Model.MatchInfo.Team1.TeamFouls;
  };
  EXPECT_EQ(foulsAfter(1, "Start Game"), 0);
  EXPECT_EQ(foulsAfter(1, "End"), 0);
  EXPECT_EQ(foulsAfter(3, "Start"), 0);
  EXPECT_EQ(foulsAfter(4, "Start"), 1);
  EXPECT_EQ(foulsAfter(4, "End"), 2);
  EXPECT_EQ(foulsAfter(5, "Start"), 3);
  EXPECT_EQ(foulsAfter(5, "End Game"), 4);
  EXPECT_EQ(Model.CurrentPeriod(), 5);
}

TEST_F(ModelTest, RecomputingCountsTeamFoulsOnce) {
  // Fouls before any period action are never reset by the replay itself.
  Add(Make.Foul(5, 1, 4, 4));
  Add(Make.Foul(6, 1, 5, 4));
  Add(Make.Shot(7, 2, 4, "Made", 2));
  Add(Delete(Model.Actions().back()->ID));
  EXPECT_EQ(Model.MatchInfo.Team1.TeamFouls, 2);
  Model.Recompute();
  EXPECT_EQ(Model.MatchInfo.Team1.TeamFouls, 2);
}

TEST_F(ModelTest, StoresEverythingButSystemActions) {
  Model.MatchInfo.GameNumber = "G-9";
  Add(Make.Period(0, 1, "Start Game"));
  Add(Make.Shot(10, 1, 4, "Made", 2));
  const std::string shotId = Model.Actions().back()->ID;
  Add(EditOf(*Model.Actions().back()));
  Add(Delete(shotId));
  Add(Make.Make("clock", 20, {}));
  auto complete = Make.Make("complete", 20, {{"Event", shotId}});
  EXPECT_TRUE(complete->System);  // as the catalogue makes it
  Add(complete->Clone());
  complete->System = false;
  Add(std::move(complete));
  auto systemShot = Make.Shot(30, 1, 4, "Made", 3);
  systemShot->System = true;
  EXPECT_TRUE(Add(std::move(systemShot)));
  auto clockMark = Make.Make("clock", 30, {});
  clockMark->System = true;
  Add(std::move(clockMark));

  EXPECT_EQ(Store->StoredKinds(), (std::vector<std::string>{"quarter", "shot", "edit", "delete", "clock", "complete"}));
  for (const auto& stored : Store->Stored) {
    EXPECT_EQ(stored.Game, "G-9");
    EXPECT_EQ(stored.Period, 1) << stored.Kind;
  }
  ASSERT_EQ(Model.Actions().size(), 1u);  // the shot is gone; clocks and completions are not kept
  EXPECT_EQ(Totals(1, "PTS"), 0);
}

TEST_F(ModelTest, ReportsAStoreFailureButKeepsTheAction) {
  Store->Fail = true;
  EXPECT_FALSE(Add(Make.Shot(10, 1, 4, "Made", 2)));
  EXPECT_EQ(Stat(1, 4, "PTS"), 2);
  EXPECT_FALSE(Add(Delete(Model.Actions().back()->ID)));
  EXPECT_TRUE(Model.Actions().empty());
  EXPECT_EQ(Model.UnstoredCount(), 2u);
  EXPECT_FALSE(Model.StoreUnstored());

  // Once the store takes writes again, the waiting actions go first and in their order.
  Store->Fail = false;
  EXPECT_TRUE(Add(Make.Foul(20, 2, 5, 4)));
  EXPECT_EQ(Store->StoredKinds(), (std::vector<std::string>{"shot", "delete", "foul"}));
  EXPECT_EQ(Model.UnstoredCount(), 0u);
  Store->Fail = true;
  EXPECT_FALSE(Add(Make.Foul(21, 2, 5, 4)));
  Store->Fail = false;
  EXPECT_TRUE(Model.StoreUnstored());
  EXPECT_EQ(Store->Stored.size(), 4u);

  Model.SetStore(nullptr);
  EXPECT_TRUE(Add(Make.Shot(10, 1, 4, "Made", 2)));
}

TEST_F(ModelTest, EditsReplaceTheActionUnderItsOwnKind) {
  const TActionList game = testing::SimulateGame(Model.MatchInfo, 200, 5);
  TActionList edited = CloneAll(game);
  Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
  AddAll(game);
  const auto first = [&](const std::string& kind, const std::string& made = "") {
    for (std::size_t i = 0; i < edited.size(); ++i) {
      if (edited[i]->ShortName == kind && (made.empty() || edited[i]->GetParam("Made") == made)) return i;
    }
    ADD_FAILURE() << "no " << kind;
    return std::size_t{0};
  };
  const auto edit = [&](std::size_t index, const std::string& name, const std::string& value) {
    edited[index]->SetParam(name, value);
    auto action = EditOf(*edited[index]);
    action->AstroTime = EncodeTime(23, 0, 0);  // as the sender stamps it
    Add(std::move(action));
  };
  const std::size_t shot = first("shot", "Made");
  const std::size_t foul = first("foul");
  const std::size_t rebound = first("reb");
  const std::string shooter = edited[shot]->GetParam("Player");
  edit(shot, "Player", shooter == "4" ? "5" : "4");
  edit(shot, "Made", "Missed");
  edit(foul, "Team", edited[foul]->GetParam("Team") == "1" ? "2" : "1");
  edit(rebound, "Player", "0");

  const auto expected = Entered(edited, 2400);
  expected->Recompute();
  EXPECT_EQ(Differences(SnapshotOf(Model), SnapshotOf(*expected)), "");
  ASSERT_EQ(Model.Actions().size(), game.size());
  EXPECT_EQ(Model.Actions()[shot]->ShortName, "shot");
  EXPECT_EQ(Model.Actions()[shot]->GetParam("Made"), "Missed");
  EXPECT_EQ(Model.Actions()[shot]->AstroTime, game[shot]->AstroTime) << "entered when it was";
  EXPECT_EQ(Model.Actions()[foul]->ShortName, "foul");

  // An edit of an action the list does not hold changes nothing but is still stored.
  const std::size_t storedBefore = Store->Stored.size();
  Add(EditOf(*Make.Shot(10, 1, 4, "Made", 3)));
  EXPECT_EQ(Model.Actions().size(), game.size());
  EXPECT_EQ(Store->Stored.size(), storedBefore + 1);
  EXPECT_EQ(Differences(SnapshotOf(Model), SnapshotOf(*expected)), "");
}

TEST_F(ModelTest, DeletingAnyActionGivesTheGameEnteredWithoutIt) {
  const TActionList game = testing::SimulateGame(Model.MatchInfo, 300, 11);
  ASSERT_GT(game.size(), 250u);
  for (std::size_t gone = 0; gone < game.size(); ++gone) {
    const auto deleted = Entered(game, 2400);
    deleted->AddAction(Delete(game[gone]->ID));
    TActionList rest = CloneAll(game);
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(gone));
    const auto without = Entered(rest, 2400);
    const std::string what = std::to_string(gone) + ": " + game[gone]->ShortName;
    // Entered live the plus/minus is not kept up to date; the recomputation settles it.
    ASSERT_EQ(Differences(SnapshotOf(*deleted, false), SnapshotOf(*without, false)), "") << what;
    without->Recompute();
    ASSERT_EQ(Differences(SnapshotOf(*deleted), SnapshotOf(*without)), "") << what;
  }
}

TEST_F(ModelTest, SimulatedGameTotalsAddUp) {
  Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
  AddAll(testing::SimulateGame(Model.MatchInfo, 600, 3));
  Add(Make.Make("clock", 2400, {}));
  for (int team = 1; team <= 2; ++team) {
    for (const std::string_view key : kStatKeys) {
      int sum = 0;
      for (int slot = 1; slot <= 12; ++slot) sum += Model.Stats(TModel::PlayerSlot(team, slot)).Get(key);
      if (key == "IN" || key == "STA" || key == "LAST_IN" || key == "PLLSS") {
        EXPECT_EQ(Totals(team, key), 0) << key;
        continue;
      }
      if (key != "MIN") sum += Entity(team, key);
      EXPECT_EQ(Totals(team, key), sum) << team << ' ' << key;
    }
    EXPECT_EQ(Totals(team, "MIN"), 5 * 2400);
    EXPECT_EQ(Model.PlayersOnCourt(team), 5);
  }
  std::pair<int, int> byPeriod{0, 0};
  for (const auto& [first, second] : Model.PeriodScores())
    byPeriod = {byPeriod.first + first, byPeriod.second + second};
  EXPECT_EQ(Model.PeriodScores().size(), 4u);
  EXPECT_EQ(byPeriod, Model.Score());
}

TEST_F(ModelTest, TimeoutsUsedCountsTheHalfOrTheOvertime) {
  const auto timeout = [&](const std::string& team) { Add(Make.Make("timeout", 0, {{"Team", team}})); };
  timeout("First Team");  // before the tip-off: period 0, in no span
  for (int period = 1; period <= 5; ++period) {
    Add(Make.Period(0, period, period == 1 ? "Start Game" : "Start"));
    timeout("First Team");
  }
  timeout("Second Team");
  timeout("Commercial");
  Add(Make.Period(0, 16, "Start"));
  timeout("First Team");
  EXPECT_EQ(Model.TimeoutsUsed(1, 1), 2);
  EXPECT_EQ(Model.TimeoutsUsed(1, 2), 2);
  EXPECT_EQ(Model.TimeoutsUsed(1, 3), 2);
  EXPECT_EQ(Model.TimeoutsUsed(1, 4), 2);
  EXPECT_EQ(Model.TimeoutsUsed(1, 5), 1);
  EXPECT_EQ(Model.TimeoutsUsed(2, 5), 1);
  EXPECT_EQ(Model.TimeoutsUsed(1, 6), 0);
  EXPECT_EQ(Model.TimeoutsUsed(1, 16), 0);  // periods past 15 are not counted

  Config.SetInt("no_of_quarters", 6);
  EXPECT_EQ(Model.TimeoutsUsed(1, 3), 3);
  EXPECT_EQ(Model.TimeoutsUsed(1, 4), 2);  // periods 4 to 6
}

TEST_F(ModelTest, PeriodScoresFollowThePeriodActions) {
  EXPECT_TRUE(Model.PeriodScores().empty());
  Add(Make.Simple("assist", 0, 1, 4));
  Add(Make.Shot(0, 1, 4, "Missed", 2));
  EXPECT_TRUE(Model.PeriodScores().empty());

  Add(Make.Shot(0, 1, 4, "Made", 3));  // before any period action: counted in the first
  Add(Make.Period(0, 1, "Start Game"));
  Add(Make.FreeThrow(0, 2, 4, true));
  using TScores = std::vector<std::pair<int, int>>;
  EXPECT_EQ(Model.PeriodScores(), (TScores{{3, 1}}));

  Add(Make.Period(0, 3, "Start"));
  Add(Make.Make("shot", 0, {{"Team", "3"}, {"Player", "4"}, {"Made", "Made"}, {"Points", "2"}}));
  Add(Make.Make("shot", 0, {{"Team", "2"}, {"Player", "4"}, {"Made", "Made"}, {"Points", "two"}}));
  Add(Make.Make("quarter", 0, {{"Quarter", "0"}, {"Type", "End"}}));  // keeps the period
  EXPECT_EQ(Model.PeriodScores(), (TScores{{3, 1}, {0, 0}, {0, 0}}));
  // The box score counts both shots for team 2 all the same.
  EXPECT_EQ(Model.Score(), std::make_pair(3, 5));

  Add(Make.Period(0, 2, "Start"));  // back to period 2: period 3 is dropped
  Add(Make.Shot(0, 2, 4, "Made", 2));
  EXPECT_EQ(Model.PeriodScores(), (TScores{{3, 1}, {0, 2}}));
}

TEST_F(ModelTest, PeriodNumbersBeyondAGameSizeNothing) {
  using TScores = std::vector<std::pair<int, int>>;
  Add(Make.Period(0, 1, "Start Game"));
  Add(Make.Shot(10, 1, 4, "Made", 2));
  for (const int absurd : {100'000, 21, -1}) {
    Add(Make.Period(20, absurd, "Start"));  // read as no number: the period stays
    EXPECT_EQ(Model.CurrentPeriod(), 1) << absurd;
  }
  Add(Make.Shot(30, 2, 4, "Made", 3));
  EXPECT_EQ(Model.PeriodScores(), (TScores{{2, 3}}));
  pugi::xml_document document;
  const auto quarters = BoxScoreDocument(Model, document).child("QUARTERS").children("QUARTER");
  EXPECT_EQ(std::distance(quarters.begin(), quarters.end()), 1);
  EXPECT_EQ(Model.TimeoutsUsed(1, 2'147'483'647), 0);
  EXPECT_EQ(WholeSeconds(PeriodEnd(PeriodSettingsOf(Config), kMaxPeriod)), (4 * 10 + 16 * 5) * 60);
}

TEST_F(ModelTest, FollowUpsAndPositions) {
  Add(Make.Shot(0, 1, 4, "Missed", 2));
  const TAction& shot = *Model.Actions().back();
  const auto followUp = [&](std::unique_ptr<TAction> action, const std::string& of) {
    action->FollowUpID = of;
    Add(std::move(action));
  };
  followUp(Make.Foul(0, 2, 4, 4), shot.ID);
  followUp(Make.FreeThrow(0, 1, 4, true), shot.ID);
  followUp(Make.Rebound(0, 1, 5, false), "{00000000-0000-0000-0000-000000000001}");
  followUp(Make.Rebound(0, 1, 6, false), shot.ID);
  ASSERT_NE(Model.FollowUpOf(shot, 1), nullptr);
  EXPECT_EQ(Model.FollowUpOf(shot, 1)->ShortName, "foul");
  ASSERT_NE(Model.FollowUpOf(shot, 2), nullptr);
  EXPECT_EQ(Model.FollowUpOf(shot, 2)->GetParam("Player"), "6");
  EXPECT_EQ(Model.FollowUpOf(shot, 3), nullptr);
  EXPECT_EQ(Model.FollowUpOf(*Model.Actions().back(), 1), nullptr);

  // A second action with the same ID: the last one is found.
  Add(Model.Actions()[1]->Clone());
  EXPECT_EQ(Model.IndexOf(Model.Actions()[1]->ID), 5);
  EXPECT_EQ(Model.IndexOf(shot.ID), 0);
  EXPECT_EQ(Model.IndexOf("{00000000-0000-0000-0000-000000000001}"), -1);
}

TEST_F(ModelTest, ClockTicksAndMarksGoToTheSender) {
  TFakeSubmitter sender;
  Model.ClockTick();  // without a sender the clock still runs
  Model.SetSubmitter(&sender);
  Add(Make.Period(0, 1, "Start Game"));
  for (int tick = 1; tick < 599; ++tick) Model.ClockTick();
  EXPECT_EQ(Model.RemainingPeriodText(), "00:01");
  EXPECT_FALSE(Model.PeriodTimeOver());
  Model.ClockTick();
  EXPECT_EQ(WholeSeconds(Model.MatchInfo.CurrentGameTime), 600);
  EXPECT_EQ(Model.RemainingPeriodText(), "00:00");
  EXPECT_TRUE(Model.PeriodTimeOver());
  ASSERT_EQ(sender.Submitted.size(), 599u);
  EXPECT_EQ(sender.Submitted.back()->ShortName, "clock");
  EXPECT_FALSE(sender.Submitted.back()->System);

  Model.SendClockMark();
  EXPECT_EQ(WholeSeconds(Model.MatchInfo.CurrentGameTime), 600);
  ASSERT_EQ(sender.Submitted.size(), 600u);
  EXPECT_TRUE(sender.Submitted.back()->System);
  const std::size_t stored = Store->Stored.size();
  Add(std::move(sender.Submitted.back()));  // the mark is for the server only
  EXPECT_EQ(Store->Stored.size(), stored);

  sender.Catalogue = TCatalogue();  // no "clock" kind: nothing to send
  Model.ClockTick();
  Model.SendClockMark();
  EXPECT_EQ(sender.Submitted.size(), 600u);
}

TEST_F(ModelTest, PlayersPastTheTablesAreNotInTheRoster) {
  Model.MatchInfo = testing::MakeMatchInfo(30);  // shirts 4 to 33
  Model.MatchInfo.Team2.Player(30).Number = 5;   // 5 twice: the one with a table counts
  EXPECT_EQ(Model.StatPlayerCount(1), TModel::kMaxStatPlayers);
  EXPECT_EQ(Model.EntitySlot(1), 30);
  EXPECT_EQ(Model.EntitySlot(2), 61);
  Add(Make.Subst(0, 1, 0, 33));
  Add(Make.Shot(10, 1, 33, "Made", 2));
  Add(Make.Shot(10, 2, 33, "Made", 3));
  Add(Make.Shot(10, 2, 5, "Made", 2));
  Add(Make.Foul(20, 1, 4, 33));
  EXPECT_EQ(Model.PlayersOnCourt(1), 0);
  EXPECT_EQ(Model.Stats(30).Get("PTS"), 2);
  EXPECT_EQ(Model.Stats(61).Get("PTS"), 3);
  EXPECT_EQ(Stat(2, 5, "PTS"), 2);
  EXPECT_EQ(Totals(2, "PTS"), 5);
  EXPECT_EQ(Totals(2, "RF"), 0);
  Model.Recompute();
  EXPECT_EQ(Model.Score(), std::make_pair(2, 5));
}

TEST_F(ModelTest, OpensAndSavesThroughTheStoreAndServer) {
  Store->Games = testing::MakeMatchInfo(8, "G-7");
  Store->GameActions = testing::SimulateGame(Store->Games, 100);
  EXPECT_TRUE(Model.OpenGame("G-7"));
  EXPECT_EQ(Model.GameNumberText(), "G-7");
  EXPECT_EQ(Model.Actions().size(), Store->GameActions.size());
  EXPECT_TRUE(Model.GameEnded());
  EXPECT_GT(Model.Score().first + Model.Score().second, 0);
  EXPECT_EQ(Model.Actions().back()->Period, 4);

  auto server = std::make_unique<TFakeServer>();
  TFakeServer& link = *server;
  Model.SetServer(std::move(server));
  EXPECT_TRUE(Model.SaveMatchInfo().Ok());
  link.Accept = false;
  const TStatus refused = Model.SaveMatchInfo();
  ASSERT_FALSE(refused.Ok());
  EXPECT_NE(refused.Error().find("HTTP 413"), std::string::npos) << refused.Error();
  Store->Fail = true;
  EXPECT_FALSE(Model.OpenGame("G-7"));

  Model.SetStore(nullptr);
  EXPECT_FALSE(Model.OpenGame("G-8"));
  EXPECT_EQ(Model.GameNumberText(), "G-8");
}

}  // namespace
}  // namespace velmora

// The server's checksum of a game against the program's own: the same actions, sent to the server
// and entered into a local store, must give the same 32 digits.

#include "platform/configuration.h"
#include "platform/folders.h"
#include "records/date_time.h"
#include "server_fixture.h"
#include "stats/model.h"
#include "store/database_plugin.h"

namespace velmora::testing {
namespace {

class ChecksumTest : public StatServerTest {
 protected:
  ChecksumTest() {
    auto local = TDatabasePlugin::OpenFile(Temp / "local.db", ProgramFolder() / "dravon.db");
    if (!local) throw std::runtime_error(local.Error());
    Local = local.Value().get();
    Model = std::make_unique<TModel>(Config, std::move(local.Value()));
    Model->MatchInfo = Game;
    EXPECT_TRUE(Local->StoreMatchInfo(Game).Ok());
  }

  // The batch goes to the server as the sending queue sends it, and through the model locally.
  void Live(TActionList batch) {
    const THttpReply reply = SendActions(batch);
    ASSERT_TRUE(reply.Ok()) << reply.Status << " " << reply.Body;
    for (auto& action : batch) Model->AddAction(std::move(action));
  }
  std::unique_ptr<TAction> Stamped(std::unique_ptr<TAction> action) {
    action->AstroTime = FromSeconds(11 * 3600 + Tick++);
    return action;
  }
  std::unique_ptr<TAction> EditOf(const TAction& action) {
    auto edit = action.Clone();
    edit->ShortName = "edit";
    return Stamped(std::move(edit));
  }
  std::unique_ptr<TAction> DeleteOf(const TAction& action) {
    return Stamped(Make.Make("delete", WholeSeconds(action.GameTime), {{"Event", action.ID}}));
  }

  // Compares checksums and, for a readable failure, the two action lists.
  void ExpectSameGame(const std::string& stage) {
    TActionList local;
    ASSERT_TRUE(Local->LoadActions("G-1", local));
    const TActionList remote = ServerActions();
    ASSERT_EQ(remote.size(), local.size()) << stage;
    for (std::size_t i = 0; i < local.size(); ++i) ASSERT_EQ(remote[i]->ID, local[i]->ID) << stage << " " << i;
    const THttpReply crc = GetWithSession("do=crc&game_number=G-1");
    ASSERT_TRUE(crc.Ok()) << stage;
    const auto expected = Local->ComputeChecksum(Model->MatchInfo);
    ASSERT_TRUE(expected.Ok());
    EXPECT_EQ(crc.Body, expected.Value()) << stage;
  }

  TConfiguration Config{ProgramFolder()};
  TDatabasePlugin* Local = nullptr;
  std::unique_ptr<TModel> Model;
  TActionFactory Make;
  int Tick = 0;
};

TEST_F(ChecksumTest, CrcAfterLiveBatchesWithEditsDeletesAndClockEqualsTheLocalStore) {
  TActionList game = SimulateGame(Game, 240, 5);
  StampAstroTimes(game);
  const std::size_t sent = game.size() * 2 / 3;
  for (std::size_t first = 0; first < sent; first += 20) {
    TActionList batch;
    for (std::size_t i = first; i < std::min(first + 20, sent); ++i) batch.push_back(game[i]->Clone());
    batch.push_back(Stamped(Make.Make("clock", WholeSeconds(batch.back()->GameTime), {})));
    Live(std::move(batch));
  }
  ExpectSameGame("live batches");

  // Edits change values and the time of entry; deletes remove single events.
  const auto firstOf = [&](const std::string& kind, std::size_t from) -> const TAction& {
    for (std::size_t i = from; i < sent; ++i) {
      if (game[i]->ShortName == kind) return *game[i];
    }
    throw std::runtime_error("no " + kind);
  };
  TActionList corrections;
  auto shot = EditOf(firstOf("shot", 20));
  shot->SetParam("Made", shot->GetParam("Made") == "Made" ? "Missed" : "Made");
  corrections.push_back(std::move(shot));
  auto rebound = EditOf(firstOf("reb", 30));
  rebound->SetParam("Player", "9");
  rebound->GameTime += FromSeconds(2);
  corrections.push_back(std::move(rebound));
  corrections.push_back(DeleteOf(firstOf("foul", 10)));
  corrections.push_back(DeleteOf(firstOf("steal", 10)));
  const int clock = WholeSeconds(game[sent - 1]->GameTime) + 5;
  corrections.push_back(Stamped(Make.Make("clock", clock, {})));
  Live(std::move(corrections));
  ExpectSameGame("edits and deletes");

  TMatchInfo changed = Model->MatchInfo;
  changed.Referee3 = "Marta Ruiz";
  changed.TV = 1;
  changed.CurrentGameTime = FromSeconds(clock);  // the live window's clock goes with it
  changed.Team2.Coach = "  Nuevo Entrenador ";
  ASSERT_TRUE(UpdateMatchInfo(MatchInfoText(changed)).Ok());
  ASSERT_TRUE(Local->StoreMatchInfo(changed).Ok());
  Model->MatchInfo = changed;
  ExpectSameGame("match info update");

  // Removing the start of the third period takes every later event with it.
  const TAction* third = nullptr;
  for (std::size_t i = 0; i < sent; ++i) {
    if (game[i]->ShortName == "quarter" && game[i]->GetParam("Quarter") == "3" &&
        game[i]->GetParam("Type") == "Start") {
      third = game[i].get();
    }
  }
  ASSERT_NE(third, nullptr);
  const std::size_t before = ServerActions().size();
  TActionList removal;
  removal.push_back(DeleteOf(*third));
  Live(std::move(removal));
  EXPECT_LT(ServerActions().size() + 5, before);
  ExpectSameGame("period start deleted");
  // The game clock returns to the removed boundary.
  pugi::xml_document document;
  TMatchInfo current;
  current.ReadXml(ParseReply(GetWithSession("do=get_match_info&game_number=G-1&get_initial=0"), document));
  EXPECT_EQ(FormatLongTime(current.CurrentGameTime), FormatLongTime(third->GameTime));

  // Play goes on from there.
  TActionList rest;
  for (std::size_t i = sent; i < game.size(); ++i) rest.push_back(game[i]->Clone());
  Live(std::move(rest));
  ExpectSameGame("rest of the game");
}

TEST_F(ChecksumTest, CrcAfterWholeListUploadsEqualsTheLocalStore) {
  TActionList game = SimulateGame(Game, 150, 9);
  // A list from elsewhere: a foul with its parameters in the other order, a substitution at midday.
  auto foul = Make.Foul(75, 1, 5, 8);
  std::swap(foul->Parameters[2], foul->Parameters[3]);
  game.push_back(std::move(foul));
  game.push_back(Make.Subst(12 * 3600, 2, 4, 12));
  StampAstroTimes(game);

  TDateTime clock = 0;
  ASSERT_TRUE(PostForm("do=send_action_list&SESSIONID=" + Session + "&game_number=G-1&append=0",
                       {{"actions1", ActionsText(game, "G-1")}})
                  .Ok());
  ASSERT_TRUE(Local->SaveActionList("G-1", game, false, clock));
  ExpectSameGame("whole list");

  TActionList more;
  more.push_back(DeleteOf(*game[7]));
  more.push_back(Stamped(Make.Shot(2390, 2, 6, "Made", 3)));
  ASSERT_TRUE(PostForm("do=send_action_list&SESSIONID=" + Session + "&game_number=G-1&append=1",
                       {{"actions1", ActionsText(more, "G-1")}})
                  .Ok());
  ASSERT_TRUE(Local->SaveActionList("G-1", more, true, clock));
  ExpectSameGame("appended list");
}

}  // namespace
}  // namespace velmora::testing

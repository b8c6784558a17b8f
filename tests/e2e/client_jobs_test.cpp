// The server jobs (box score upload, bringing a server game home, comparing and overwriting), the
// login against the real server, and the command line's server commands.

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "platform/folders.h"
#include "client_fixture.h"
#include "command_line.h"
#include "records/date_time.h"
#include "records/xml_text.h"
#include "serverlink/credentials.h"
#include "protocol/form_encoding.h"
#include "serverlink/uploader_thread.h"
#include "stats/game_documents.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

class JobsTest : public ClientE2eTest {
 protected:
  // "G-2": a game the server already has actions of.
  JobsTest() : ServerGame(SimulateGame(MakeMatchInfo(12, "G-2"), 120, 5)) {
    TMatchInfo game = MakeMatchInfo(12, "G-2");
    game.Time = *EncodeDate(2024, 3, 15) + EncodeTime(20, 0, 0);
    Publish(game, &ServerGame);
  }

  std::unique_ptr<TUploaderThread> Compare(const std::string& gameNumber) {
    TObjectHash<TMatchInfo> games;
    EXPECT_TRUE(Local->LoadGamesList(games));
    return TUploaderThread::CompareAndOverwrite(Model, *Client, *Local, games.Get(gameNumber), Ui);
  }
  std::pair<int, int> ScoreOf(const TActionList& actions) {
    TModel model(Config);
    model.MatchInfo = MakeMatchInfo(12);
    for (const auto& action : actions) model.AddAction(action->Clone());
    return model.Score();
  }

  TActionList ServerGame;
};

TEST_F(JobsTest, LoginListsOnlyTheOperatorsGamesAndItsSessionOpensThem) {
  TMatchInfo foreign = MakeMatchInfo(12, "X-1");
  pugi::xml_document document;
  std::ostringstream text;
  foreign.ToXml(document, TPeriodSettings{}).print(text, "", pugi::format_raw, pugi::encoding_utf8);
  ASSERT_TRUE(ServerStore->Publish(foreign, text.str(), nullptr, "otro").Ok());

  auto outcome = RunLogin({Server->Url("/liga"), kOperator, kOperatorPassword}, Config, Registry, Ui);
  ASSERT_TRUE(outcome) << outcome.Error();
  std::vector<std::string> numbers;
  for (const TMatchInfo& game : outcome.Value().Games) numbers.push_back(game.GameNumber);
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<std::string>{"G-1", "G-2"}));

  Connect(DirectUrl());
  EXPECT_EQ(Client->GetRemoteChecksum("G-2"), ServerChecksum("G-2"));
  EXPECT_EQ(Client->GetRemoteChecksum("X-1"), "") << "another user's game stays closed";
  EXPECT_EQ(ReadCredentials(Registry).Password, kOperatorPassword);
}

TEST_F(JobsTest, PullBringsTheServerGameIntoTheLocalStore) {
  Connect(FrontUrl());
  Pull("G-2");
  EXPECT_EQ(LocalIds("G-2"), ServerIds("G-2"));
  EXPECT_EQ(LocalIds("G-2").size(), ServerGame.size());
  EXPECT_EQ(Model.Actions().size(), ServerGame.size());
  EXPECT_EQ(Model.Score(), ScoreOf(ServerGame));
  EXPECT_EQ(LocalChecksum("G-2"), ServerChecksum("G-2"));
  EXPECT_EQ(FrontRequests("update_match_info").size(), 1u) << "the match info goes back to the server";

  // An empty server log replaces whatever the local store held under that number.
  TMatchInfo stale = MakeMatchInfo(12, "G-1");
  stale.Time = *EncodeDate(2024, 3, 14) + EncodeTime(18, 30, 0);
  ASSERT_TRUE(Local->StoreMatchInfo(stale));
  ASSERT_TRUE(Local->StoreAction(stale, *Make.Shot(10, 1, 4, "Made", 2)));
  Pull("G-1");
  EXPECT_TRUE(LocalIds("G-1").empty());
  EXPECT_TRUE(Model.Actions().empty());
  EXPECT_EQ(LocalChecksum("G-1"), ServerChecksum("G-1"));
}

TEST_F(JobsTest, CompareAsksOnlyWhenTheCopiesDifferAndOverwritesOnlyOnYes) {
  Connect(FrontUrl());
  Pull("G-2");

  Front.ClearRequests();
  auto job = Compare("G-2");
  job->Wait();
  EXPECT_TRUE(job->ResultFlag());
  EXPECT_TRUE(Ui.Questions.empty());
  EXPECT_EQ(FrontRequests("crc").size(), 1u);
  EXPECT_EQ(Front.RequestCount(), 1u);

  // A local action the server never got.
  auto extra = Make.Shot(590, 2, 7, "Made", 3);
  extra->AstroTime = EncodeTime(21, 0, 0);
  ASSERT_TRUE(Model.AddAction(std::move(extra)));
  const std::string before = ServerChecksum("G-2");
  ASSERT_NE(LocalChecksum("G-2"), before);

  Ui.Answer = false;
  Front.ClearRequests();
  job = Compare("G-2");
  job->Wait();
  EXPECT_FALSE(job->ResultFlag());
  ASSERT_EQ(Ui.Questions.size(), 1u);
  EXPECT_EQ(Ui.Questions[0].first, kApplicationTitle);
  EXPECT_TRUE(Ui.Questions[0].second.starts_with("Los datos locales no coinciden con los datos en servidor."));
  EXPECT_EQ(Front.RequestCount(), 1u) << "nothing sent after No";
  EXPECT_EQ(ServerChecksum("G-2"), before);

  Ui.Answer = true;
  Front.ClearRequests();
  job = Compare("G-2");
  job->Wait();
  EXPECT_TRUE(job->ResultFlag());
  const auto sent = FrontRequests("send_action_list");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(*FindField(ParseFormText(sent[0].Query()), "append"), "0");
  EXPECT_EQ(ServerIds("G-2"), LocalIds("G-2"));
  EXPECT_EQ(ServerChecksum("G-2"), LocalChecksum("G-2"));

  // A checksum the server cannot give counts as a difference: the operator is asked.
  Mode = TFrontMode::Refuse;
  Ui.Answer = false;
  job = Compare("G-2");
  job->Wait();
  EXPECT_FALSE(job->ResultFlag());
  EXPECT_EQ(Ui.Questions.size(), 3u);
  EXPECT_EQ(Ui.Messages.back().first, "Exception while getting checksum from remote server.");
}

TEST_F(JobsTest, BoxScoreUploadGivesTheServersAnswerOrTheError) {
  Connect(FrontUrl());
  Pull("G-2");
  pugi::xml_document document;
  std::ostringstream boxScore;
  BoxScoreDocument(Model, document).print(boxScore, "", pugi::format_raw, pugi::encoding_utf8);

  auto job = TUploaderThread::UploadBoxScore(Model, *Client, boxScore.str());
  job->Wait();
  EXPECT_EQ(job->ResultText(), "Estadísticas del partido G-2 recibidas correctamente.");
  EXPECT_TRUE(job->Outcome());

  Front.Stop();
  job = TUploaderThread::UploadBoxScore(Model, *Client, boxScore.str());
  job->Wait();
  EXPECT_FALSE(job->ResultText().empty());
  EXPECT_EQ(job->ResultText().find("recibidas"), std::string::npos);
  EXPECT_FALSE(job->Outcome());
}

// ---- The command line -------------------------------------------------------------------------------

class ServerCommandsTest : public JobsTest {
 protected:
  TCliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", Data.Path().string(), "server"});
    return RunCli(args);
  }
  // The command line's own local store, as it stands after its runs.
  std::unique_ptr<TDatabasePlugin> CliStore() {
    auto store = TDatabasePlugin::Open(Data.Path(), "", ProgramFolder());
    EXPECT_TRUE(store) << store.Error();
    return store ? std::move(store.Value()) : nullptr;
  }
  std::string CliChecksum(const std::string& gameNumber) {
    auto store = CliStore();
    TObjectHash<TMatchInfo> games;
    EXPECT_TRUE(store->LoadGamesList(games));
    return store->ComputeChecksum(games.Get(gameNumber)).Value();
  }

  TTempFolder Data;
  TTempFolder ConfigHome;
  TEnvironmentGuard ConfigGuard{"XDG_CONFIG_HOME", ConfigHome.Path().string()};
};

TEST_F(ServerCommandsTest, LoginPingGamesPullPushAndUploadStats) {
  EXPECT_EQ(Cli({"ping"}).Status, cli::kFailure) << "no server known yet";
  const TCliRun refused = Cli({"login", Server->Url("/liga"), kOperator, "wrong"});
  EXPECT_EQ(refused.Status, cli::kFailure);
  EXPECT_NE(refused.Err.find("Fallo en la sesión"), std::string::npos) << refused.Err;

  const TCliRun login = Cli({"login", Server->Url("/liga"), kOperator, kOperatorPassword, "--remember"});
  ASSERT_EQ(login.Status, cli::kSuccess) << login.Err;
  EXPECT_EQ(login.Out, "Conectado al servidor \"" + Server->Url("/liga/") + "\": 2 partidos.\n");
  EXPECT_EQ(Cli({"ping"}).Out, "pong\n");

  TCliRun games = Cli({"games"});
  ASSERT_EQ(games.Status, cli::kSuccess) << games.Err;
  EXPECT_NE(games.Out.find("G-2\t2024.03.15"), std::string::npos) << games.Out;
  EXPECT_NE(games.Out.find("\tOnline only\n"), std::string::npos) << games.Out;

  const TCliRun pull = Cli({"pull", "G-2"});
  ASSERT_EQ(pull.Status, cli::kSuccess) << pull.Err;
  EXPECT_EQ(pull.Out, "G-2: " + std::to_string(ServerGame.size()) + " acciones guardadas.\n");
  games = Cli({"games"});
  EXPECT_NE(games.Out.find("\tLocal and online\n"), std::string::npos) << games.Out;
  EXPECT_EQ(CliChecksum("G-2"), ServerChecksum("G-2"));

  const TCliRun same = Cli({"push", "G-2"});
  EXPECT_EQ(same.Status, cli::kSuccess) << same.Err;
  EXPECT_EQ(same.Out, "G-2: el servidor tiene los datos locales.\n");

  // Someone else's action reaches the server's copy only.
  TActionList foreign;
  foreign.push_back(Make.Shot(595, 1, 6, "Made", 2));
  ASSERT_TRUE(ServerStore->ApplyActions("G-2", foreign).Ok());
  const std::string changed = ServerChecksum("G-2");
  const TCliRun declined = Cli({"push", "G-2"});
  EXPECT_EQ(declined.Status, cli::kFailure);
  EXPECT_NE(declined.Err.find("-> no"), std::string::npos) << declined.Err;
  EXPECT_EQ(ServerChecksum("G-2"), changed);
  const TCliRun overwritten = Cli({"push", "G-2", "--overwrite"});
  EXPECT_EQ(overwritten.Status, cli::kSuccess) << overwritten.Err;
  EXPECT_EQ(ServerChecksum("G-2"), CliChecksum("G-2"));
  EXPECT_EQ(ServerIds("G-2").size(), ServerGame.size());

  const TCliRun upload =
      Cli({"upload-stats", "G-2", "--score", "80:75", "--name", "Ana Pérez", "--contacts", "600 123 456"});
  ASSERT_EQ(upload.Status, cli::kSuccess) << upload.Err;
  EXPECT_EQ(upload.Out, "Estadísticas del partido G-2 recibidas correctamente.\n");
  EXPECT_EQ(Cli({"upload-stats", "G-2", "--score", "80-75", "--name", "A", "--contacts", "B"}).Status,
            cli::kUsageError);
}

// The first minute and a half of a game, as a transfer file, published for the operator.
class ReplayTest : public ServerCommandsTest {
 protected:
  ReplayTest() : Recorded(Config) {
    Recorded.MatchInfo = MakeMatchInfo(12, "G-R");
    Recorded.MatchInfo.Time = *EncodeDate(2024, 4, 1) + EncodeTime(19, 0, 0);
    TActionList actions;
    for (auto& action : SimulateGame(Recorded.MatchInfo, 1000, 21)) {
      if (WholeSeconds(action->GameTime) <= 90) actions.push_back(std::move(action));
    }
    Recorded.SetActions(std::move(actions));
    Recorded.Recompute();
    EXPECT_TRUE(WriteTransferFile(Recorded, File).Ok());
    Publish(Recorded.MatchInfo);
  }

  TModel Recorded;
  std::filesystem::path File = Temp / "G-R.log";
};

TEST_F(ReplayTest, ReplayedGameEndsWithTheSameScoreOnTheLivePage) {
  const TActionList& actions = Recorded.Actions();
  ASSERT_GT(actions.size(), 20u);
  const auto [home, away] = Recorded.Score();
  ASSERT_GT(home + away, 0);

  ASSERT_EQ(Cli({"login", Server->Url("/liga/"), kOperator, kOperatorPassword, "--remember"}).Status, cli::kSuccess);
  const TCliRun replay = Cli({"replay", File.string(), "--speed", "100"});
  ASSERT_EQ(replay.Status, cli::kSuccess) << replay.Err;
  EXPECT_EQ(replay.Out, "G-R: " + std::to_string(actions.size()) + " acciones enviadas, " + std::to_string(home) +
                            "-" + std::to_string(away) + ".\n");

  std::vector<std::string> ids;
  for (const auto& action : actions) ids.push_back(action->ID);
  EXPECT_EQ(ServerIds("G-R"), ids);
  httplib::Client viewer("127.0.0.1", Server->Port());
  const auto live = viewer.Get("/live/G-R.json");
  ASSERT_TRUE(live && live->status == 200);
  EXPECT_EQ(nlohmann::json::parse(live->body)["stats"]["score"], nlohmann::json::array({home, away}));
}

TEST_F(ReplayTest, ReplayStopsWhenTheServerRefusesItsSessionOrStaysAway) {
  ASSERT_EQ(Cli({"login", FrontUrl(), kOperator, kOperatorPassword, "--remember"}).Status, cli::kSuccess);
  MisbehaveOn("multipleaction", TFrontMode::Forbidden);
  const TCliRun refused = Cli({"replay", File.string(), "--speed", "100"});
  EXPECT_EQ(refused.Status, cli::kFailure);
  EXPECT_EQ(refused.Out, "");
  EXPECT_NE(refused.Err.find("G-R: la reproducción se detuvo: el servidor rechazó la sesión (HTTP 403"),
            std::string::npos)
      << refused.Err;
  EXPECT_EQ(FrontRequests("multipleaction").size(), 1u) << "a refused session is not tried again";

  MisbehaveOn("multipleaction", TFrontMode::Drop);
  const TCliRun away = Cli({"replay", File.string(), "--speed", "100", "--deadline", "1"});
  EXPECT_EQ(away.Status, cli::kFailure);
  EXPECT_NE(away.Err.find("el servidor no aceptó las acciones en 1 s"), std::string::npos) << away.Err;
  EXPECT_EQ(Cli({"replay", File.string(), "--deadline", "0"}).Status, cli::kUsageError);
}

TEST_F(ServerCommandsTest, PushSaysSoWhenTheServerDidNotTakeTheOverwrite) {
  ASSERT_EQ(Cli({"login", FrontUrl(), kOperator, kOperatorPassword, "--remember"}).Status, cli::kSuccess);
  ASSERT_EQ(Cli({"pull", "G-2"}).Status, cli::kSuccess);
  TActionList foreign;
  foreign.push_back(Make.Shot(595, 1, 6, "Made", 2));
  ASSERT_TRUE(ServerStore->ApplyActions("G-2", foreign).Ok());
  const std::string serverCopy = ServerChecksum("G-2");

  // A server that bounds its bodies, and one killed while the list is on its way.
  for (const TFrontMode trouble : {TFrontMode::TooLarge, TFrontMode::Drop}) {
    MisbehaveOn("send_action_list", trouble);
    const TCliRun push = Cli({"push", "G-2", "--overwrite"});
    EXPECT_EQ(push.Status, cli::kFailure) << push.Out;
    EXPECT_EQ(push.Out, "");
    EXPECT_NE(push.Err.find("El servidor no aceptó las acciones del partido: "), std::string::npos) << push.Err;
    if (trouble == TFrontMode::TooLarge) {
      EXPECT_NE(push.Err.find("HTTP 413"), std::string::npos) << push.Err;
    }
    EXPECT_EQ(ServerChecksum("G-2"), serverCopy);
  }
  MisbehaveOn("update_match_info", TFrontMode::Refuse);
  const TCliRun refused = Cli({"push", "G-2", "--overwrite"});
  EXPECT_EQ(refused.Status, cli::kFailure);
  EXPECT_NE(refused.Err.find("El servidor no aceptó la información del partido: HTTP 500"), std::string::npos)
      << refused.Err;

  MisbehaveOn("", TFrontMode::Forward);
  const TCliRun pushed = Cli({"push", "G-2", "--overwrite"});
  EXPECT_EQ(pushed.Status, cli::kSuccess) << pushed.Err;
  EXPECT_EQ(ServerChecksum("G-2"), CliChecksum("G-2"));
}

TEST_F(ServerCommandsTest, PullStoresNothingOfAListItCannotTake) {
  ASSERT_EQ(Cli({"login", FrontUrl(), kOperator, kOperatorPassword, "--remember"}).Status, cli::kSuccess);
  MisbehaveOn("get_action_list", TFrontMode::Refuse);
  TCliRun pull = Cli({"pull", "G-2"});
  EXPECT_EQ(pull.Status, cli::kFailure);
  EXPECT_NE(pull.Err.find("No se pudo leer la lista de acciones del servidor: HTTP 500"), std::string::npos) << pull.Err;
  EXPECT_EQ(CliStore()->FindGameId("G-2"), 0);

  // An action list from a server that lets any period number through.
  TActionList absurd;
  absurd.push_back(Make.Period(0, 1, "Start Game"));
  absurd.push_back(Make.Period(60, 2'147'483'647, "Start"));
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("ACTIONS");
  for (const auto& action : absurd) action->ToXml(root, "G-2");
  CannedAnswer = XmlText(root);
  MisbehaveOn("get_action_list", TFrontMode::Canned);
  pull = Cli({"pull", "G-2"});
  EXPECT_EQ(pull.Status, cli::kFailure);
  EXPECT_NE(pull.Err.find("\"2147483647\""), std::string::npos) << pull.Err;
  EXPECT_EQ(CliStore()->FindGameId("G-2"), 0);
  EXPECT_TRUE(FrontRequests("update_match_info").empty()) << "nothing sent back either";
}

TEST_F(ServerCommandsTest, UploadStatsFailsWhenTheServerDoesNotTakeTheBoxScore) {
  ASSERT_EQ(Cli({"login", FrontUrl(), kOperator, kOperatorPassword, "--remember"}).Status, cli::kSuccess);
  ASSERT_EQ(Cli({"pull", "G-2"}).Status, cli::kSuccess);
  MisbehaveOn("upload_statistics", TFrontMode::TooLarge);
  const TCliRun upload = Cli({"upload-stats", "G-2", "--score", "80:75", "--name", "Ana", "--contacts", "600"});
  EXPECT_EQ(upload.Status, cli::kFailure);
  EXPECT_EQ(upload.Out, "");
  EXPECT_NE(upload.Err.find("El servidor no aceptó las estadísticas: HTTP 413"), std::string::npos) << upload.Err;
}

}  // namespace
}  // namespace velmora::testing

// The administration commands of the server executable, run as a league's administrator runs them.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/configuration.h"
#include "platform/folders.h"
#include "records/date_time.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "protocol/soap.h"
#include "server_fixture.h"
#include "server_process.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "store/sqlite.h"

namespace velmora::testing {
namespace {

using statserver::TServerStore;

struct TCommandResult {
  int Status = -1;
  std::string Out;
  std::string Err;
};

class CommandsTest : public ::testing::Test {
 protected:
  // Starts the executable with its output going to files of the temporary folder.
  pid_t Spawn(const std::vector<std::string>& args) {
    return SpawnServerProgram(args, Temp / "out.txt", Temp / "err.txt");
  }
  TCommandResult Finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(Temp / "out.txt"), ReadFile(Temp / "err.txt")};
  }
  TCommandResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", Database});
    return Finish(Spawn(args));
  }

  std::filesystem::path TransferFile(const std::string& gameNumber, const TActionList& actions) {
    TModel model(Config);
    model.MatchInfo = MakeMatchInfo(12, gameNumber);
    model.MatchInfo.Time = *EncodeDate(2024, 5, 2) + EncodeTime(19, 0, 0);
    model.SetActions(CloneAll(actions));
    model.Recompute();
    const auto file = Temp / (gameNumber + ".log");
    EXPECT_TRUE(WriteTransferFile(model, file).Ok());
    return file;
  }
  // A bare MATCHINFO document in windows-1252.
  std::filesystem::path MatchInfoFile(const std::string& gameNumber) {
    TMatchInfo matchInfo = MakeMatchInfo(8, gameNumber);
    matchInfo.Time = *EncodeDate(2024, 5, 3) + EncodeTime(12, 0, 0);
    const auto file = Temp / (gameNumber + ".xml");
    WriteFile(file, "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n" +
                        Utf8ToWindows1252XmlSafe(MatchInfoText(matchInfo)));
    return file;
  }

  // The first column of each row of a statement on the database, as its bytes.
  std::string Stored(const std::string& sql) {
    auto store = TServerStore::Open(Database, ProgramFolder() / "dravon.db");
    EXPECT_TRUE(store.Ok()) << store.Error();
    std::string bytes;
    store.Value()->Engine().Read([&](statserver::TSqlConnection& db) {
      for (auto rows = db.Query(sql); rows->Next();) bytes += rows->Blob(0) + "\n";
    });
    return bytes;
  }

  TTempFolder Temp;
  TTestDatabase League{Temp.Path(), "league.db"};
  std::string Database = League.Location();
  TConfiguration Config{ProgramFolder()};
};

// The server serving the database the commands wrote, with alice logged in.
class TServedDatabase {
 public:
  explicit TServedDatabase(const std::string& location) {
    auto store = TServerStore::Open(location, ProgramFolder() / "dravon.db");
    if (!store) throw std::runtime_error(store.Error());
    Store = std::move(store.Value());
    Server = std::make_unique<TRunningServer>(*Store, TestServerOptions());
    const THttpReply login =
        Client.Post(Server->Url("/dvadminws/dvadmin.asmx"),
                    SoapRequestEnvelope("ValidateUser", {{"user", "alice"}, {"pass", kAlicePassword}}),
                    "text/xml; charset=utf-8", {"SOAPAction: \"http://tempuri.org/ValidateUser\""});
    Session = "{" + ParseSoapResult(login.Body, "ValidateUser").Value() + "}";
  }
  THttpReply Get(const std::string& query) {
    return Client.Get(Server->Url("/default.asp?" + query + "&SESSIONID=" + Session));
  }

  std::unique_ptr<TServerStore> Store;
  std::unique_ptr<TRunningServer> Server;
  THttpClient Client;
  std::string Session;
};

TEST_F(CommandsTest, AddUserKeepsNoPasswordInClearAndCanChangeIt) {
  const std::string password = "Tiro-libre-ñ 77";
  ASSERT_EQ(Run({"adduser", "alice", password}).Status, 0);
  ASSERT_EQ(Run({"adduser", "bob", kBobPassword}).Status, 0);

  // Anywhere in the file and its log; in a database server, anywhere in the users' rows.
  std::string bytes;
  for (const auto& entry : std::filesystem::directory_iterator(Temp.Path())) {
    if (entry.path().filename().string().starts_with("league.db")) bytes += ReadFile(entry.path());
  }
  for (const char* column : {"name", "salt", "hash"}) bytes += Stored(std::string("SELECT ") + column + " FROM svUsers");
  EXPECT_NE(bytes.find("alice"), std::string::npos);
  EXPECT_EQ(bytes.find(password), std::string::npos);
  EXPECT_EQ(bytes.find(kBobPassword), std::string::npos);

  ASSERT_EQ(Run({"adduser", "alice", "Otra-clave"}).Status, 0);
  auto store = TServerStore::Open(Database, ProgramFolder() / "dravon.db");
  ASSERT_TRUE(store.Ok());
  EXPECT_FALSE(store.Value()->CheckUser("alice", password));
  EXPECT_TRUE(store.Value()->CheckUser("alice", "Otra-clave"));
  EXPECT_TRUE(store.Value()->CheckUser("bob", kBobPassword));
}

TEST_F(CommandsTest, PublishTakesATransferFileOrABareMatchInfoDocument) {
  ASSERT_EQ(Run({"adduser", "alice", kAlicePassword}).Status, 0);
  TActionList game = SimulateGame(MakeMatchInfo(12, "T-7"), 80, 3);
  StampAstroTimes(game);
  const TCommandResult transfer = Run({"publish", TransferFile("T-7", game).string(), "--user", "alice"});
  ASSERT_EQ(transfer.Status, 0) << transfer.Err;
  EXPECT_EQ(transfer.Out, "T-7\n");
  const TCommandResult bare = Run({"publish", MatchInfoFile("M-3").string(), "--user", "alice"});
  ASSERT_EQ(bare.Status, 0) << bare.Err;
  EXPECT_EQ(bare.Out, "M-3\n");

  TServedDatabase served(Database);
  pugi::xml_document games;
  const pugi::xml_node list = ParseReply(served.Get("do=get_active_games"), games);
  EXPECT_TRUE(list.find_child_by_attribute("GameNumber", "T-7"));
  EXPECT_TRUE(list.find_child_by_attribute("GameNumber", "M-3"));

  pugi::xml_document actions;
  const pugi::xml_node root = ParseReply(served.Get("do=get_action_list&game_number=T-7"), actions);
  EXPECT_EQ(static_cast<std::size_t>(std::distance(root.children().begin(), root.children().end())), game.size());

  pugi::xml_document matchInfo;
  TMatchInfo read;
  read.ReadXml(ParseReply(served.Get("do=get_match_info&game_number=M-3&get_initial=1"), matchInfo));
  EXPECT_EQ(read.Referee1, "Ana Pérez");
  EXPECT_EQ(Trimmed(read.Team2.Coach), "Łukasz Nowak");
  EXPECT_EQ(read.Team1.PlayerCount, 8);
  EXPECT_TRUE(served.Get("do=crc&game_number=M-3").Ok());
}

TEST_F(CommandsTest, PublishRefusesATakenGameAnUnknownUserAndAnUnreadableFile) {
  ASSERT_EQ(Run({"adduser", "alice", kAlicePassword}).Status, 0);
  const auto file = MatchInfoFile("M-3");
  ASSERT_EQ(Run({"publish", file.string(), "--user", "alice"}).Status, 0);

  const TCommandResult again = Run({"publish", file.string(), "--user", "alice"});
  EXPECT_NE(again.Status, 0);
  EXPECT_NE(again.Err.find("M-3"), std::string::npos) << again.Err;
  EXPECT_NE(Run({"publish", MatchInfoFile("M-4").string(), "--user", "carol"}).Status, 0);
  WriteFile(Temp / "junk.xml", "<MATCHINFO GameNumber=");
  EXPECT_NE(Run({"publish", (Temp / "junk.xml").string(), "--user", "alice"}).Status, 0);
  EXPECT_NE(Run({"publish", (Temp / "missing.xml").string(), "--user", "alice"}).Status, 0);
  // A pipe is no game file: refused at once instead of waiting for a writer.
  ASSERT_EQ(::mkfifo((Temp / "pipe.xml").c_str(), 0600), 0);
  const TCommandResult pipe = Run({"publish", (Temp / "pipe.xml").string(), "--user", "alice"});
  EXPECT_NE(pipe.Status, 0);
  EXPECT_NE(pipe.Err.find("pipe.xml"), std::string::npos) << pipe.Err;

  auto store = TServerStore::Open(Database, ProgramFolder() / "dravon.db");
  ASSERT_TRUE(store.Ok());
  EXPECT_EQ(store.Value()->GamesOf(std::nullopt).size(), 1u);
}

TEST_F(CommandsTest, PublishRefusesAPeriodBeyondWhatAGameCanReach) {
  ASSERT_EQ(Run({"adduser", "alice", kAlicePassword}).Status, 0);
  TActionFactory make;
  TActionList game;
  game.push_back(make.Period(0, 1, "Start Game"));
  game.push_back(make.Period(600, 21, "Start"));
  StampAstroTimes(game);
  const TCommandResult refused = Run({"publish", TransferFile("T-8", game).string(), "--user", "alice"});
  EXPECT_EQ(refused.Status, 1);
  EXPECT_NE(refused.Err.find("\"21\""), std::string::npos) << refused.Err;
  auto store = TServerStore::Open(Database, ProgramFolder() / "dravon.db");
  ASSERT_TRUE(store.Ok());
  EXPECT_FALSE(store.Value()->OwnerOf("T-8"));
}

TEST_F(CommandsTest, UnpublishRemovesTheGameAndEverythingOfIt) {
  ASSERT_EQ(Run({"adduser", "alice", kAlicePassword}).Status, 0);
  const TActionList game = SimulateGame(MakeMatchInfo(12, "T-7"), 40, 3);
  ASSERT_EQ(Run({"publish", TransferFile("T-7", game).string(), "--user", "alice"}).Status, 0);
  ASSERT_EQ(Run({"publish", MatchInfoFile("M-3").string(), "--user", "alice"}).Status, 0);
  {
    auto store = TServerStore::Open(Database, ProgramFolder() / "dravon.db");
    ASSERT_TRUE(store.Ok());
    ASSERT_TRUE(store.Value()->ConfirmScore("T-7", 70, 68, "Ana", ""));
    ASSERT_TRUE(store.Value()->StoreBoxScore("T-7", "<BOXSCORE/>"));
    ASSERT_TRUE(store.Value()->RecordExport("M-3"));
  }

  EXPECT_EQ(Run({"unpublish", "T-7"}).Status, 0);
  EXPECT_NE(Run({"unpublish", "T-7"}).Status, 0);
  EXPECT_EQ(Stored("SELECT count(*) FROM dvEvents"), "0\n");
  // What was received for it goes too, so that a game published again under its number starts clean.
  EXPECT_EQ(Stored("SELECT (SELECT count(*) FROM svScores) + (SELECT count(*) FROM svBoxScores)"), "0\n");
  EXPECT_EQ(Stored("SELECT count(*) FROM svExports"), "1\n");
  TServedDatabase served(Database);
  EXPECT_EQ(served.Get("do=get_match_info&game_number=T-7&get_initial=1").Status, 404);
  EXPECT_TRUE(served.Get("do=get_match_info&game_number=M-3&get_initial=1").Ok());
}

TEST_F(CommandsTest, CopyMovesALeagueWithEverythingOfItAndIsSafeToRunTwice) {
  // The league's file as a club's server kept it, moved to the database of the tests.
  const std::string old = (Temp / "old-league.db").string();
  const auto runOn = [&](const std::string& database, std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", database});
    return Finish(Spawn(args));
  };
  ASSERT_EQ(runOn(old, {"adduser", "alice", kAlicePassword}).Status, 0);
  ASSERT_EQ(runOn(old, {"adduser", "bob", kBobPassword}).Status, 0);
  TActionList game = SimulateGame(MakeMatchInfo(12, "T-7"), 120, 5);
  StampAstroTimes(game);
  ASSERT_EQ(runOn(old, {"publish", TransferFile("T-7", game).string(), "--user", "alice"}).Status, 0);
  ASSERT_EQ(runOn(old, {"publish", MatchInfoFile("M-3").string(), "--user", "bob"}).Status, 0);
  std::string checksum;
  {
    auto source = TServerStore::Open(old, ProgramFolder() / "dravon.db");
    ASSERT_TRUE(source.Ok());
    ASSERT_TRUE(source.Value()->ConfirmScore("T-7", 81, 79, "Iñaki", "600 123"));
    ASSERT_TRUE(source.Value()->StoreBoxScore("T-7", "<BOXSCORE Spectators=\"1234\"/>"));
    checksum = source.Value()->Checksum("T-7").Value();
  }

  const TCommandResult copied = Finish(Spawn({"copy", "--from", old, "--to", Database}));
  ASSERT_EQ(copied.Status, 0) << copied.Err;
  EXPECT_EQ(copied.Out, "copied 2 users and 2 games\n");
  {
    // The users log in with their passwords, and the game is the same game.
    TServedDatabase served(Database);
    EXPECT_EQ(served.Get("do=crc&game_number=T-7").Body, checksum);
    pugi::xml_document actions;
    const pugi::xml_node list = ParseReply(served.Get("do=get_action_list&game_number=T-7"), actions);
    EXPECT_EQ(static_cast<std::size_t>(std::distance(list.children().begin(), list.children().end())), game.size());
    EXPECT_TRUE(served.Store->CheckUser("bob", kBobPassword));
    EXPECT_EQ(served.Store->OwnerOf("M-3"), served.Store->CheckUser("bob", kBobPassword));
  }
  EXPECT_EQ(Stored("SELECT name FROM svScores"), "Iñaki\n");
  EXPECT_EQ(Stored("SELECT boxscore FROM svBoxScores"), "<BOXSCORE Spectators=\"1234\"/>\n");

  // A second copy is refused, and with --merge copies nothing twice.
  const TCommandResult again = Finish(Spawn({"copy", "--from", old, "--to", Database}));
  EXPECT_EQ(again.Status, 1);
  EXPECT_NE(again.Err.find("--merge"), std::string::npos) << again.Err;
  const TCommandResult merged = Finish(Spawn({"copy", "--from", old, "--to", Database, "--merge"}));
  ASSERT_EQ(merged.Status, 0) << merged.Err;
  EXPECT_EQ(merged.Out, "copied 0 users and 0 games\n2 games the target held already were left as they are: M-3 T-7\n");
  EXPECT_EQ(Stored("SELECT count(*) FROM dvEvents"), std::to_string(game.size()) + "\n");
  EXPECT_EQ(Stored("SELECT count(*) FROM svScores"), "1\n");
}

TEST_F(CommandsTest, BadArgumentsGiveTheUsageAndAFailingStatus) {
  const std::string db = Database;
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"adduser", "alice", "x"},
      {"--db", db},
      {"--db", db, "frobnicate"},
      {"--db", db, "adduser", "alice"},
      {"--db", db, "publish", "game.xml"},
      {"--db", db, "publish", "game.xml", "--owner", "alice"},
      {"--db", db, "unpublish"},
      {"--db", db, "serve", "--listen", "nowhere"},
      {"--db", db, "serve", "--listen", "127.0.0.1:99999"},
      {"--db", db, "serve", "--session-timeout", "0"},
      {"--db", db, "serve", "--threads", "many"},
      {"--db", db, "serve", "--verbose"},
      {"copy", "--from", db},
      {"copy", "--from", db, "--to", db},
      {"copy", "--from", db, "--to", (Temp / "other.db").string(), "--overwrite"},
  };
  for (const auto& args : bad) {
    const TCommandResult result = Finish(Spawn(args));
    EXPECT_NE(result.Status, 0) << ::testing::PrintToString(args);
    EXPECT_NE(result.Err.find("usage: velmora-statserver"), std::string::npos) << ::testing::PrintToString(args);
  }
  const TCommandResult help = Finish(Spawn({"--help"}));
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("usage: velmora-statserver"), std::string::npos);
}

TEST_F(CommandsTest, ServeAnswersUntilItIsTerminated) {
  ASSERT_EQ(Run({"adduser", "alice", kAlicePassword}).Status, 0);
  TServerProcess server(Database, Temp.Path(), "serve", {"--threads", "4"});
  {
    THttpClient client;
    const THttpReply ping = client.Get(server.Url("default.asp?do=ping"));
    EXPECT_EQ(ping.Body, "pong");
    EXPECT_EQ(client.Get(server.Url("live/")).Status, 200);
  }
  // The service manager stops it with SIGTERM while clients may be in the middle of a request.
  const std::string base = server.Url();
  const int port = std::stoi(base.substr(base.rfind(':') + 1));
  const int halfSent = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(connect(halfSent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string head = "GET /live/ HTTP/1.1\r\nHost: 127.0.0.1\r\n";
  ASSERT_EQ(send(halfSent, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
  EXPECT_EQ(server.Terminate(), 0) << server.Log();
  close(halfSent);
  EXPECT_NE(server.Log().find("do=ping"), std::string::npos) << server.Log();
  if (!Database.starts_with("postgresql:")) {
    TSqliteDatabase database(Database);
    auto check = database.Prepare("PRAGMA integrity_check");
    ASSERT_TRUE(check->Step());
    EXPECT_EQ(check->Text(0), "ok");
  }
}

}  // namespace
}  // namespace velmora::testing

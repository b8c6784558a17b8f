// The administration commands of the server executable, run as a league's administrator runs them.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>

#include "platform/configuration.h"
#include "platform/folders.h"
#include "records/date_time.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "protocol/soap.h"
#include "server_fixture.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "store/sqlite.h"

extern char** environ;

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
    std::vector<std::string> line = {(ProgramFolder() / "velmora-statserver").string()};
    line.insert(line.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : line) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, (Temp / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, (Temp / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (failed) throw std::runtime_error("cannot start " + line[0]);
    return pid;
  }
  TCommandResult Finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(Temp / "out.txt"), ReadFile(Temp / "err.txt")};
  }
  TCommandResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", Database.string()});
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

  TTempFolder Temp;
  std::filesystem::path Database = Temp / "league.db";
  TConfiguration Config{ProgramFolder()};
};

// The server serving the database the commands wrote, with alice logged in.
class TServedDatabase {
 public:
  explicit TServedDatabase(const std::filesystem::path& file) {
    auto store = TServerStore::Open(file, ProgramFolder() / "dravon.db");
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

  std::string bytes;
  for (const auto& entry : std::filesystem::directory_iterator(Temp.Path())) {
    if (entry.path().filename().string().starts_with("league.db")) bytes += ReadFile(entry.path());
  }
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

  EXPECT_EQ(Run({"unpublish", "T-7"}).Status, 0);
  EXPECT_NE(Run({"unpublish", "T-7"}).Status, 0);
  {
    TSqliteDatabase database(Database);
    auto events = database.Prepare("SELECT count(*) FROM dvEvents");
    ASSERT_TRUE(events->Step());
    EXPECT_EQ(events->Integer(0), 0);
  }
  TServedDatabase served(Database);
  EXPECT_EQ(served.Get("do=get_match_info&game_number=T-7&get_initial=1").Status, 404);
  EXPECT_TRUE(served.Get("do=get_match_info&game_number=M-3&get_initial=1").Ok());
}

TEST_F(CommandsTest, BadArgumentsGiveTheUsageAndAFailingStatus) {
  const std::string db = Database.string();
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
  const pid_t pid = Spawn({"--db", Database.string(), "serve", "--listen", "127.0.0.1:0", "--threads", "4"});
  std::smatch match;
  std::string err;
  const std::regex listening(R"(listening on (http://127\.0\.0\.1:\d+/))");
  for (int i = 0; i < 100 && !std::regex_search(err, match, listening); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    err = ReadFile(Temp / "err.txt");
  }
  if (match.empty()) {
    kill(pid, SIGKILL);
    Finish(pid);
    FAIL() << err;
  }
  {
    THttpClient client;
    const THttpReply ping = client.Get(match[1].str() + "default.asp?do=ping");
    EXPECT_EQ(ping.Body, "pong");
    EXPECT_EQ(client.Get(match[1].str() + "live/").Status, 200);
  }
  // The service manager stops it with SIGTERM while clients may be in the middle of a request.
  const int port = std::stoi(match[1].str().substr(match[1].str().rfind(':') + 1));
  const int halfSent = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(connect(halfSent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string head = "GET /live/ HTTP/1.1\r\nHost: 127.0.0.1\r\n";
  ASSERT_EQ(send(halfSent, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  kill(pid, SIGTERM);
  // Well before the service manager's stop timeout turns to SIGKILL.
  int status = 0;
  for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  close(halfSent);
  if (kill(pid, 0) == 0) {
    kill(pid, SIGKILL);
    Finish(pid);
    FAIL() << "SIGTERM left the server running while a client held a request";
  }
  err = ReadFile(Temp / "err.txt");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << err;
  EXPECT_NE(err.find("do=ping"), std::string::npos) << err;
  TSqliteDatabase database(Database);
  auto check = database.Prepare("PRAGMA integrity_check");
  ASSERT_TRUE(check->Step());
  EXPECT_EQ(check->Text(0), "ok");
}

}  // namespace
}  // namespace velmora::testing

#include "client_fixture.h"

#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include <pugixml.hpp>

#include "command_line.h"
#include "platform/folders.h"
#include "records/date_time.h"
#include "protocol/form_encoding.h"
#include "serverlink/uploader_thread.h"
#include "wait_until.h"

namespace velmora::testing {

using namespace std::chrono_literals;

namespace {

statserver::TServerOptions ServerOptions() {
  statserver::TServerOptions options;
  options.Threads = 16;
  options.ProgramFolder = ProgramFolder();
  options.LogRequests = false;
  return options;
}

// Hands the request on to the statistics server, as a plain HTTP proxy would.
TLoopbackReply Forward(int port, const TLoopbackRequest& request) {
  httplib::Client server("127.0.0.1", port);
  server.set_url_encode(false);
  server.set_read_timeout(10, 0);
  httplib::Headers headers;
  if (const std::string action = request.Header("soapaction"); !action.empty()) headers.emplace("SOAPAction", action);
  const httplib::Result result = request.Method == "POST"
                                     ? server.Post(request.Target.c_str(), headers, request.Body,
                                                   request.Header("content-type").c_str())
                                     : server.Get(request.Target.c_str(), headers);
  TLoopbackReply reply;
  if (!result) {
    reply.Kind = TLoopbackReply::TKind::DropConnection;
    return reply;
  }
  reply.Status = result->status;
  reply.Body = result->body;
  reply.ContentType = result->get_header_value("Content-Type");
  return reply;
}

}  // namespace

TCliRun RunCli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::Run(args, out, err);
  return {status, out.str(), err.str()};
}

TRestartableServer::TRestartableServer(statserver::TServerStore& store) : Store_(store) { Start(); }

TRestartableServer::~TRestartableServer() { Stop(); }

std::string TRestartableServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(Port_) + std::string(path);
}

void TRestartableServer::Start() {
  if (Server_) return;
  Server_ = std::make_unique<statserver::TStatServer>(Store_, ServerOptions());
  const auto port = Server_->Bind("127.0.0.1", Port_);
  if (!port) throw std::runtime_error("cannot bind loopback port " + std::to_string(Port_));
  Port_ = *port;
  Runner_ = std::thread([this] { Server_->Run(); });
  // Stop() is lost on a server that has not entered its loop yet; an answered ping proves it has.
  httplib::Client probe("127.0.0.1", Port_);
  for (int attempt = 0; attempt < 500; ++attempt) {
    if (const auto answer = probe.Get("/default.asp?do=ping"); answer && answer->body == "pong") return;
    std::this_thread::sleep_for(10ms);
  }
  throw std::runtime_error("the statistics server does not answer");
}

void TRestartableServer::Stop() {
  if (!Server_) return;
  Server_->Stop();
  Runner_.join();
  Server_.reset();
}

ClientE2eTest::ClientE2eTest()
    : Front([this](const TLoopbackRequest& request) {
        TLoopbackReply reply;
        {
          const std::lock_guard guard(MisbehaviourLock);
          const TFormFields query = ParseFormText(request.Query());
          const std::string* action = FindField(query, "do");
          if (!MisbehavingAction.empty() && (!action || *action != MisbehavingAction)) {
            return Forward(ServerPort, request);
          }
          if (Mode == TFrontMode::Canned) return TLoopbackReply::Text(CannedAnswer);
        }
        switch (Mode.load()) {
          case TFrontMode::Forward: return Forward(ServerPort, request);
          case TFrontMode::Refuse: return TLoopbackReply::Text("internal error", 500);
          case TFrontMode::Forbidden: return TLoopbackReply::Text("session expired", 403);
          case TFrontMode::TooLarge: return TLoopbackReply::Text("body too large", 413);
          case TFrontMode::Canned: break;  // answered above, under the lock
          case TFrontMode::NotHttp: reply.Kind = TLoopbackReply::TKind::NotHttp; break;
          case TFrontMode::Drop: reply.Kind = TLoopbackReply::TKind::DropConnection; break;
          case TFrontMode::Stall: reply.Delay = std::chrono::minutes(1); break;
        }
        return reply;
      }),
      Config(ProgramFolder()),
      Model(Config) {
  auto store = statserver::TServerStore::Open(Temp / "server.db", ProgramFolder() / "dravon.db");
  if (!store) throw std::runtime_error(store.Error());
  ServerStore = std::move(store.Value());
  EXPECT_TRUE(ServerStore->AddUser(kOperator, kOperatorPassword).Ok());
  EXPECT_TRUE(ServerStore->AddUser("otro", "otra-clave").Ok());
  Server = std::make_unique<TRestartableServer>(*ServerStore);
  ServerPort = Server->Port();

  TMatchInfo game = MakeMatchInfo(12, "G-1");
  game.Time = *EncodeDate(2024, 3, 14) + EncodeTime(18, 30, 0);
  Publish(game);

  auto local = TDatabasePlugin::OpenFile(Temp / "local.db", ProgramFolder() / "dravon.db");
  if (!local) throw std::runtime_error(local.Error());
  Local = local.Value().get();
  Model.SetStore(std::move(local.Value()));

  // Short waits: a failed request is over within a second, a retry within milliseconds.
  Config.SetInt("read_timeout", 1000);
  App = std::make_unique<TApp>(Model, Config, Registry, ProgramFolder(), &Ui);
  App->LoadCatalogue();
}

ClientE2eTest::~ClientE2eTest() {
  App.reset();
  Front.Stop();
}

void ClientE2eTest::Publish(const TMatchInfo& matchInfo, const TActionList* actions) {
  pugi::xml_document document;
  std::ostringstream text;
  matchInfo.ToXml(document, TPeriodSettings{}).print(text, "", pugi::format_raw, pugi::encoding_utf8);
  // The server keeps the match information as it reads it back from the text.
  TMatchInfo read;
  read.ReadXml(document.document_element());
  EXPECT_TRUE(ServerStore->Publish(read, text.str(), actions, kOperator).Ok()) << matchInfo.GameNumber;
}

void ClientE2eTest::MisbehaveOn(const std::string& action, TFrontMode mode) {
  const std::lock_guard guard(MisbehaviourLock);
  MisbehavingAction = action;
  Mode = mode;
}

TInternetPlugin& ClientE2eTest::Connect(const std::string& url) {
  const TCredentials entered{url, kOperator, kOperatorPassword};
  auto outcome = RunLogin(entered, Config, Registry, Ui);
  if (!outcome) throw std::runtime_error("login failed: " + outcome.Error());
  auto client = std::make_unique<TInternetPlugin>(Config, &Ui);
  client->SetRetryPause(5ms);
  TObjectHash<TMatchInfo> games;
  Local->LoadGamesList(games);
  EXPECT_TRUE(client->Login(games, outcome.Value(), entered, true, Registry));
  Client = client.get();
  Model.SetServer(std::move(client));
  return *Client;
}

void ClientE2eTest::Pull(const std::string& gameNumber) {
  Model.MatchInfo = TMatchInfo();
  Model.MatchInfo.GameNumber = gameNumber;
  Model.MatchInfo.Availability = kOnlineOnly;
  ASSERT_TRUE(Client->GetMatchInfo(gameNumber, Model.MatchInfo, false));
  ASSERT_FALSE(Model.MatchInfo.Empty);
  TUploaderThread::BringIntoStore(Model, *Client, *Local)->Wait();
  Model.MatchInfo.Availability = kLocalAndOnline;
}

void ClientE2eTest::StartLive(std::chrono::milliseconds period) {
  App->SetSenderFactory([this, period]() -> std::unique_ptr<TSender> {
    auto queue = std::make_unique<TQueue>(Model, Client, UiThread, *App, period);
    queue->AttachHistoryList(&History);
    Queue = queue.get();
    return queue;
  });
  App->StartSender();
}

std::chrono::milliseconds ClientE2eTest::StopLive() {
  // A sender that cannot be stopped would hang the whole run; end it with a clear word instead.
  std::atomic<bool> stopped{false};
  std::thread watchdog([&] {
    for (int waited = 0; waited < 3000 && !stopped; ++waited) std::this_thread::sleep_for(10ms);
    if (!stopped) {
      std::fprintf(stderr, "closing the live window has not returned after 30 s\n");
      std::abort();
    }
  });
  const auto start = std::chrono::steady_clock::now();
  App->StopSender();
  const auto took = std::chrono::steady_clock::now() - start;
  stopped = true;
  watchdog.join();
  Queue = nullptr;
  return std::chrono::duration_cast<std::chrono::milliseconds>(took);
}

bool ClientE2eTest::WaitUntilSent(std::chrono::milliseconds timeout) {
  if (!WaitUntil([&] { return Queue->PendingCount() == 0; }, timeout)) return false;
  UiThread.RunPosted();
  return true;
}

std::vector<std::string> ClientE2eTest::LocalIds(const std::string& gameNumber) {
  TActionList actions;
  EXPECT_TRUE(Local->LoadActions(gameNumber, actions));
  std::vector<std::string> ids;
  for (const auto& action : actions) ids.push_back(action->ID);
  return ids;
}

std::vector<std::string> ClientE2eTest::ServerIds(const std::string& gameNumber) {
  std::vector<std::string> ids;
  const auto snapshot = ServerStore->Snapshot(gameNumber);
  EXPECT_TRUE(snapshot) << gameNumber;
  if (!snapshot) return ids;
  for (const auto& action : snapshot->Actions) ids.push_back(action->ID);
  return ids;
}

std::string ClientE2eTest::LocalChecksum(const std::string& gameNumber) {
  // As the job compares: with the games-list entry of the game.
  TObjectHash<TMatchInfo> games;
  EXPECT_TRUE(Local->LoadGamesList(games));
  if (!games.Exists(gameNumber)) return "no local game";
  const auto checksum = Local->ComputeChecksum(games.Get(gameNumber));
  return checksum ? checksum.Value() : checksum.Error();
}

std::string ClientE2eTest::ServerChecksum(const std::string& gameNumber) {
  const auto checksum = ServerStore->Checksum(gameNumber);
  return checksum ? checksum.Value() : checksum.Error();
}

std::vector<TLoopbackRequest> ClientE2eTest::FrontRequests(std::string_view action) const {
  std::vector<TLoopbackRequest> found;
  for (const auto& request : Front.Requests()) {
    const TFormFields query = ParseFormText(request.Query());
    const std::string* field = FindField(query, "do");
    if (field && *field == action) found.push_back(request);
  }
  return found;
}

std::vector<std::vector<std::string>> ClientE2eTest::FrontBatches() const {
  std::vector<std::vector<std::string>> batches;
  for (const auto& request : FrontRequests("multipleaction")) {
    pugi::xml_document document;
    const TFormFields fields = ParseFormText(request.Body);
    const std::string* text = FindField(fields, "action");
    if (!text || !document.load_string(text->c_str())) continue;
    auto& batch = batches.emplace_back();
    for (const auto& element : document.child("ACTIONS").children("ACTION")) {
      if (std::string_view(element.attribute("ShortName").value()) != "clock") batch.emplace_back(element.attribute("ID").value());
    }
  }
  return batches;
}

}  // namespace velmora::testing

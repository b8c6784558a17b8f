#include "server_fixture.h"

#include <sstream>

#include "platform/folders.h"
#include "records/date_time.h"
#include "protocol/soap.h"
#include "stats/game_documents.h"

namespace velmora::testing {

statserver::TServerOptions TestServerOptions() {
  statserver::TServerOptions options;
  options.Threads = 48;
  options.MaxBodyBytes = 4 * 1024 * 1024;
  options.ProgramFolder = ProgramFolder();
  options.LogRequests = false;
  return options;
}

TRunningServer::TRunningServer(statserver::TServerStore& store, statserver::TServerOptions options)
    : Server_(std::make_unique<statserver::TStatServer>(store, std::move(options))) {
  const auto port = Server_->Bind("127.0.0.1", 0);
  if (!port) throw std::runtime_error("cannot bind a loopback port");
  Port_ = *port;
  Runner_ = std::thread([this] { Server_->Run(); });
  // Stop() is lost on a server that has not started its loop yet; a served ping proves it has.
  THttpClient probe;
  if (!probe.Get(Url("/default.asp?do=ping")).Ok()) throw std::runtime_error("the server does not answer");
}

TRunningServer::~TRunningServer() {
  Server_->Stop();
  Runner_.join();
}

std::string TRunningServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(Port_) + std::string(path);
}

std::string MatchInfoText(const TMatchInfo& matchInfo) {
  pugi::xml_document document;
  std::ostringstream text;
  matchInfo.ToXml(document, TPeriodSettings{}).print(text, "", pugi::format_raw, pugi::encoding_utf8);
  return text.str();
}

std::string ActionsText(const TActionList& actions, std::string_view gameNumber) {
  std::string text = "<ACTIONS>";
  for (const auto& action : actions) {
    pugi::xml_document document;
    std::ostringstream element;
    action->ToXml(document, gameNumber).print(element, "", pugi::format_raw, pugi::encoding_utf8);
    text += element.str();
  }
  return text + "</ACTIONS>";
}

void StampAstroTimes(TActionList& actions, int first) {
  for (std::size_t i = 0; i < actions.size(); ++i) {
    actions[i]->AstroTime = FromSeconds(10 * 3600 + first + static_cast<int>(i));
  }
}

TActionList CloneAll(const TActionList& actions) {
  TActionList copy;
  for (const auto& action : actions) copy.push_back(action->Clone());
  return copy;
}

pugi::xml_node ParseReply(const THttpReply& reply, pugi::xml_document& document) {
  const std::string text = DecodeXmlBytes(reply.Body);
  if (!document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8)) return {};
  return document.document_element();
}

statserver::TServerOptions StatServerTest::Options() {
  statserver::TServerOptions options = TestServerOptions();
  const auto ahead = [this] { return std::chrono::milliseconds(ClockAheadMs.load()); };
  options.SessionClock = [ahead] { return std::chrono::system_clock::now() + ahead(); };
  options.LoginClock = [ahead] { return std::chrono::steady_clock::now() + ahead(); };
  return options;
}

StatServerTest::StatServerTest() {
  auto store = statserver::TServerStore::Open(Temp / "server.db", ProgramFolder() / "dravon.db");
  if (!store) throw std::runtime_error(store.Error());
  Store = std::move(store.Value());
  EXPECT_TRUE(Store->AddUser("alice", kAlicePassword).Ok());
  EXPECT_TRUE(Store->AddUser("bob", kBobPassword).Ok());
  Server = std::make_unique<TRunningServer>(*Store, Options());

  TMatchInfo game = MakeMatchInfo(12, "G-1");
  game.Time = *EncodeDate(2024, 3, 14) + EncodeTime(18, 30, 0);
  Game = Publish(game, "alice");
  game.GameNumber = "B-1";
  game.Team1.Name = "Bob's team";
  Publish(game, "bob");
  Session = Login("alice", kAlicePassword);
}

StatServerTest::~StatServerTest() = default;

TMatchInfo StatServerTest::Publish(const TMatchInfo& matchInfo, const std::string& user) {
  const std::string text = MatchInfoText(matchInfo);
  pugi::xml_document document;
  EXPECT_TRUE(document.load_string(text.c_str()));
  TMatchInfo read;
  read.ReadXml(document.document_element());
  EXPECT_TRUE(Store->Publish(read, text, nullptr, user).Ok()) << matchInfo.GameNumber;
  return read;
}

std::string StatServerTest::Login(const std::string& user, const std::string& password) {
  const THttpReply reply =
      Soap("ValidateUser", {{"user", user}, {"pass", password}}, std::string(kSoapServiceNamespace) + "ValidateUser");
  EXPECT_TRUE(reply.Ok()) << reply.Status << reply.Error;
  const auto result = ParseSoapResult(reply.Body, "ValidateUser");
  EXPECT_TRUE(result.Ok()) << reply.Body;
  if (!result || result.Value().empty()) return {};
  return "{" + result.Value() + "}";
}

THttpReply StatServerTest::Soap(std::string_view operation, const TFormFields& parameters,
                                const std::string& soapAction) {
  return Client.Post(Server->Url("/dvadminws/dvadmin.asmx"), SoapRequestEnvelope(operation, parameters),
                     "text/xml; charset=utf-8", {"SOAPAction: \"" + soapAction + "\""});
}

THttpReply StatServerTest::GetWithSession(const std::string& query, const std::string& session) {
  return Get(query + "&SESSIONID=" + (session.empty() ? Session : session));
}

THttpReply StatServerTest::SendActions(const TActionList& actions, const std::string& gameNumber,
                                       const std::string& session) {
  return PostForm("game_number=" + gameNumber + "&do=multipleaction&SESSIONID=" + (session.empty() ? Session : session),
                  {{"action", ActionsText(actions, gameNumber)}, {"do", "multipleaction"}});
}

THttpReply StatServerTest::UpdateMatchInfo(const std::string& xmlText, const std::string& session) {
  std::string text;
  for (const char c : xmlText) {
    if (c == '\n') {
      text += "%0A";
    } else if (c == '\r') {
      text += "%0D";
    } else {
      text += c;
    }
  }
  return PostForm("do=update_match_info&SESSIONID=" + (session.empty() ? Session : session), {{"matchinfo", text}});
}

TActionList StatServerTest::ServerActions(const std::string& gameNumber) {
  const THttpReply reply = GetWithSession("do=get_action_list&game_number=" + FormEncodeValue(gameNumber));
  EXPECT_TRUE(reply.Ok()) << reply.Status << " " << reply.Body;
  pugi::xml_document document;
  const pugi::xml_node root = ParseReply(reply, document);
  EXPECT_TRUE(root) << reply.Body;
  TActionList actions;
  for (const pugi::xml_node& element : root.children("ACTION")) {
    auto action = TAction::CreateFromXml(element, 0);
    action->AstroTime = ParseTime(element.attribute("AstroTime").value()).value_or(-1);
    actions.push_back(std::move(action));
  }
  return actions;
}

std::vector<std::string> StatServerTest::ServerActionIds(const std::string& gameNumber) {
  std::vector<std::string> ids;
  for (const auto& action : ServerActions(gameNumber)) ids.push_back(action->ID);
  return ids;
}

}  // namespace velmora::testing

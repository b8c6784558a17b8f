#include "stat_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cstdio>
#include <ctime>
#include <sstream>

#include <pugixml.hpp>

#include "live_pages.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "records/xml_text.h"
#include "protocol/form_encoding.h"
#include "protocol/soap.h"
#include "server_store.h"
#include "sessions.h"
#include "stats/game_documents.h"

namespace velmora::statserver {

namespace {

// A request that is answered with an error status; the reason goes to the log line.
struct TRequestError {
  int Status;
  std::string Reason;
};

thread_local std::chrono::steady_clock::time_point RequestStart;
thread_local std::string RequestNote;

constexpr const char* kXmlDeclaration = R"(<?xml version="1.0" encoding="windows-1252"?>)";

void ReplyText(httplib::Response& response, std::string_view text) {
  response.set_content(Utf8ToWindows1252XmlSafe(text), "text/plain; charset=windows-1252");
}

void ReplyXml(httplib::Response& response, std::string_view xml) {
  response.set_content(kXmlDeclaration + Utf8ToWindows1252XmlSafe(xml), "text/xml; charset=windows-1252");
}

std::string QueryOf(const httplib::Request& request) {
  const std::size_t mark = request.target.find('?');
  return mark == std::string::npos ? std::string() : request.target.substr(mark + 1);
}

// The fields of the query and, for a form post, of the body; query fields come first.
struct TRequestFields {
  explicit TRequestFields(const httplib::Request& request) : Query(ParseFormText(QueryOf(request))) {
    if (request.method == "POST") Body = ParseFormText(request.body);
  }
  const std::string* Find(std::string_view name) const {
    const std::string* value = FindField(Query, name);
    return value ? value : FindField(Body, name);
  }
  const std::string& Require(std::string_view name) const {
    const std::string* value = Find(name);
    if (!value) throw TRequestError{400, "missing field \"" + std::string(name) + "\""};
    return *value;
  }
  TFormFields Query;
  TFormFields Body;
};

int RequireInteger(const TRequestFields& fields, std::string_view name) {
  const auto value = ParseInt32(fields.Require(name));
  if (!value) throw TRequestError{400, "field \"" + std::string(name) + "\" is not a number"};
  return *value;
}

// Line breaks inside attribute values stay as they are instead of becoming blanks.
constexpr unsigned kKeepLineBreaks = pugi::parse_default & ~(pugi::parse_wconv_attribute | pugi::parse_eol);

// Parses an XML text whose root must have the given name (any name when empty).
pugi::xml_node ParseDocument(pugi::xml_document& document, std::string_view text, std::string_view rootName,
                             unsigned options = pugi::parse_default) {
  const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size(), options, pugi::encoding_utf8);
  if (!parsed) throw TRequestError{400, std::string("malformed XML: ") + parsed.description()};
  const pugi::xml_node root = document.document_element();
  if (!rootName.empty() && root.name() != rootName) {
    throw TRequestError{400, "expected " + std::string(rootName) + ", got " + root.name()};
  }
  return root;
}

// The actions of a posted list, with their entry times; each must name its kind.
TActionList ReadActions(const pugi::xml_node& root) {
  TActionList actions = ReadActionElements(root, 0, true);
  for (const auto& action : actions) {
    if (action->ShortName.empty()) throw TRequestError{400, "an ACTION without ShortName"};
  }
  return actions;
}

std::string RestoreLineBreaks(std::string text) {
  for (const auto& [sequence, character] : {std::pair{"%0A", "\n"}, std::pair{"%0D", "\r"}}) {
    for (std::size_t at = text.find(sequence); at != std::string::npos; at = text.find(sequence, at + 1)) {
      text.replace(at, 3, character);
    }
  }
  return text;
}

void LogLine(const httplib::Request& request, const httplib::Response& response) {
  const double milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - RequestStart).count();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::string what = request.path;
  if (const auto doField = request.get_param_value("do"); !doField.empty()) what += " do=" + doField;
  if (const auto game = request.get_param_value("game_number"); !game.empty()) what += " game=" + game;
  std::fprintf(stderr, "%s %s %s %d %.1fms%s%s\n", stamp, request.remote_addr.c_str(), request.method.c_str(),
               response.status, milliseconds, (" " + what).c_str(),
               RequestNote.empty() ? "" : (" (" + RequestNote + ")").c_str());
}

// Form posts are read by the handler itself: the HTTP library refuses any form body above 8 KiB,
// far less than a live batch or an action list. The body limit of the options still holds.
template <typename THandler>
auto ReadingBody(THandler handler) {
  return [handler](const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& reader) {
    httplib::Request complete = request;
    const bool read = reader([&](const char* data, std::size_t length) {
      complete.body.append(data, length);
      return true;
    });
    if (!read) {
      if (response.status != 413) response.status = 400;
      RequestNote = "the body could not be read";
      return;
    }
    handler(complete, response);
  };
}

// Runs a handler, turning its errors into statuses: never a crash, always a line in the log.
template <typename THandler>
auto Guarded(THandler handler) {
  return [handler](const httplib::Request& request, httplib::Response& response) {
    try {
      handler(request, response);
    } catch (const TRequestError& error) {
      response.status = error.Status;
      RequestNote = error.Reason;
      ReplyText(response, error.Reason);
    } catch (const std::exception& error) {
      response.status = 500;
      RequestNote = error.what();
      ReplyText(response, "internal error");
    }
  };
}

}  // namespace

TStatServer::TStatServer(TServerStore& store, TServerOptions options)
    : Store_(store),
      Options_(std::move(options)),
      Sessions_(std::make_unique<TSessions>(store, Options_.SessionIdleTime)),
      Live_(std::make_unique<TLivePages>(store, Options_.ProgramFolder, Options_.Language)),
      Http_(std::make_unique<httplib::Server>()) {
  const int threads = Options_.Threads;
  Http_->new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<std::size_t>(threads)); };
  Http_->set_payload_max_length(Options_.MaxBodyBytes);
  // One request per connection: the library watches an idle kept-alive connection by polling it,
  // which costs more with hundreds of games than opening a connection on loopback does.
  Http_->set_keep_alive_max_count(1);
  Http_->set_socket_options([this](int socket) {
    const int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    ListenSocket_ = socket;
  });
  Http_->set_keep_alive_timeout(10);
  // A response goes out in two writes; without this the second waits for the client's delayed
  // acknowledgement, some 40 ms on every request of a kept-alive connection.
  Http_->set_tcp_nodelay(true);
  Http_->set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
    RequestStart = std::chrono::steady_clock::now();
    RequestNote.clear();
    return httplib::Server::HandlerResponse::Unhandled;
  });
  if (Options_.LogRequests) Http_->set_logger(LogLine);
  Routes();
}

TStatServer::~TStatServer() = default;

std::optional<int> TStatServer::Bind(const std::string& host, int port) {
  int bound = port;
  if (port == 0) {
    bound = Http_->bind_to_any_port(host);
    if (bound <= 0) return std::nullopt;
  } else if (!Http_->bind_to_port(host, port)) {
    return std::nullopt;
  }
  // The library listens with a backlog of 5; hundreds of games connecting at once need more, or
  // their connections wait for the client to try again a second later.
  if (ListenSocket_ >= 0) ::listen(ListenSocket_, SOMAXCONN);
  return bound;
}

bool TStatServer::Run() { return Http_->listen_after_bind(); }

void TStatServer::Stop() { Http_->stop(); }

void TStatServer::Routes() {
  Http_->Get(R"(.*/default\.asp)", Guarded([this](const auto& q, auto& r) { HandleDefaultPage(q, r); }));
  Http_->Post(R"(.*/default\.asp)", ReadingBody(Guarded([this](const auto& q, auto& r) { HandleDefaultPage(q, r); })));
  Http_->Post(R"(.*/statistics\.asp)",
              ReadingBody(Guarded([this](const auto& q, auto& r) { HandleStatisticsPage(q, r); })));
  Http_->Post(R"(/dvadminws/dvadmin\.asmx)", Guarded([this](const auto& q, auto& r) { HandleSoap(q, r); }));

  Http_->Get("/live/", Guarded([this](const httplib::Request&, httplib::Response& response) {
               response.set_content(Live_->IndexPage(), "text/html; charset=utf-8");
             }));
  Http_->Get(R"(/live/(.+)\.json)", Guarded([this](const httplib::Request& request, httplib::Response& response) {
               const auto json = Live_->GameJson(request.matches[1].str());
               if (!json) throw TRequestError{404, "no such game"};
               response.set_header("Cache-Control", "no-store");
               response.set_content(*json, "application/json; charset=utf-8");
             }));
  Http_->Get(R"(/live/(.+))", Guarded([this](const httplib::Request& request, httplib::Response& response) {
               const auto page = Live_->GamePage(request.matches[1].str());
               if (!page) throw TRequestError{404, "no such game"};
               response.set_content(*page, "text/html; charset=utf-8");
             }));
  // A folder stands for its default page, as the program's login asks "URL?do=ping"; without a
  // request the site's root leads to the live pages.
  Http_->Get(R"(.*/)", Guarded([this](const httplib::Request& request, httplib::Response& response) {
               if (request.has_param("do")) return HandleDefaultPage(request, response);
               if (request.path != "/") throw TRequestError{404, "not found"};
               response.set_redirect("/live/");
             }));
}

void TStatServer::HandleDefaultPage(const httplib::Request& request, httplib::Response& response) {
  const TRequestFields fields(request);
  const std::string* action = fields.Find("do");
  if (!action) throw TRequestError{400, "missing field \"do\""};
  if (*action == "ping") {
    ReplyText(response, "pong");
    return;
  }

  const std::string* session = fields.Find("SESSIONID");
  if (!session) throw TRequestError{403, "no session"};
  const auto user = Sessions_->Validate(*session);
  if (!user) throw TRequestError{403, "session expired"};

  if (*action == "get_active_games") {
    pugi::xml_document document;
    pugi::xml_node games = document.append_child("GAMES");
    for (const TGameSummary& game : Store_.GamesOf(*user)) {
      pugi::xml_node node = games.append_child("GAME");
      node.append_attribute("GameNumber") = game.GameNumber.c_str();
      node.append_attribute("Team1_ID") = game.Team1Id.c_str();
      node.append_attribute("Team2_ID") = game.Team2Id.c_str();
      node.append_attribute("Team1_Name") = game.Team1Name.c_str();
      node.append_attribute("Team2_Name") = game.Team2Name.c_str();
      node.append_attribute("Time") = game.Time.c_str();
    }
    ReplyXml(response, XmlText(document.document_element()));
    return;
  }

  // Every other request is about one game of the session's user.
  const auto ownGame = [&](const std::string& gameNumber) {
    const auto owner = Store_.OwnerOf(gameNumber);
    if (!owner) throw TRequestError{404, "no game \"" + gameNumber + "\""};
    if (*owner != *user) throw TRequestError{403, "game \"" + gameNumber + "\" belongs to another user"};
  };
  const auto check = [](const TStatus& status) {
    if (!status) throw TRequestError{500, status.Error()};
  };

  if (*action == "update_match_info") {
    // The line breaks put back stand inside attribute values, where they are kept; the stored text
    // carries them as character references, which every later reader keeps too.
    const std::string xml = RestoreLineBreaks(fields.Require("matchinfo"));
    pugi::xml_document document;
    const pugi::xml_node root = ParseDocument(document, xml, "MATCHINFO", kKeepLineBreaks);
    TMatchInfo matchInfo;
    matchInfo.ReadXml(root);
    if (matchInfo.Empty) throw TRequestError{400, "the match information cannot be read"};
    ownGame(matchInfo.GameNumber);
    std::ostringstream stored;
    root.print(stored, "", pugi::format_raw, pugi::encoding_utf8);
    check(Store_.UpdateMatchInfo(matchInfo, stored.str()));
    ReplyText(response, "OK");
    return;
  }

  const std::string& gameNumber = fields.Require("game_number");
  ownGame(gameNumber);
  if (*action == "get_match_info") {
    const auto xml = Store_.MatchInfoXml(gameNumber, RequireInteger(fields, "get_initial") == 1);
    if (!xml) throw TRequestError{404, "no game"};
    ReplyXml(response, *xml);
  } else if (*action == "get_action_list") {
    const auto xml = Store_.ActionListXml(gameNumber);
    if (!xml) throw TRequestError{500, "cannot read the action list"};
    ReplyXml(response, *xml);
  } else if (*action == "send_action_list") {
    std::string text;
    for (int piece = 1;; ++piece) {
      const std::string* part = fields.Find("actions" + std::to_string(piece));
      if (!part) break;
      text += *part;
    }
    TActionList actions;
    if (!text.empty()) {
      pugi::xml_document document;
      actions = ReadActions(ParseDocument(document, text, ""));
    }
    check(Store_.SaveActionList(gameNumber, actions, RequireInteger(fields, "append") == 1));
    ReplyText(response, "OK");
  } else if (*action == "multipleaction") {
    pugi::xml_document document;
    const TActionList actions = ReadActions(ParseDocument(document, fields.Require("action"), "ACTIONS"));
    check(Store_.ApplyActions(gameNumber, actions));
    ReplyText(response, "OK");
  } else if (*action == "crc") {
    const auto checksum = Store_.Checksum(gameNumber);
    if (!checksum) throw TRequestError{500, checksum.Error()};
    ReplyText(response, checksum.Value());
  } else if (*action == "confirm_score") {
    check(Store_.ConfirmScore(gameNumber, RequireInteger(fields, "score_a"), RequireInteger(fields, "score_b"),
                              fields.Require("name"), fields.Require("contacts")));
    ReplyText(response, "OK");
  } else {
    throw TRequestError{400, "unknown request \"" + *action + "\""};
  }
}

void TStatServer::HandleStatisticsPage(const httplib::Request& request, httplib::Response& response) {
  const TRequestFields fields(request);
  if (fields.Require("do") != "upload_statistics") throw TRequestError{400, "unknown request"};
  const std::string& gameNumber = fields.Require("game_number");
  if (!Store_.OwnerOf(gameNumber)) throw TRequestError{404, "no game \"" + gameNumber + "\""};
  const std::string& boxScore = fields.Require("boxscore");
  pugi::xml_document document;
  ParseDocument(document, boxScore, "BOXSCORE");
  if (const TStatus stored = Store_.StoreBoxScore(gameNumber, boxScore); !stored) {
    throw TRequestError{500, stored.Error()};
  }
  ReplyText(response, "Estadísticas del partido " + gameNumber + " recibidas correctamente.");
}

void TStatServer::HandleSoap(const httplib::Request& request, httplib::Response& response) {
  const auto fault = [&](int status, std::string_view code, const std::string& message) {
    response.status = status;
    RequestNote = message;
    response.set_content(SoapFaultEnvelope(code, message), "text/xml; charset=utf-8");
  };
  const auto call = ParseSoapRequest(request.body);
  if (!call) return fault(500, "Client", call.Error());
  std::string soapAction = request.get_header_value("SOAPAction");
  if (soapAction.size() >= 2 && soapAction.front() == '"' && soapAction.back() == '"') {
    soapAction = soapAction.substr(1, soapAction.size() - 2);
  }
  const TSoapCall& soap = call.Value();
  if (!soapAction.empty() && soapAction != std::string(kSoapServiceNamespace) + soap.Operation) {
    return fault(500, "Client", "SOAPAction \"" + soapAction + "\" does not match the body");
  }
  const auto parameter = [&](std::string_view name) {
    const std::string* value = FindField(soap.Parameters, name);
    return value ? *value : std::string();
  };

  std::string result;
  if (soap.Operation == "ValidateUser") {
    if (const auto user = Store_.CheckUser(parameter("user"), parameter("pass"))) result = Sessions_->Create(*user);
  } else if (soap.Operation == "ExportToSIMS") {
    const std::string gameNumber = parameter("gameNumber");
    if (!Store_.OwnerOf(gameNumber)) {
      result = "El partido " + gameNumber + " no existe en el servidor.";
    } else if (const TStatus recorded = Store_.RecordExport(gameNumber); !recorded) {
      result = recorded.Error();
    }
  } else {
    return fault(500, "Client", "unknown operation \"" + soap.Operation + "\"");
  }
  response.set_content(SoapResponseEnvelope(soap.Operation, result), "text/xml; charset=utf-8");
}

}  // namespace velmora::statserver

#include "stat_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <sstream>

#include <pugixml.hpp>

#include "http_front.h"
#include "live_pages.h"
#include "protocol/form_encoding.h"
#include "protocol/soap.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "records/xml_text.h"
#include "server_store.h"
#include "sessions.h"
#include "stats/game_documents.h"

namespace velmora::statserver {

// A request that is answered with an error status; the reason goes to the log line.
struct TRequestError {
  int Status;
  std::string Reason;
};

namespace {

thread_local std::chrono::steady_clock::time_point RequestStart;
thread_local std::string RequestNote;
// The session that let the request's body in, and its user, and the game's owner: the handler
// need not look again.
thread_local std::optional<std::pair<std::string, std::int64_t>> AdmittedSession;
thread_local std::optional<std::pair<std::string, std::int64_t>> AdmittedGame;

constexpr const char* kXmlDeclaration = R"(<?xml version="1.0" encoding="windows-1252"?>)";

void ReplyText(httplib::Response& response, std::string_view text) {
  response.set_content(Utf8ToWindows1252XmlSafe(text), "text/plain; charset=windows-1252");
}

void ReplyXml(httplib::Response& response, std::string_view xml) {
  response.set_content(kXmlDeclaration + Utf8ToWindows1252XmlSafe(xml), "text/xml; charset=windows-1252");
}

// What is answered to one client (sessions, games of users) must never be kept by a cache.
void Private(httplib::Response& response) {
  if (!response.has_header("Cache-Control")) response.set_header("Cache-Control", "no-store");
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

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;

bool IsDefaultPage(std::string_view path) { return path.ends_with("/default.asp"); }
bool IsStatisticsPage(std::string_view path) { return path.ends_with("/statistics.asp"); }
constexpr std::string_view kSoapPath = "/dvadminws/dvadmin.asmx";

// What the body of a request can need: a live batch after a long outage holds a game's actions,
// an action list a whole game in several fields, a box score one document.
std::size_t BodyBound(const httplib::Request& request, const std::string* action) {
  if (request.method != "POST") return 0;
  if (IsDefaultPage(request.path)) {
    if (action && *action == "send_action_list") return 32 * kMiB;
    if (action && *action == "multipleaction") return 8 * kMiB;
    if (action && *action == "update_match_info") return 1 * kMiB;
    return 64 * kKiB;
  }
  if (IsStatisticsPage(request.path)) return 4 * kMiB;
  if (request.path == kSoapPath) return 64 * kKiB;
  return 0;
}

// Every write of a game comes with a session; only the ping does without.
bool NeedsSession(const httplib::Request& request, const std::string* action) {
  if (request.method != "POST") return false;
  if (IsDefaultPage(request.path)) return !action || *action != "ping";
  return IsStatisticsPage(request.path);
}

// The HTTP library reads a body for these methods.
bool CarriesBody(std::string_view method) {
  return method == "POST" || method == "PUT" || method == "PATCH" || method == "DELETE" || method == "PRI";
}

std::optional<std::size_t> ContentLength(const httplib::Request& request) {
  const std::string text = request.get_header_value("Content-Length");
  std::size_t length = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return length;
}

void Refuse(httplib::Response& response, const TRequestError& error) {
  response.status = error.Status;
  Private(response);
  RequestNote = error.Reason;
  if (error.Status == 503) response.set_header("Retry-After", "1");
  ReplyText(response, error.Reason);
}

void BeginRequest() {
  RequestStart = std::chrono::steady_clock::now();
  RequestNote.clear();
  AdmittedSession.reset();
  AdmittedGame.reset();
}

// Whether an If-None-Match header names the entity tag: any of its tags, weak or not, or "*".
bool NamesETag(std::string_view header, std::string_view etag) {
  while (!header.empty()) {
    const std::size_t comma = header.find(',');
    std::string_view candidate = Trimmed(header.substr(0, comma));
    if (candidate.starts_with("W/")) candidate.remove_prefix(2);
    if (candidate == "*" || candidate == etag) return true;
    header = comma == std::string_view::npos ? std::string_view() : header.substr(comma + 1);
  }
  return false;
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
      Refuse(response, error);
    } catch (const std::exception& error) {
      response.status = 500;
      RequestNote = error.what();
      ReplyText(response, "internal error");
    }
  };
}

TFrontLimits FrontLimits(const TServerOptions& options) {
  TFrontLimits limits;
  limits.Workers = std::max(1, options.Threads);
  limits.ReservedWorkers = std::max(1, limits.Workers / 4);
  limits.Times.Head = options.RequestTime;
  limits.Times.Answer = options.RequestTime;
  limits.Times.SlowestBytesPerSecond = options.SlowestBytesPerSecond;
  limits.Times.KeepAlive = options.KeepAliveTime;
  return limits;
}

}  // namespace

TStatServer::TStatServer(TServerStore& store, TServerOptions options)
    : Store_(store),
      Options_(std::move(options)),
      Sessions_(std::make_unique<TSessions>(store, Options_.SessionIdleTime, Options_.SessionClock)),
      Live_(std::make_unique<TLivePages>(store, Options_.ProgramFolder, Options_.Language)),
      Logins_(Options_.Logins, store.LoginRecords()),
      Http_(std::make_unique<THttpFront>(FrontLimits(Options_))) {
  Http_->set_payload_max_length(Options_.MaxBodyBytes);
  Http_->set_socket_options([this](int socket) {
    const int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    ListenSocket_ = socket;
  });
  // A body is read only when its request is allowed: refused requests are answered at once, and a
  // client that asked to continue is told before it sends anything.
  Http_->set_expect_100_continue_handler([this](const httplib::Request& request, httplib::Response& response) {
    BeginRequest();
    if (const auto refused = Admit(request)) {
      Refuse(response, *refused);
      return refused->Status;
    }
    return 100;
  });
  Http_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
    BeginRequest();
    if (const auto refused = Admit(request)) {
      Refuse(response, *refused);
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  Http_->set_post_routing_handler([](const httplib::Request&, httplib::Response& response) { Private(response); });
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

bool TStatServer::Run() { return Http_->Serve(); }

void TStatServer::Stop() { Http_->stop(); }

void TStatServer::Routes() {
  Http_->Get(R"(.*/default\.asp)", Guarded([this](const auto& q, auto& r) { HandleDefaultPage(q, r); }));
  Http_->Post(R"(.*/default\.asp)", ReadingBody(Guarded([this](const auto& q, auto& r) { HandleDefaultPage(q, r); })));
  Http_->Post(R"(.*/statistics\.asp)",
              ReadingBody(Guarded([this](const auto& q, auto& r) { HandleStatisticsPage(q, r); })));
  Http_->Post(R"(/dvadminws/dvadmin\.asmx)", Guarded([this](const auto& q, auto& r) { HandleSoap(q, r); }));

  Http_->Get("/live/", Guarded([this](const httplib::Request&, httplib::Response& response) {
               response.set_header("Cache-Control", "public, max-age=5");
               response.set_content(Live_->IndexPage(), "text/html; charset=utf-8");
             }));
  Http_->Get(R"(/live/(.+))", Guarded([this](const auto& q, auto& r) { HandleLivePage(q, r); }));
  // A folder stands for its default page, as the program's login asks "URL?do=ping"; without a
  // request the site's root leads to the live pages.
  Http_->Get(R"(.*/)", Guarded([this](const httplib::Request& request, httplib::Response& response) {
               if (request.has_param("do")) return HandleDefaultPage(request, response);
               if (request.path != "/") throw TRequestError{404, "not found"};
               response.set_redirect("/live/");
             }));
}

std::int64_t TStatServer::SessionUser(const std::string* session) {
  if (!session) throw TRequestError{403, "no session"};
  if (AdmittedSession && AdmittedSession->first == *session) return AdmittedSession->second;
  const auto user = Sessions_->Validate(*session);
  if (!user) throw TRequestError{403, "session expired"};
  AdmittedSession.emplace(*session, *user);
  return *user;
}

void TStatServer::RequireOwnGame(std::int64_t user, const std::string& gameNumber) {
  std::optional<std::int64_t> owner;
  if (AdmittedGame && AdmittedGame->first == gameNumber) {
    owner = AdmittedGame->second;
  } else {
    owner = Store_.OwnerOf(gameNumber);
    if (owner) AdmittedGame.emplace(gameNumber, *owner);
  }
  if (!owner) throw TRequestError{404, "no game \"" + gameNumber + "\""};
  if (*owner != user) throw TRequestError{403, "game \"" + gameNumber + "\" belongs to another user"};
}

std::optional<TRequestError> TStatServer::Admit(const httplib::Request& request) try {
  if (!CarriesBody(request.method)) return std::nullopt;
  if (request.has_header("Transfer-Encoding") || !request.has_header("Content-Length")) {
    throw TRequestError{411, "a body must come with its Content-Length"};
  }
  const auto length = ContentLength(request);
  if (!length) throw TRequestError{400, "the Content-Length is not a number"};
  const TFormFields query = ParseFormText(QueryOf(request));
  const std::string* action = FindField(query, "do");
  const std::size_t bound = std::min(BodyBound(request, action), Options_.MaxBodyBytes);
  if (*length > bound) throw TRequestError{413, "this request's body may have " + std::to_string(bound) + " bytes"};
  if (NeedsSession(request, action)) {
    const std::int64_t user = SessionUser(FindField(query, "SESSIONID"));
    if (const std::string* game = FindField(query, "game_number")) RequireOwnGame(user, *game);
  }
  if (*length > 0 && Http_->PermitBody(*length) == THttpFront::TBodyPermit::Busy) {
    throw TRequestError{503, "the server is busy; try again"};
  }
  return std::nullopt;
} catch (const TRequestError& refusal) {
  return refusal;
}

std::string TStatServer::ClientAddress(const httplib::Request& request) const {
  const auto& proxies = Options_.TrustedProxies;
  if (std::find(proxies.begin(), proxies.end(), request.remote_addr) == proxies.end()) return request.remote_addr;
  // The proxy adds the address it was reached from after whatever the client claimed.
  const std::string forwarded = request.get_header_value("X-Forwarded-For");
  const std::string_view last = Trimmed(std::string_view(forwarded).substr(forwarded.rfind(',') + 1));
  return last.empty() ? request.remote_addr : std::string(last);
}

void TStatServer::HandleLivePage(const httplib::Request& request, httplib::Response& response) {
  const std::string name = request.matches[1].str();
  // The document is the same for everybody and changes with the game: a cache in front of the
  // server may keep it for a second, and asks again with its tag.
  const auto json = [&](const std::string& gameNumber) {
    const auto current = Live_->CurrentETag(gameNumber);
    if (!current) throw TRequestError{404, "no such game"};
    response.set_header("Cache-Control", "public, max-age=1");
    if (NamesETag(request.get_header_value("If-None-Match"), *current)) {
      response.status = 304;
      response.set_header("ETag", *current);
      return;
    }
    const auto document = Live_->GameJson(gameNumber);
    if (!document) throw TRequestError{404, "no such game"};
    response.set_header("ETag", document->ETag);
    response.set_content(document->Json, "application/json; charset=utf-8");
  };
  if (request.get_param_value("format") == "json") return json(name);
  if (const auto page = Live_->GamePage(name)) {
    // The page is the same for the whole game; its script fetches the document.
    response.set_header("Cache-Control", "public, max-age=600");
    response.set_content(*page, "text/html; charset=utf-8");
    return;
  }
  // The document's address of earlier pages, for a game whose number does not end so itself.
  if (name.ends_with(".json")) return json(name.substr(0, name.size() - 5));
  throw TRequestError{404, "no such game"};
}

void TStatServer::HandleDefaultPage(const httplib::Request& request, httplib::Response& response) {
  const TRequestFields fields(request);
  const std::string* action = fields.Find("do");
  if (!action) throw TRequestError{400, "missing field \"do\""};
  if (*action == "ping") {
    ReplyText(response, "pong");
    return;
  }

  const std::int64_t user = SessionUser(fields.Find("SESSIONID"));
  if (*action == "get_active_games") {
    pugi::xml_document document;
    pugi::xml_node games = document.append_child("GAMES");
    for (const TGameSummary& game : Store_.GamesOf(user)) {
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
  const auto check = [](const TChangeStatus& status) {
    if (!status) throw TRequestError{status.Refused() ? 400 : 500, status.Error()};
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
    RequireOwnGame(user, matchInfo.GameNumber);
    std::ostringstream stored;
    root.print(stored, "", pugi::format_raw, pugi::encoding_utf8);
    check(Store_.UpdateMatchInfo(matchInfo, stored.str()));
    ReplyText(response, "OK");
    return;
  }

  const std::string& gameNumber = fields.Require("game_number");
  RequireOwnGame(user, gameNumber);
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
    const TStatus confirmed =
        Store_.ConfirmScore(gameNumber, RequireInteger(fields, "score_a"), RequireInteger(fields, "score_b"),
                            fields.Require("name"), fields.Require("contacts"));
    check(confirmed);
    ReplyText(response, "OK");
  } else {
    throw TRequestError{400, "unknown request \"" + *action + "\""};
  }
}

void TStatServer::HandleStatisticsPage(const httplib::Request& request, httplib::Response& response) {
  const TRequestFields fields(request);
  if (fields.Require("do") != "upload_statistics") throw TRequestError{400, "unknown request"};
  const std::string& gameNumber = fields.Require("game_number");
  RequireOwnGame(SessionUser(FindField(fields.Query, "SESSIONID")), gameNumber);
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
    const std::string name = parameter("user");
    const std::string address = ClientAddress(request);
    const auto wait = Logins_.Begin(name, address);
    if (wait.count() > 0) {
      const auto seconds = std::to_string((wait.count() + 999) / 1000);
      return fault(500, "Client",
                   "Demasiados intentos fallidos. Espere " + seconds + " s antes de volver a intentarlo.");
    }
    if (const auto user = Store_.CheckUser(name, parameter("pass"))) {
      Logins_.Succeeded(name, address);
      result = Sessions_->Create(*user);
    }
  } else if (soap.Operation == "ExportToSIMS") {
    // The session travels in the service address's query, as the pages' sessions do.
    const std::string gameNumber = parameter("gameNumber");
    const TFormFields query = ParseFormText(QueryOf(request));
    const std::string* session = FindField(query, "SESSIONID");
    const auto user = session ? Sessions_->Validate(*session) : std::nullopt;
    const auto owner = user ? Store_.OwnerOf(gameNumber) : std::nullopt;
    if (!user) {
      result = "La sesión no es válida o ha caducado. Por favor inicie de nuevo la sesión.";
    } else if (!owner) {
      result = "El partido " + gameNumber + " no existe en el servidor.";
    } else if (*owner != *user) {
      result = "El partido " + gameNumber + " no está publicado para este usuario.";
    } else if (const TStatus recorded = Store_.RecordExport(gameNumber); !recorded) {
      result = recorded.Error();
    }
  } else {
    return fault(500, "Client", "unknown operation \"" + soap.Operation + "\"");
  }
  response.set_content(SoapResponseEnvelope(soap.Operation, result), "text/xml; charset=utf-8");
}

}  // namespace velmora::statserver

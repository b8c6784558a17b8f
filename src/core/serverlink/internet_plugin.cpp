#include "serverlink/internet_plugin.h"

#include <pugixml.hpp>

#include "platform/configuration.h"
#include "platform/logger.h"
#include "platform/registry.h"
#include "platform/user_interface.h"
#include "records/guid.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "records/xml_text.h"
#include "serverlink/auth_service.h"
#include "protocol/form_encoding.h"
#include "stats/game_documents.h"
#include "stats/model.h"

namespace velmora {

namespace {

constexpr std::size_t kActionPieceLength = 40000;
constexpr const char* kLoginCancelled = "the login was cancelled";

// Parses an answer of the server (windows-1252 unless it says otherwise).
bool ParseAnswer(pugi::xml_document& document, std::string_view body) {
  const std::string text = DecodeXmlBytes(body);
  return document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8) &&
         document.document_element();
}

std::string FieldsText(const TFormFields& fields) {
  std::string text;
  for (const auto& [name, value] : fields) text += name + "=" + value + "\n";
  return text;
}

// Cuts the text into pieces of at most `length` characters, never inside a character.
std::vector<std::string> Pieces(std::string_view text, std::size_t length) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    for (std::size_t characters = 0; end < text.size() && characters < length; ++characters) {
      ++end;
      while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    }
    pieces.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return pieces;
}

}  // namespace

THttpSettings HttpSettingsOf(const TConfiguration& config) {
  THttpSettings settings;
  const std::string proxy(Trimmed(config.GetString("proxy_server")));
  if (!proxy.empty() && config.GetInt("proxy_port") > 0) {
    settings.ProxyHost = proxy;
    settings.ProxyPort = config.GetInt("proxy_port");
  }
  // "read_timeout" counts milliseconds; below a second it would fail every real request.
  settings.ReadTimeout = std::chrono::milliseconds(std::max(config.GetInt("read_timeout"), 1000));
  return settings;
}

int ReadInstalledVersion(const TRegistry& registry) {
  const auto key = registry.OpenKey("");
  if (!key) return 0;
  return ParseInt32(key->ReadString("VERSION").value_or("")).value_or(0);
}

TInternetPlugin* ServerClientOf(const TModel& model) { return dynamic_cast<TInternetPlugin*>(model.Server()); }

TInternetPlugin::TInternetPlugin(const TConfiguration& config, TUserInterface* userInterface, int version)
    : Config_(config),
      UserInterface_(userInterface),
      Version_(version),
      Http_(HttpSettingsOf(config)),
      Lock_(std::make_unique<std::recursive_mutex>()) {}

TInternetPlugin::~TInternetPlugin() = default;

void TInternetPlugin::SetServerUrl(std::string url) {
  ServerUrl_ = std::move(url);
  if (ServerUrl_.ends_with("default.asp")) {
    PageUrl_ = ServerUrl_;
  } else if (ServerUrl_.ends_with("/") || ServerUrl_.ends_with("\\")) {
    PageUrl_ = ServerUrl_ + "default.asp";
  } else {
    PageUrl_ = ServerUrl_ + "/default.asp";
  }
}

std::string TInternetPlugin::GameQuery(std::string_view gameNumber) const {
  // Encoded always: a game number with a blank or an ampersand must not break the address.
  return "&game_number=" + FormEncodeValue(gameNumber);
}

void TInternetPlugin::ShowError(std::string_view title, std::string_view text) {
  if (UserInterface_) UserInterface_->ShowMessage(title, text, TMessageIcon::Error);
}

bool TInternetPlugin::Pause() {
  std::unique_lock guard(PauseLock_);
  PauseWake_.wait_for(guard, RetryPause_, [&] { return Http_.Abandoned(); });
  return !Http_.Abandoned();
}

void TInternetPlugin::Reconnect() {
  // Closing and opening a connection cannot fail here; the next request opens a fresh one.
  Http_.Reconnect();
  Pause();
}

void TInternetPlugin::ResetConnection() { Lock_ = std::make_unique<std::recursive_mutex>(); }

void TInternetPlugin::AbandonTransfers() {
  Http_.Abandon();
  const std::lock_guard guard(PauseLock_);
  PauseWake_.notify_all();
}

void TInternetPlugin::ResumeTransfers() { Http_.Resume(); }

void TInternetPlugin::TakeOver(const TLoginOutcome& outcome, const TCredentials& entered) {
  SetServerUrl(outcome.ServerUrl);
  Credentials_ = entered;
  Credentials_.Url = outcome.ServerUrl;
  Http_.SetSettings(HttpSettingsOf(Config_));
  SessionId_ = outcome.SessionId;
}

bool TInternetPlugin::Login(TObjectHash<TMatchInfo>& games, const TLoginOutcome& outcome, const TCredentials& entered,
                            bool remember, TRegistry& registry) {
  bool stored = false;
  {
    const std::lock_guard guard(*Lock_);
    TakeOver(outcome, entered);
    for (const TMatchInfo& serverGame : outcome.Games) {
      if (games.Exists(serverGame.GameNumber)) {
        games.Get(serverGame.GameNumber).Availability = kLocalAndOnline;
      } else {
        auto entry = std::make_unique<TMatchInfo>(serverGame);
        entry->Availability = kOnlineOnly;
        games.Set(serverGame.GameNumber, std::move(entry));
      }
    }
    stored = StoreCredentials(registry, Credentials_, remember);
  }
  ResetConnection();
  return stored;
}

bool TInternetPlugin::TakeOverLogin(const TLoginOutcome& outcome, const TCredentials& entered, bool remember,
                                    TRegistry& registry) {
  // The lock stays: another thread may be waiting for it or holding it.
  const std::lock_guard guard(*Lock_);
  TakeOver(outcome, entered);
  return StoreCredentials(registry, Credentials_, remember);
}

TResult<std::string> TInternetPlugin::GetWithSession(std::string url) {
  const std::lock_guard guard(*Lock_);
  url += (url.find('?', 1) == std::string::npos ? "?" : "&");
  url += "SESSIONID=" + SessionId_;
  std::string lastError;
  for (int attempt = 1; attempt <= 3; ++attempt) {
    auto body = Http_.Get(url);
    if (body) return body;
    lastError = body.Error();
    Log("Failed to get URL \"" + url + "\" from the server: " + lastError);
    if (attempt == 3 || Http_.Abandoned()) break;
    Reconnect();
  }
  return TError{lastError};
}

TStatus TInternetPlugin::Ping() {
  const std::lock_guard guard(*Lock_);
  auto body = Http_.Get(PageUrl_ + "?do=ping&version=" + std::to_string(Version_));
  if (!body) return TError{body.Error()};
  return {};
}

TStatus TInternetPlugin::GetMatchInfo(std::string_view gameNumber, TMatchInfo& matchInfo, bool initial) {
  const std::lock_guard guard(*Lock_);
  auto body =
      GetWithSession(PageUrl_ + "?do=get_match_info" + GameQuery(gameNumber) + "&get_initial=" + (initial ? "1" : "0"));
  if (!body) {
    Log("Failed to get match info for the game " + std::string(gameNumber) + ": " + body.Error());
    return TError{kGetMatchInfoError};
  }
  pugi::xml_document document;
  if (ParseAnswer(document, body.Value())) {
    matchInfo.ReadXml(document.document_element());
  } else {
    matchInfo.Empty = true;
  }
  if (const auto reason = RosterTooLargeReason(matchInfo)) return TError{*reason};
  return {};
}

TStatus TInternetPlugin::UpdateMatchInfo(const TMatchInfo& matchInfo) {
  const std::lock_guard guard(*Lock_);
  pugi::xml_document document;
  std::string text = XmlText(matchInfo.ToXml(document, PeriodSettingsOf(Config_)));
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) text.replace(at, 1, "%0A");
  for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at)) text.replace(at, 1, "%0D");
  const TFormFields fields = {{"matchinfo", text}};
  auto answer = Http_.PostForm(PageUrl_ + "?do=update_match_info&SESSIONID=" + SessionId_, FormBody(fields));
  if (answer) return {};
  Log("Failed to update match info: " + answer.Error());
  Log(FieldsText(fields));
  ShowError(kApplicationTitle,
            "Sesión caducada. Ha estado parado demasiado tiempo. Para continuar trabajando, por favor cierre la "
            "ventana y empiece desde el principio.");
  return TError{answer.Error()};
}

TResult<TActionList> TInternetPlugin::GetActionList(std::string_view gameNumber) {
  if (gameNumber.empty()) return TActionList{};
  const auto fail = [](const std::string& reason) -> TResult<TActionList> {
    Log("Failed to load action list from server: " + reason);
    return TError{"No se pudo leer la lista de acciones del servidor: " + reason};
  };
  const std::lock_guard guard(*Lock_);
  auto body = GetWithSession(PageUrl_ + "?do=get_action_list" + GameQuery(gameNumber));
  if (!body) return fail(body.Error());
  pugi::xml_document document;
  if (!ParseAnswer(document, body.Value())) return fail("the answer is not an action list");
  TActionList actions = ReadActionElements(document.document_element(), 0, true);
  for (const auto& action : actions) {
    if (const TStatus bounded = CheckActionBounds(*action); !bounded) return fail(bounded.Error());
  }
  return actions;
}

TStatus TInternetPlugin::SendActionList(std::string_view gameNumber, std::string_view actionsXml, bool append) {
  TFormFields fields;
  const auto pieces = Pieces(actionsXml, kActionPieceLength);
  for (std::size_t k = 0; k < pieces.size(); ++k) fields.emplace_back("actions" + std::to_string(k + 1), pieces[k]);
  const std::lock_guard guard(*Lock_);
  auto answer = Http_.PostForm(PageUrl_ + "?do=send_action_list&SESSIONID=" + SessionId_ + GameQuery(gameNumber) +
                                   "&append=" + (append ? "1" : "0"),
                               FormBody(fields));
  if (answer) return {};
  Log("Failed to upload action list to the server: " + answer.Error());
  Log(FieldsText(fields));
  ShowError("Exception while uploading action list", answer.Error());
  return TError{answer.Error()};
}

TSendOutcome TInternetPlugin::SendActions(std::string_view gameNumber, const TActionList& pending, std::size_t first,
                                          std::size_t last) {
  const bool lowBandwidth = Config_.GetInt("low_bandwidth") == 1;
  std::string text = "<ACTIONS>";
  bool any = false;
  pugi::xml_document document;
  for (std::size_t i = first; i <= last && i < pending.size(); ++i) {
    const TAction& action = *pending[i];
    if (action.ShortName == "clock" && lowBandwidth && DecodeTime(action.GameTime).Second % 20 != 0 && !action.System) {
      continue;
    }
    text += XmlText(action.ToXml(document, gameNumber));
    document.reset();
    any = true;
  }
  if (!any) return {TSendOutcome::TKind::LeftOut, {}};
  text += "</ACTIONS>";

  const TFormFields fields = {{"action", text}, {"do", "multipleaction"}};
  const std::string body = FormBody(fields);
  const auto firstTry = std::chrono::steady_clock::now();
  for (;;) {
    const std::lock_guard guard(*Lock_);
    // Made afresh each time: a new login takes effect at the next attempt.
    const std::string url =
        PageUrl_ + "?game_number=" + FormEncodeValue(gameNumber) + "&do=multipleaction&SESSIONID=" + SessionId_;
    auto answer = Http_.PostForm(url, body);
    if (answer) return {};
    if (Http_.Abandoned()) return {TSendOutcome::TKind::Abandoned, {}};
    Log("Failed to send multiple actions: " + answer.Error());
    Log(FieldsText(fields));
    if (PermanentRefusal(Http_.LastStatus())) {
      return {TSendOutcome::TKind::Refused, {Http_.LastStatus(), Windows1252ToUtf8(Http_.LastErrorBody())}};
    }
    if (GiveUpAfter_ && std::chrono::steady_clock::now() - firstTry >= *GiveUpAfter_) {
      const std::lock_guard reason(GiveUpLock_);
      if (GiveUpReason_.empty()) {
        GiveUpReason_ = "el servidor no aceptó las acciones en " + std::to_string(GiveUpAfter_->count() / 1000) +
                        " s (" + answer.Error() + ")";
      }
      return {TSendOutcome::TKind::GivenUp, {}};
    }
    Reconnect();
    if (!Pause()) return {TSendOutcome::TKind::Abandoned, {}};
  }
}

void TInternetPlugin::BoundSendRetries(std::chrono::milliseconds giveUpAfter) { GiveUpAfter_ = giveUpAfter; }

std::string TInternetPlugin::GiveUpReason() const {
  const std::lock_guard guard(GiveUpLock_);
  return GiveUpReason_;
}

std::string TInternetPlugin::GetRemoteChecksum(std::string_view gameNumber) {
  const std::lock_guard guard(*Lock_);
  auto body = GetWithSession(PageUrl_ + "?do=crc" + GameQuery(gameNumber));
  if (body) return body.Value();
  Log("Exception while getting checksum from remote server: " + body.Error());
  ShowError("Exception while getting checksum from remote server.", body.Error());
  return {};
}

bool TInternetPlugin::SendScoreConfirmation(std::string_view gameNumber, int scoreA, int scoreB,
                                            std::string_view contacts, std::string_view name) {
  const std::lock_guard guard(*Lock_);
  auto body = GetWithSession(PageUrl_ + "?do=confirm_score" + GameQuery(gameNumber) +
                             "&score_a=" + std::to_string(scoreA) + "&score_b=" + std::to_string(scoreB) +
                             "&name=" + FormEncodeValue(name) + "&contacts=" + FormEncodeValue(contacts));
  if (body) return true;
  Log("Error while sending score to the remote server: " + body.Error());
  ShowError("Error while sending score to the remote server.", body.Error());
  return false;
}

TResult<std::string> TInternetPlugin::UploadStatistics(std::string_view gameNumber, std::string_view boxScore) {
  const TFormFields fields = {{"boxscore", std::string(boxScore)}};
  const std::lock_guard guard(*Lock_);
  // The session goes along, so that only the game's operator can store its box score; a server
  // that does not know the parameter ignores it.
  auto answer = Http_.PostForm(
      ServerUrl_ + "/statistics.asp?do=upload_statistics" + GameQuery(gameNumber) + "&SESSIONID=" + SessionId_,
      FormBody(fields));
  if (answer) return Windows1252ToUtf8(answer.Value());
  Log("Failed to upload statistics to the server: " + answer.Error());
  Log(FieldsText(fields));
  return TError{answer.Error()};
}

TResult<TLoginOutcome> RunLogin(const TCredentials& entered, const TConfiguration& config, const TRegistry& registry,
                                TUserInterface& userInterface, const std::atomic<bool>* cancel) {
  const auto cancelled = [&] { return cancel && *cancel; };
  const auto refuse = [&](const std::string& text) -> TResult<TLoginOutcome> {
    if (cancelled()) return TError{kLoginCancelled};
    userInterface.ShowMessage(kApplicationTitle, text, TMessageIcon::Error);
    return TError{text};
  };
  TLoginOutcome outcome;
  outcome.ServerUrl = entered.Url;
  if (!outcome.ServerUrl.ends_with("/") && !outcome.ServerUrl.ends_with("\\")) outcome.ServerUrl += "/";

  THttpSettings http = HttpSettingsOf(config);
  http.Cancel = cancel;
  AuthServiceSoap service(AuthServiceEndpoint(registry, outcome.ServerUrl), http);
  THttpClient client(http);

  auto pong = client.Get(outcome.ServerUrl + "?do=ping");
  if (!pong) {
    Log("Failed to ping server at " + outcome.ServerUrl + ": " + pong.Error());
    return refuse("El servidor no está accesible.\n\r" + pong.Error());
  }
  if (pong.Value() != "pong") {
    Log("Failed to ping server at " + outcome.ServerUrl);
    return refuse("El servidor no está accesible.");
  }

  auto session = service.ValidateUser(entered.UserName, entered.Password);
  if (!session && !cancelled()) {
    userInterface.ShowMessage(kApplicationTitle,
                              "Se produjo una excepción al intentar hacer login en el servidor " + session.Error(),
                              TMessageIcon::Error);
  }
  if (!session || session.Value().empty()) return refuse("Fallo en la sesión. No hay más información disponible");
  outcome.SessionId = "{" + session.Value() + "}";

  auto list = client.Get(outcome.ServerUrl + "?do=get_active_games&SESSIONID=" + outcome.SessionId);
  if (!list) Log("Failed to rerive list of games from the server: " + list.Error());
  pugi::xml_document document;
  if (!list || !ParseAnswer(document, list.Value()) ||
      std::string_view(document.document_element().name()) != "GAMES") {
    return refuse(
        "No puede recuperar la lista del partido.\rLa sesión puede haber caducado.\rPor favor inicie de nuevo "
        "la sesión.");
  }
  for (const pugi::xml_node& game : document.document_element().children()) {
    if (game.type() != pugi::node_element) continue;
    const std::string gameNumber = game.attribute("GameNumber").value();
    if (gameNumber.empty()) continue;
    TMatchInfo matchInfo;
    matchInfo.GameNumber = gameNumber;
    matchInfo.Team1.ID = game.attribute("Team1_ID").value();
    matchInfo.Team2.ID = game.attribute("Team2_ID").value();
    matchInfo.Team1.Name = game.attribute("Team1_Name").value();
    matchInfo.Team2.Name = game.attribute("Team2_Name").value();
    matchInfo.Time = ParseDateTime(game.attribute("Time").value()).value_or(0);
    outcome.Games.push_back(matchInfo);
  }
  if (cancelled()) return TError{kLoginCancelled};
  if (outcome.Games.empty()) {
    userInterface.ShowMessage(kApplicationTitle, "No hay partidos disponibles para este usuario",
                              TMessageIcon::Information);
  }
  return outcome;
}

}  // namespace velmora

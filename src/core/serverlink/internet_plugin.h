#pragma once
// The client of the statistics server: every request of the protocol over one persistent HTTP
// connection, serialised by a re-entrant lock, with the logging, retries and messages the protocol
// asks for. It exists while the operator is connected.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/action.h"
#include "records/hash_table.h"
#include "records/match_info.h"
#include "records/result.h"
#include "serverlink/credentials.h"
#include "serverlink/http_client.h"
#include "serverlink/sending_state.h"
#include "stats/game_store.h"

namespace velmora {

class TConfiguration;
class TRegistry;
class TUserInterface;

inline constexpr const char* kGetMatchInfoError = "Failed to get match info.\r\nPlease try logging in again.";

// What a successful login hands over.
struct TLoginOutcome {
  std::string ServerUrl;  // normalised: ends in "/" (or "\")
  std::string SessionId;  // with braces
  std::vector<TMatchInfo> Games;
};

// How a live batch went.
struct TSendOutcome {
  enum class TKind {
    Sent,
    LeftOut,    // the low-bandwidth rule left every action out: no request was made
    Abandoned,  // the transfer was abandoned
    Refused,    // the server refused it for good (PermanentRefusal)
    GivenUp,    // the retries are bounded and it kept failing until the deadline
  };
  TKind Kind = TKind::Sent;
  TRefusal Refusal;  // when refused: the server's answer
  explicit operator bool() const { return Kind == TKind::Sent; }
};

// The connection settings of the settings store: proxy and read time-out ("read_timeout", ms).
THttpSettings HttpSettingsOf(const TConfiguration& config);
// The registry's "VERSION" as a number; 0 when missing or not a number.
int ReadInstalledVersion(const TRegistry& registry);

class TInternetPlugin final : public TServerLink {
 public:
  // The settings and the user interface (which may be none) outlive the client.
  TInternetPlugin(const TConfiguration& config, TUserInterface* userInterface, int version = 0);
  ~TInternetPlugin() override;

  // The server folder; the page is it followed by "default.asp" unless it names that page already.
  void SetServerUrl(std::string url);
  const std::string& ServerUrl() const { return ServerUrl_; }
  const std::string& PageUrl() const { return PageUrl_; }
  void SetSession(std::string sessionWithBraces) { SessionId_ = std::move(sessionWithBraces); }
  const std::string& SessionId() const { return SessionId_; }
  const TCredentials& Credentials() const { return Credentials_; }

  // Takes over a login: URL, session and credentials; merges the server's games into `games`
  // (a game in both places becomes "local and online"); stores the credentials. False when they
  // could not be stored.
  bool Login(TObjectHash<TMatchInfo>& games, const TLoginOutcome& outcome, const TCredentials& entered, bool remember,
             TRegistry& registry);
  // Takes over a new login while the client is in use (after the server ended the session): URL,
  // session and credentials, which are stored. The next attempt of a request in flight uses them.
  // False when the credentials could not be stored.
  bool TakeOverLogin(const TLoginOutcome& outcome, const TCredentials& entered, bool remember, TRegistry& registry);

  TStatus Ping();
  // Reads the game's match information into `matchInfo`.
  TStatus GetMatchInfo(std::string_view gameNumber, TMatchInfo& matchInfo, bool initial);
  TStatus UpdateMatchInfo(const TMatchInfo& matchInfo) override;
  // The server's actions of the game; fails when they cannot be had, when the answer is no action
  // list, or when an action holds what no game can (a period beyond kMaxPeriod).
  TResult<TActionList> GetActionList(std::string_view gameNumber);
  TStatus SendActionList(std::string_view gameNumber, std::string_view actionsXml, bool append);
  // Sends pending[first..last] in one request. A network error or an answer worth another try
  // repeats it until the server takes it; a refusal for good (400, 403, 404, 413) comes back at
  // once with the server's answer. No request when the low-bandwidth rule leaves every action out.
  TSendOutcome SendActions(std::string_view gameNumber, const TActionList& pending, std::size_t first,
                           std::size_t last);
  // Bounds the retries of SendActions, which otherwise go on until the server takes the batch (as
  // the live game needs): a batch that has failed for longer than `giveUpAfter` is given up.
  void BoundSendRetries(std::chrono::milliseconds giveUpAfter);
  // Why SendActions gave a batch up; empty while it gave none up.
  std::string GiveUpReason() const;
  // The server's checksum; empty (after a message) when it could not be had.
  std::string GetRemoteChecksum(std::string_view gameNumber);
  bool SendScoreConfirmation(std::string_view gameNumber, int scoreA, int scoreB, std::string_view contacts,
                             std::string_view name);
  // The server's answer; the error message when there was none.
  TResult<std::string> UploadStatistics(std::string_view gameNumber, std::string_view boxScore);
  // GET with the session and up to three attempts; the last error when all failed.
  TResult<std::string> GetWithSession(std::string url);

  // A new, free request lock.
  void ResetConnection();
  // Ends the transfer in flight at once and refuses new ones until ResumeTransfers.
  void AbandonTransfers();
  void ResumeTransfers();

  // The pause between attempts (200 ms); tests shorten it.
  void SetRetryPause(std::chrono::milliseconds pause) { RetryPause_ = pause; }

 private:
  std::string GameQuery(std::string_view gameNumber) const;
  void TakeOver(const TLoginOutcome& outcome, const TCredentials& entered);
  void Reconnect();
  // Waits, unless the transfers are abandoned meanwhile; false then.
  bool Pause();
  void ShowError(std::string_view title, std::string_view text);

  const TConfiguration& Config_;
  TUserInterface* UserInterface_;
  int Version_;
  std::string ServerUrl_;
  std::string PageUrl_;
  std::string SessionId_;
  TCredentials Credentials_;
  THttpClient Http_;
  std::unique_ptr<std::recursive_mutex> Lock_;
  std::chrono::milliseconds RetryPause_{200};
  std::mutex PauseLock_;
  std::condition_variable PauseWake_;
  std::optional<std::chrono::milliseconds> GiveUpAfter_;
  mutable std::mutex GiveUpLock_;
  std::string GiveUpReason_;
};

class TModel;
// The model's server client while connected; none otherwise.
TInternetPlugin* ServerClientOf(const TModel& model);

// The login: ping, user validation through the administration service, the user's games. Shows
// its messages; fails (with the text shown) when the operator must try again. Setting `cancel`
// (which outlives the call) ends it within 200 ms, failing without a message.
TResult<TLoginOutcome> RunLogin(const TCredentials& entered, const TConfiguration& config, const TRegistry& registry,
                                TUserInterface& userInterface, const std::atomic<bool>* cancel = nullptr);

}  // namespace velmora

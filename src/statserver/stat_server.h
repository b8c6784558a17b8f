#pragma once
// The statistics server over HTTP: the pages "default.asp" and "statistics.asp" of the program's
// protocol, the administration web service, and the live pages for spectators.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "login_throttle.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace velmora::statserver {

class THttpFront;
class TServerStore;
class TSessions;
class TLivePages;
struct TRequestError;

struct TServerOptions {
  std::chrono::seconds SessionIdleTime{std::chrono::hours(2)};
  // No body is larger; each request's body is bounded further by what that request needs.
  std::size_t MaxBodyBytes = 32 * 1024 * 1024;
  // Workers handle requests that have arrived; a quarter of them never wait for a body.
  int Threads = 64;
  // A client has this long to send a request's head; for its body, this plus the body's length at
  // the slowest rate. Reading the answer is allowed as long.
  std::chrono::milliseconds RequestTime{5000};
  std::size_t SlowestBytesPerSecond = 64 * 1024;
  // A connection is kept this long for its client's next request.
  std::chrono::milliseconds KeepAliveTime{15000};
  TLoginLimits Logins;
  // The clock of sessions; the system's when none (tests move their own, and the store's clock of
  // failed logins: TServerStore::SetLoginClock).
  std::function<std::chrono::system_clock::time_point()> SessionClock;
  std::filesystem::path ProgramFolder;  // messages files for the play-by-play
  std::string Language = "EN";
  bool LogRequests = true;
  // Reverse proxies whose requests name the client's address as the last entry of their
  // X-Forwarded-For header; the login limits count that address.
  std::vector<std::string> TrustedProxies;
};

class TStatServer {
 public:
  TStatServer(TServerStore& store, TServerOptions options);
  ~TStatServer();
  TStatServer(const TStatServer&) = delete;
  TStatServer& operator=(const TStatServer&) = delete;

  // Binds the address (port 0 takes a free port); the port bound, or none.
  std::optional<int> Bind(const std::string& host, int port);
  // Serves until Stop(); false when serving could not start.
  bool Run();
  void Stop();

 private:
  void Routes();
  // Why the request's body must not be read, or none: it is within its bound and, for a change,
  // comes with a session of the user of its game.
  std::optional<TRequestError> Admit(const httplib::Request& request);
  // The user of a session value; refused (403) when there is none or it has ended.
  std::int64_t SessionUser(const std::string* session);
  // Refuses (404, 403) a game that is not published to the user.
  void RequireOwnGame(std::int64_t user, const std::string& gameNumber);
  void HandleDefaultPage(const httplib::Request& request, httplib::Response& response);
  void HandleStatisticsPage(const httplib::Request& request, httplib::Response& response);
  void HandleSoap(const httplib::Request& request, httplib::Response& response);
  void HandleLivePage(const httplib::Request& request, httplib::Response& response);
  // The address of the client, also behind a trusted proxy.
  std::string ClientAddress(const httplib::Request& request) const;

  TServerStore& Store_;
  TServerOptions Options_;
  std::unique_ptr<TSessions> Sessions_;
  std::unique_ptr<TLivePages> Live_;
  TLoginThrottle Logins_;
  std::unique_ptr<THttpFront> Http_;
  int ListenSocket_ = -1;
};

}  // namespace velmora::statserver

#pragma once
// The statistics server over HTTP: the pages "default.asp" and "statistics.asp" of the program's
// protocol, the administration web service, and the live pages for spectators.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace velmora::statserver {

class TServerStore;
class TSessions;
class TLivePages;

struct TServerOptions {
  std::chrono::seconds SessionIdleTime{std::chrono::hours(2)};
  std::size_t MaxBodyBytes = 32 * 1024 * 1024;
  // Every kept-alive client holds a thread while it is connected.
  int Threads = 640;
  std::filesystem::path ProgramFolder;  // messages files for the play-by-play
  std::string Language = "EN";
  bool LogRequests = true;
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
  void HandleDefaultPage(const httplib::Request& request, httplib::Response& response);
  void HandleStatisticsPage(const httplib::Request& request, httplib::Response& response);
  void HandleSoap(const httplib::Request& request, httplib::Response& response);

  TServerStore& Store_;
  TServerOptions Options_;
  std::unique_ptr<TSessions> Sessions_;
  std::unique_ptr<TLivePages> Live_;
  std::unique_ptr<httplib::Server> Http_;
  int ListenSocket_ = -1;
};

}  // namespace velmora::statserver

#pragma once
// A scriptable HTTP server on a loopback port, written on plain sockets so that it can misbehave
// in ways a real server library will not: answer with bytes that are not HTTP, drop the connection
// without a word, hold an answer back, or stop listening and come back on the same port. Every
// request is recorded before it is answered.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace velmora::testing {

struct TLoopbackRequest {
  std::string Method;
  std::string Target;  // path and query as sent
  std::string Body;
  std::vector<std::pair<std::string, std::string>> Headers;  // names in lower case

  std::string Header(std::string_view lowerCaseName) const;
  std::string Path() const;
  std::string Query() const;  // without the "?"
};

struct TLoopbackReply {
  enum class TKind { Answer, DropConnection, NotHttp };

  static TLoopbackReply Text(std::string body, int status = 200) {
    TLoopbackReply reply;
    reply.Status = status;
    reply.Body = std::move(body);
    return reply;
  }

  TKind Kind = TKind::Answer;
  int Status = 200;
  std::string Body;
  std::string ContentType = "text/plain; charset=windows-1252";
  // Waited before anything is sent; Stop cuts it short.
  std::chrono::milliseconds Delay{0};
};

class TLoopbackHttpServer {
 public:
  using THandler = std::function<TLoopbackReply(const TLoopbackRequest&)>;

  // Listens on 127.0.0.1 at once; port 0 takes a free one.
  explicit TLoopbackHttpServer(THandler handler, int port = 0);
  ~TLoopbackHttpServer();
  TLoopbackHttpServer(const TLoopbackHttpServer&) = delete;
  TLoopbackHttpServer& operator=(const TLoopbackHttpServer&) = delete;

  int Port() const { return Port_; }
  // "http://127.0.0.1:PORT" followed by the path.
  std::string Url(std::string_view path = "/") const;

  // Closes the listening socket and every open connection: the port refuses from now on.
  void Stop();
  // Listens again on the same port.
  void Start();

  std::vector<TLoopbackRequest> Requests() const;
  std::size_t RequestCount() const;
  void ClearRequests();
  // False when fewer than `count` requests arrived within the time.
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

 private:
  void AcceptLoop(int listener);
  void Serve(int connection);
  bool Pause(std::chrono::milliseconds delay);

  THandler Handler_;
  int Port_ = 0;
  int Listener_ = -1;
  std::thread Acceptor_;

  mutable std::mutex Lock_;
  mutable std::condition_variable Changed_;
  bool Stopping_ = false;
  std::set<int> Connections_;
  std::list<std::thread> Workers_;
  std::vector<TLoopbackRequest> Requests_;
};

}  // namespace velmora::testing

#include "http_front.h"

#include <arpa/inet.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace velmora::statserver {

namespace {

// Accepted connections go straight to the reception, on the listening thread: handing one over
// takes microseconds.
class TInlineQueue final : public httplib::TaskQueue {
 public:
  void enqueue(std::function<void()> task) override { task(); }
  void shutdown() override {}
};

// One request as the library reads it: the head the reception gathered, then as much of the body
// as the routes allowed, read from the socket until a deadline. What the library writes is kept
// for the reception to send, except an interim answer ("100 Continue"), which goes out before the
// body is waited for.
class TConnectionStream final : public httplib::Stream {
 public:
  TConnectionStream(TConnection& connection, const std::atomic<bool>& stopping)
      : Connection_(connection), Stopping_(stopping), Limit_(connection.HeadLength) {}

  void AllowBody(std::size_t length, TSteadyClock::time_point deadline) {
    Limit_ = Connection_.HeadLength + length;
    Deadline_ = deadline;
  }
  bool BodyHere(std::size_t length) const { return Connection_.In.size() >= Connection_.HeadLength + length; }
  std::size_t Read() const { return Read_; }

  bool is_readable() const override { return Read_ < Connection_.In.size() || WaitFor(POLLIN, 0); }
  bool is_writable() const override { return true; }

  ssize_t read(char* data, std::size_t size) override {
    if (Read_ >= Limit_) return -1;  // beyond what the routes allowed
    size = std::min(size, Limit_ - Read_);
    if (Read_ < Connection_.In.size()) {
      const std::size_t n = std::min(size, Connection_.In.size() - Read_);
      std::memcpy(data, Connection_.In.data() + Read_, n);
      Read_ += n;
      return static_cast<ssize_t>(n);
    }
    if (!SendInterimAnswer()) return -1;
    for (;;) {
      if (!WaitUntilDeadline(POLLIN)) return -1;
      const ssize_t n = ::recv(Connection_.Socket, data, size, 0);
      if (n >= 0) {
        Read_ += static_cast<std::size_t>(n);
        return n;
      }
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
    }
  }

  ssize_t write(const char* data, std::size_t size) override {
    Connection_.Out.append(data, size);
    return static_cast<ssize_t>(size);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(::getpeername, ip, port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { Address(::getsockname, ip, port); }
  socket_t socket() const override { return Connection_.Socket; }

 private:
  bool WaitFor(short events, int milliseconds) const {
    pollfd entry{Connection_.Socket, events, 0};
    return ::poll(&entry, 1, milliseconds) > 0;
  }

  // False at the deadline or when the server stops; waits in slices so that stopping is seen.
  bool WaitUntilDeadline(short events) const {
    for (;;) {
      const auto left = Deadline_ - TSteadyClock::now();
      if (left <= TSteadyClock::duration::zero() || Stopping_) return false;
      const auto slice = std::min<TSteadyClock::duration>(left, std::chrono::milliseconds(200));
      if (WaitFor(events, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count()))) return true;
    }
  }

  bool SendInterimAnswer() {
    while (Connection_.Sent < Connection_.Out.size()) {
      if (!WaitUntilDeadline(POLLOUT)) return false;
      const ssize_t n = ::send(Connection_.Socket, Connection_.Out.data() + Connection_.Sent,
                               Connection_.Out.size() - Connection_.Sent, MSG_NOSIGNAL);
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
      if (n <= 0) return false;
      Connection_.Sent += static_cast<std::size_t>(n);
    }
    return true;
  }

  void Address(int (*name)(int, sockaddr*, socklen_t*), std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ip.clear();
    port = 0;
    if (name(Connection_.Socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return;
    char text[INET6_ADDRSTRLEN] = "";
    if (address.ss_family == AF_INET) {
      const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
      ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
      port = ntohs(v4->sin_port);
    } else if (address.ss_family == AF_INET6) {
      const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
      ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
      port = ntohs(v6->sin6_port);
    }
    ip = text;
  }

  TConnection& Connection_;
  const std::atomic<bool>& Stopping_;
  std::size_t Limit_;     // bytes of the request the library may read: the head, and the allowed body
  std::size_t Read_ = 0;  // bytes of the request the library has read
  TSteadyClock::time_point Deadline_ = TSteadyClock::now();
};

thread_local TConnectionStream* CurrentStream = nullptr;
thread_local bool WaitsForBody = false;

// What a request says of its connection, read before it is routed.
struct TRequestFrame {
  bool MayKeep = false;                   // HTTP/1.1, not asking to close
  std::optional<std::size_t> BodyLength;  // none when its end cannot be told from its head
};

TRequestFrame FrameOf(const httplib::Request& request) {
  TRequestFrame frame;
  frame.MayKeep =
      request.version == "HTTP/1.1" && strcasecmp(request.get_header_value("Connection").c_str(), "close") != 0;
  if (request.has_header("Transfer-Encoding")) return frame;
  const std::string length = request.get_header_value("Content-Length");
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), value);
  if (length.empty())
    frame.BodyLength = 0;
  else if (error == std::errc() && end == length.data() + length.size())
    frame.BodyLength = value;
  return frame;
}

bool AnswerCloses(const std::string& answer) {
  const std::string_view head = std::string_view(answer).substr(0, answer.find("\r\n\r\n"));
  return head.find("\r\nConnection: close\r\n") != std::string_view::npos;
}

}  // namespace

THttpFront::THttpFront(TFrontLimits limits) : Limits_(limits) {
  new_task_queue = [] { return new TInlineQueue; };
  // What the answers' "Keep-Alive" header tells the clients.
  set_keep_alive_timeout(
      std::max<time_t>(1, std::chrono::duration_cast<std::chrono::seconds>(Limits_.Times.KeepAlive).count()));
  set_keep_alive_max_count(static_cast<std::size_t>(std::max(1, Limits_.MostRequestsPerConnection)));
}

THttpFront::~THttpFront() = default;

bool THttpFront::Serve() {
  Stopping_ = false;
  Workers_ = std::make_unique<httplib::ThreadPool>(static_cast<std::size_t>(std::max(1, Limits_.Workers)));
  Reception_ = std::make_unique<TReception>(Limits_.Times, [this](std::shared_ptr<TConnection> connection) {
    Workers_->enqueue([this, connection] { Process(connection); });
  });
  const bool served = Reception_->Start() && listen_after_bind();
  Stopping_ = true;
  Workers_->shutdown();
  Reception_->Stop();
  return served;
}

bool THttpFront::process_and_close_socket(socket_t sock) {
  Reception_->Receive(sock);
  return true;
}

void THttpFront::Process(std::shared_ptr<TConnection> connection) {
  {
    TConnectionStream stream(*connection, Stopping_);
    CurrentStream = &stream;
    bool closed = false;
    TRequestFrame frame;
    // The last request a connection may carry is answered with "Connection: close".
    const bool last = ++connection->Served >= std::max(1, Limits_.MostRequestsPerConnection);
    try {
      process_request(stream, last, closed, [&](httplib::Request& request) { frame = FrameOf(request); });
    } catch (...) {
      // The routes answer their own errors; anything else only loses this request.
      frame = {};
    }
    CurrentStream = nullptr;
    if (WaitsForBody) {
      --WaitingForBodies_;
      WaitsForBody = false;
    }
    // Only a request read to its very end leaves the connection where the next one begins.
    connection->KeepOpen = frame.MayKeep && !closed && !last && !Stopping_ && frame.BodyLength &&
                           stream.Read() == connection->HeadLength + *frame.BodyLength &&
                           !AnswerCloses(connection->Out);
    connection->Consumed = stream.Read();
  }
  Reception_->Answer(std::move(connection));
}

THttpFront::TBodyPermit THttpFront::PermitBody(std::size_t length) {
  TConnectionStream* stream = CurrentStream;
  if (!stream) return TBodyPermit::Busy;
  if (!stream->BodyHere(length) && !WaitsForBody) {
    const int most = std::max(0, Limits_.Workers - Limits_.ReservedWorkers);
    int waiting = WaitingForBodies_.load();
    do {
      if (waiting >= most) return TBodyPermit::Busy;
    } while (!WaitingForBodies_.compare_exchange_weak(waiting, waiting + 1));
    WaitsForBody = true;
  }
  const auto& times = Limits_.Times;
  stream->AllowBody(length, TSteadyClock::now() + TransferTime(times.Head, length, times.SlowestBytesPerSecond));
  return TBodyPermit::Granted;
}

}  // namespace velmora::statserver

#include "reception.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace velmora::statserver {

namespace {

// A head longer than this is not one of ours: the longest is a URL of a few hundred characters.
constexpr std::size_t kMaxHeadBytes = 32 * 1024;
// Bytes a lingering client may still send before the connection is simply closed.
constexpr std::size_t kMaxLingerBytes = 4 * 1024 * 1024;
constexpr auto kSweepInterval = std::chrono::milliseconds(100);

constexpr std::string_view kHeadTooLarge =
    "HTTP/1.1 431 Request Header Fields Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
constexpr std::string_view kHeadTooSlow =
    "HTTP/1.1 408 Request Timeout\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

void SetNonBlocking(int socket) {
  const int flags = fcntl(socket, F_GETFL, 0);
  fcntl(socket, F_SETFL, flags | O_NONBLOCK);
}

}  // namespace

TConnection::~TConnection() {
  if (Socket >= 0) ::close(Socket);
}

std::chrono::milliseconds TransferTime(std::chrono::milliseconds base, std::size_t bytes,
                                       std::size_t slowestBytesPerSecond) {
  const std::size_t rate = slowestBytesPerSecond == 0 ? 1 : slowestBytesPerSecond;
  return base + std::chrono::milliseconds(bytes * 1000 / rate);
}

TReception::TReception(TReceptionTimes times, TDispatch dispatch) : Times_(times), Dispatch_(std::move(dispatch)) {}

TReception::~TReception() {
  Stop();
  if (Poll_ >= 0) ::close(Poll_);
  if (Wake_ >= 0) ::close(Wake_);
}

bool TReception::Start() {
  MostIdle_ = Times_.MostIdle;
  if (rlimit files{}; MostIdle_ == 0 && getrlimit(RLIMIT_NOFILE, &files) == 0) {
    MostIdle_ = std::max<std::size_t>(16, static_cast<std::size_t>(files.rlim_cur) / 2);
  }
  Poll_ = epoll_create1(EPOLL_CLOEXEC);
  Wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (Poll_ < 0 || Wake_ < 0) return false;
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = Wake_;
  if (epoll_ctl(Poll_, EPOLL_CTL_ADD, Wake_, &event) != 0) return false;
  Running_ = true;
  Thread_ = std::thread([this] { Run(); });
  return true;
}

void TReception::Stop() {
  if (Running_.exchange(false)) {
    const std::uint64_t one = 1;
    (void)!::write(Wake_, &one, sizeof one);
    Thread_.join();
  }
  Held_.clear();
  Idle_ = 0;
  const std::lock_guard guard(InboxLock_);
  Inbox_.clear();
}

// Reads what has arrived of the head: Done when it is complete; Failed when the connection ended,
// or the head is too long (then Out holds the refusal).
TReception::TProgress TReception::ReadHeadOf(TConnection& connection) {
  char buffer[8192];
  for (;;) {
    const std::size_t room = kMaxHeadBytes - connection.In.size();
    const ssize_t n = ::recv(connection.Socket, buffer, std::min(room, sizeof buffer), 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return TProgress::Later;
    if (n <= 0) return TProgress::Failed;
    const std::size_t searchFrom = connection.In.size() < 3 ? 0 : connection.In.size() - 3;
    connection.In.append(buffer, static_cast<std::size_t>(n));
    if (const std::size_t end = connection.In.find("\r\n\r\n", searchFrom); end != std::string::npos) {
      connection.HeadLength = end + 4;
      return TProgress::Done;
    }
    if (connection.In.size() >= kMaxHeadBytes) {
      connection.Out = kHeadTooLarge;
      return TProgress::Failed;
    }
  }
}

// Sends what is left of Out: Done when all of it went.
TReception::TProgress TReception::SendOutOf(TConnection& connection) {
  while (connection.Sent < connection.Out.size()) {
    const ssize_t n = ::send(connection.Socket, connection.Out.data() + connection.Sent,
                             connection.Out.size() - connection.Sent, MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return TProgress::Later;
    if (n <= 0) return TProgress::Failed;
    connection.Sent += static_cast<std::size_t>(n);
  }
  return TProgress::Done;
}

std::optional<TReception::TPhase> TReception::Reuse(TConnection& connection) {
  connection.Out.clear();
  connection.Sent = 0;
  if (!connection.KeepOpen) {
    connection.In.clear();
    ::shutdown(connection.Socket, SHUT_WR);
    return TPhase::Linger;
  }
  connection.In.erase(0, connection.Consumed);
  connection.HeadLength = 0;
  connection.Consumed = 0;
  connection.KeepOpen = false;
  // A client that sent its next request before reading this answer may have sent all of its head.
  if (const std::size_t end = connection.In.find("\r\n\r\n"); end != std::string::npos) {
    connection.HeadLength = end + 4;
    return std::nullopt;
  }
  return connection.In.empty() ? TPhase::Idle : TPhase::Head;
}

TSteadyClock::time_point TReception::DeadlineOf(const TConnection& connection, TPhase phase) const {
  const auto now = TSteadyClock::now();
  switch (phase) {
    case TPhase::Idle: return now + Times_.KeepAlive;
    case TPhase::Head: return now + Times_.Head;
    case TPhase::Answer:
      return now + TransferTime(Times_.Answer, connection.Out.size() - connection.Sent, Times_.SlowestBytesPerSecond);
    case TPhase::Linger: return now + Times_.Linger;
  }
  return now;
}

void TReception::Post(std::shared_ptr<TConnection> connection, TPhase phase) {
  connection->Deadline = DeadlineOf(*connection, phase);
  {
    const std::lock_guard guard(InboxLock_);
    Inbox_.emplace_back(std::move(connection), phase);
  }
  const std::uint64_t one = 1;
  (void)!::write(Wake_, &one, sizeof one);
}

void TReception::Receive(int socket) {
  SetNonBlocking(socket);
  const int yes = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  auto connection = std::make_shared<TConnection>(socket);
  // A client usually sends its request with the connection: then it goes to a worker at once.
  switch (ReadHeadOf(*connection)) {
    case TProgress::Done: return Dispatch_(std::move(connection));
    case TProgress::Later: return Post(std::move(connection), TPhase::Head);
    case TProgress::Failed:
      if (!connection->Out.empty()) Post(std::move(connection), TPhase::Answer);
      return;
  }
}

void TReception::Answer(std::shared_ptr<TConnection> connection) {
  // An answer usually fits the socket's buffer: sent at once, without waiting for the poll.
  switch (SendOutOf(*connection)) {
    case TProgress::Done:
      if (const auto phase = Reuse(*connection)) return Post(std::move(connection), *phase);
      return Dispatch_(std::move(connection));
    case TProgress::Later: return Post(std::move(connection), TPhase::Answer);
    case TProgress::Failed: return;
  }
}

void TReception::Run() {
  std::vector<epoll_event> events(256);
  LastSweep_ = TSteadyClock::now();
  while (Running_) {
    const int count =
        epoll_wait(Poll_, events.data(), static_cast<int>(events.size()), static_cast<int>(kSweepInterval.count()));
    for (int i = 0; i < count; ++i) {
      const int socket = events[static_cast<std::size_t>(i)].data.fd;
      if (socket == Wake_) {
        std::uint64_t value = 0;
        (void)!::read(Wake_, &value, sizeof value);
        continue;
      }
      const auto found = Held_.find(socket);
      if (found == Held_.end()) continue;
      THeld& held = found->second;
      switch (held.Phase) {
        case TPhase::Idle:
        case TPhase::Head: ReadHead(held); break;
        case TPhase::Answer: SendAnswer(held); break;
        case TPhase::Linger: Drain(held); break;
      }
    }
    TakeInbox();
    if (TSteadyClock::now() - LastSweep_ >= kSweepInterval) Sweep();
  }
}

void TReception::TakeInbox() {
  std::vector<std::pair<std::shared_ptr<TConnection>, TPhase>> taken;
  {
    const std::lock_guard guard(InboxLock_);
    taken.swap(Inbox_);
  }
  for (auto& [connection, phase] : taken) Hold(std::move(connection), phase);
}

void TReception::Hold(std::shared_ptr<TConnection> connection, TPhase phase) {
  const int socket = connection->Socket;
  const auto known = Held_.find(socket);
  const bool wasIdle = known != Held_.end() && known->second.Phase == TPhase::Idle;
  if (phase == TPhase::Idle && !wasIdle && Idle_ >= MostIdle_) {
    ::shutdown(socket, SHUT_WR);
    phase = TPhase::Linger;
    connection->Deadline = DeadlineOf(*connection, phase);
  }
  epoll_event event{};
  event.events = phase == TPhase::Answer ? EPOLLOUT : EPOLLIN;
  event.data.fd = socket;
  if (epoll_ctl(Poll_, known != Held_.end() ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, socket, &event) != 0) {
    Release(socket);
    return;  // the connection closes with its last owner
  }
  if (wasIdle) --Idle_;
  if (phase == TPhase::Idle) ++Idle_;
  Held_[socket] = THeld{std::move(connection), phase};
}

void TReception::Release(int socket) {
  epoll_ctl(Poll_, EPOLL_CTL_DEL, socket, nullptr);
  if (const auto held = Held_.find(socket); held != Held_.end()) {
    if (held->second.Phase == TPhase::Idle) --Idle_;
    Held_.erase(held);
  }
}

void TReception::ReadHead(THeld& held) {
  std::shared_ptr<TConnection> connection = held.Connection;
  switch (ReadHeadOf(*connection)) {
    case TProgress::Later:
      if (held.Phase == TPhase::Idle && !connection->In.empty()) {
        // The next request has begun: from now on it has the time of any request's head.
        --Idle_;
        held.Phase = TPhase::Head;
        connection->Deadline = DeadlineOf(*connection, TPhase::Head);
      }
      return;
    case TProgress::Done: Release(connection->Socket); return Dispatch_(std::move(connection));
    case TProgress::Failed:
      if (connection->Out.empty()) return Release(connection->Socket);
      connection->Deadline = DeadlineOf(*connection, TPhase::Answer);
      return Hold(std::move(connection), TPhase::Answer);
  }
}

void TReception::SendAnswer(THeld& held) {
  std::shared_ptr<TConnection> connection = held.Connection;
  switch (SendOutOf(*connection)) {
    case TProgress::Later: return;
    case TProgress::Failed: return Release(connection->Socket);
    case TProgress::Done:
      if (const auto phase = Reuse(*connection)) {
        connection->Deadline = DeadlineOf(*connection, *phase);
        return Hold(std::move(connection), *phase);
      }
      Release(connection->Socket);
      return Dispatch_(std::move(connection));
  }
}

void TReception::Drain(THeld& held) {
  TConnection& connection = *held.Connection;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::recv(connection.Socket, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n <= 0 || (held.Dropped += static_cast<std::size_t>(n)) > kMaxLingerBytes) {
      Release(connection.Socket);
      return;
    }
  }
}

void TReception::Sweep() {
  const auto now = TSteadyClock::now();
  LastSweep_ = now;
  std::vector<int> late;
  for (const auto& [socket, held] : Held_) {
    if (now >= held.Connection->Deadline) late.push_back(socket);
  }
  for (const int socket : late) {
    THeld& held = Held_.at(socket);
    // A kept connection that stays idle is simply closed: its client has asked nothing.
    if (held.Phase == TPhase::Head) {
      // Said once, without waiting: a client this slow may not read it at all.
      (void)::send(socket, kHeadTooSlow.data(), kHeadTooSlow.size(), MSG_NOSIGNAL);
    }
    Release(socket);
  }
}

}  // namespace velmora::statserver

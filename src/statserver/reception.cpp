#include "reception.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

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
  const std::lock_guard guard(InboxLock_);
  Inbox_.clear();
}

void TReception::Receive(int socket) {
  SetNonBlocking(socket);
  const int yes = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  auto connection = std::make_shared<TConnection>(socket);
  connection->Deadline = TSteadyClock::now() + Times_.Head;
  {
    const std::lock_guard guard(InboxLock_);
    Inbox_.emplace_back(std::move(connection), TPhase::Head);
  }
  const std::uint64_t one = 1;
  (void)!::write(Wake_, &one, sizeof one);
}

void TReception::Answer(std::shared_ptr<TConnection> connection) {
  connection->Deadline = TSteadyClock::now() + TransferTime(Times_.Answer, connection->Out.size() - connection->Sent,
                                                            Times_.SlowestBytesPerSecond);
  {
    const std::lock_guard guard(InboxLock_);
    Inbox_.emplace_back(std::move(connection), TPhase::Answer);
  }
  const std::uint64_t one = 1;
  (void)!::write(Wake_, &one, sizeof one);
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
  for (auto& [connection, phase] : taken) {
    const int socket = connection->Socket;
    Hold(std::move(connection), phase);
    // An answer usually fits the socket's buffer: sent at once, without waiting for the poll.
    if (phase == TPhase::Answer) {
      if (const auto found = Held_.find(socket); found != Held_.end()) SendAnswer(found->second);
    }
  }
}

void TReception::Hold(std::shared_ptr<TConnection> connection, TPhase phase) {
  epoll_event event{};
  event.events = phase == TPhase::Answer ? EPOLLOUT : EPOLLIN;
  event.data.fd = connection->Socket;
  const bool known = Held_.count(connection->Socket) != 0;
  if (epoll_ctl(Poll_, known ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, connection->Socket, &event) != 0) {
    Release(connection->Socket);
    return;  // the connection closes with its last owner
  }
  const int socket = connection->Socket;
  Held_[socket] = THeld{std::move(connection), phase};
}

void TReception::Release(int socket) {
  epoll_ctl(Poll_, EPOLL_CTL_DEL, socket, nullptr);
  Held_.erase(socket);
}

void TReception::ReadHead(THeld& held) {
  TConnection& connection = *held.Connection;
  char buffer[8192];
  for (;;) {
    const std::size_t room = kMaxHeadBytes - connection.In.size();
    const ssize_t n = ::recv(connection.Socket, buffer, std::min(room, sizeof buffer), 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
      Release(connection.Socket);
      return;
    }
    if (n < 0) return;  // the rest comes later
    const std::size_t searchFrom = connection.In.size() < 3 ? 0 : connection.In.size() - 3;
    connection.In.append(buffer, static_cast<std::size_t>(n));
    const std::size_t end = connection.In.find("\r\n\r\n", searchFrom);
    if (end != std::string::npos) {
      connection.HeadLength = end + 4;
      std::shared_ptr<TConnection> complete = held.Connection;
      Release(connection.Socket);
      Dispatch_(std::move(complete));
      return;
    }
    if (connection.In.size() >= kMaxHeadBytes) {
      connection.Out = kHeadTooLarge;
      connection.Deadline = TSteadyClock::now() + Times_.Answer;
      std::shared_ptr<TConnection> refused = held.Connection;
      Hold(std::move(refused), TPhase::Answer);
      return;
    }
  }
}

void TReception::SendAnswer(THeld& held) {
  TConnection& connection = *held.Connection;
  while (connection.Sent < connection.Out.size()) {
    const ssize_t n = ::send(connection.Socket, connection.Out.data() + connection.Sent,
                             connection.Out.size() - connection.Sent, MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n <= 0) {
      Release(connection.Socket);
      return;
    }
    connection.Sent += static_cast<std::size_t>(n);
  }
  connection.Out.clear();
  connection.In.clear();
  ::shutdown(connection.Socket, SHUT_WR);
  connection.Deadline = TSteadyClock::now() + Times_.Linger;
  std::shared_ptr<TConnection> answered = held.Connection;
  Hold(std::move(answered), TPhase::Linger);
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
    if (held.Phase == TPhase::Head) {
      // Said once, without waiting: a client this slow may not read it at all.
      (void)::send(socket, kHeadTooSlow.data(), kHeadTooSlow.size(), MSG_NOSIGNAL);
    }
    Release(socket);
  }
}

}  // namespace velmora::statserver

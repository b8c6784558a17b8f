#pragma once
// The reception of connections: one thread that reads every request's line and headers without
// blocking, sends every answer, and keeps the connection for the client's next request or closes
// it, each within a deadline. Workers only ever see requests whose head is complete, so clients
// that send slowly, read slowly or keep a connection open hold no worker.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace velmora::statserver {

using TSteadyClock = std::chrono::steady_clock;

// One accepted connection, with the request being served and its answer.
struct TConnection {
  explicit TConnection(int socket) : Socket(socket) {}
  ~TConnection();
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;

  int Socket;
  std::string In;              // what has arrived: the head, perhaps the start of the body
  std::size_t HeadLength = 0;  // up to and with the blank line
  std::string Out;             // the answer
  std::size_t Sent = 0;        // of Out
  TSteadyClock::time_point Deadline;
  // Set with the answer when the request was read to its end and both sides may go on: then the
  // bytes of In after `Consumed` begin the next request.
  bool KeepOpen = false;
  std::size_t Consumed = 0;
  int Served = 0;  // requests answered on this connection
};

struct TReceptionTimes {
  // To send the request line and headers, counted from the connection.
  std::chrono::milliseconds Head{5000};
  // To read an answer: this plus its length at the slowest rate.
  std::chrono::milliseconds Answer{5000};
  std::size_t SlowestBytesPerSecond = 64 * 1024;
  // After the answer, what the client still sends is read and dropped for this long, so that the
  // answer is not lost to a reset.
  std::chrono::milliseconds Linger{2000};
  // A kept connection waits this long for the next request, and is then closed without a word.
  std::chrono::milliseconds KeepAlive{15000};
  // Connections kept waiting at most; 0: half the descriptors the process may open. Past it an
  // answered connection is closed, so that idle clients never keep new ones out.
  std::size_t MostIdle = 0;
};

// The time a transfer of `bytes` may take: `base` plus the bytes at the slowest rate.
std::chrono::milliseconds TransferTime(std::chrono::milliseconds base, std::size_t bytes,
                                       std::size_t slowestBytesPerSecond);

class TReception {
 public:
  // `dispatch` is given each connection whose head is complete, on the reception's thread or on
  // the one that calls Receive; it must not block.
  using TDispatch = std::function<void(std::shared_ptr<TConnection>)>;

  TReception(TReceptionTimes times, TDispatch dispatch);
  ~TReception();
  TReception(const TReception&) = delete;
  TReception& operator=(const TReception&) = delete;

  // Starts the thread; false when the system refuses what it needs.
  bool Start();
  // Ends the thread and closes every connection it holds.
  void Stop();

  // Any thread: a new connection, or one whose answer is ready in Out.
  void Receive(int socket);
  void Answer(std::shared_ptr<TConnection> connection);

 private:
  enum class TPhase { Idle, Head, Answer, Linger };
  enum class TProgress { Done, Later, Failed };
  struct THeld {
    std::shared_ptr<TConnection> Connection;
    TPhase Phase;
    std::size_t Dropped = 0;  // read and dropped while lingering
  };

  static TProgress ReadHeadOf(TConnection& connection);
  static TProgress SendOutOf(TConnection& connection);
  // Once the answer has gone: the phase the connection waits in, for its next request or to close;
  // none when its next request's head is here already.
  static std::optional<TPhase> Reuse(TConnection& connection);
  TSteadyClock::time_point DeadlineOf(const TConnection& connection, TPhase phase) const;
  // Hands the connection to the reception's thread, with the deadline of the phase.
  void Post(std::shared_ptr<TConnection> connection, TPhase phase);

  void Run();
  void TakeInbox();
  void Hold(std::shared_ptr<TConnection> connection, TPhase phase);
  void Release(int socket);
  void ReadHead(THeld& held);
  void SendAnswer(THeld& held);
  void Drain(THeld& held);
  void Sweep();

  TReceptionTimes Times_;
  TDispatch Dispatch_;
  int Poll_ = -1;
  int Wake_ = -1;
  std::thread Thread_;
  std::atomic<bool> Running_{false};

  std::mutex InboxLock_;
  std::vector<std::pair<std::shared_ptr<TConnection>, TPhase>> Inbox_;

  std::unordered_map<int, THeld> Held_;  // touched by the reception's thread only
  std::size_t Idle_ = 0;                 // of Held_, those waiting for a next request
  std::size_t MostIdle_ = 0;
  TSteadyClock::time_point LastSweep_;
};

}  // namespace velmora::statserver

#pragma once
// The HTTP library's server behind our own reception: the library parses and routes requests and
// writes answers, but only requests whose head has arrived reach a worker, a body is read only
// once the routes have allowed it (and then within a deadline), and answers are sent by the
// reception. A share of the workers is kept for requests that are already complete. A connection
// is kept for the client's next request while it waits in the reception, where it costs no worker.

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>

#include "reception.h"

namespace velmora::statserver {

struct TFrontLimits {
  int Workers = 64;
  // Workers that never wait for a body still being sent.
  int ReservedWorkers = 16;
  // Requests one connection carries before it is closed, so that clients spread again over the
  // processes behind a proxy.
  int MostRequestsPerConnection = 1000;
  TReceptionTimes Times;
};

class THttpFront : public httplib::Server {
 public:
  explicit THttpFront(TFrontLimits limits);
  ~THttpFront() override;

  // Serves until stop(); false when serving could not start.
  bool Serve();

  enum class TBodyPermit { Granted, Busy };
  // For the request being handled on this thread: lets its body of `length` bytes be read, within
  // the head's time plus the length at the slowest rate. Busy when the body is not here yet and no
  // more workers may wait for bodies.
  TBodyPermit PermitBody(std::size_t length);

 private:
  bool process_and_close_socket(socket_t sock) override;
  void Process(std::shared_ptr<TConnection> connection);

  TFrontLimits Limits_;
  std::atomic<bool> Stopping_{false};
  std::atomic<int> WaitingForBodies_{0};
  std::unique_ptr<httplib::ThreadPool> Workers_;
  std::unique_ptr<TReception> Reception_;
};

}  // namespace velmora::statserver

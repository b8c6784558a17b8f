#pragma once
// The start window's keep-alive: a ping of the server on a thread of its own, so that a server that
// does not answer never holds up the window. A failure is reported on the user interface thread.

#include <functional>
#include <memory>
#include <thread>

namespace velmora {

class TInternetPlugin;
class TUiThread;

class TKeepAlive {
 public:
  using TFailed = std::function<void(TInternetPlugin* client)>;

  // `failed` runs on the user interface thread, which outlives the keep-alive.
  TKeepAlive(TUiThread& uiThread, TFailed failed);
  // Abandons a ping on its way.
  ~TKeepAlive();
  TKeepAlive(const TKeepAlive&) = delete;
  TKeepAlive& operator=(const TKeepAlive&) = delete;

  // Pings the client, unless a ping is still on its way.
  void Ping(TInternetPlugin& client);
  // Ends a ping on its way at once and forgets its answer; called before the client goes.
  void Abandon();
  // Whether a ping is on its way (until its answer has been taken on the user interface thread).
  bool InFlight() const { return Thread_.joinable(); }

 private:
  void Answered(unsigned generation, bool ok, TInternetPlugin* client);

  TUiThread& UiThread_;
  TFailed Failed_;
  std::thread Thread_;
  TInternetPlugin* Client_ = nullptr;
  unsigned Generation_ = 0;
  // Posted answers check it: the keep-alive may be gone when they run.
  std::shared_ptr<bool> Alive_;
};

}  // namespace velmora

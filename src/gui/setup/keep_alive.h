#pragma once
// The start window's keep-alive: a ping of the server on a thread of its own, so that a server that
// does not answer never holds up the window. A failure is reported back on the UI thread.

#include <atomic>
#include <functional>
#include <thread>

#include <QObject>

namespace velmora {
class TInternetPlugin;
}

namespace velmora::gui {

class TKeepAlive : public QObject {
  Q_OBJECT

 public:
  using TFailed = std::function<void(TInternetPlugin* client)>;

  explicit TKeepAlive(TFailed failed, QObject* parent = nullptr);
  ~TKeepAlive() override;

  // Pings the client, unless a ping is still on its way.
  void Ping(TInternetPlugin& client);
  // Ends a ping on its way at once and forgets its answer; called before the client goes.
  void Abandon();
  bool InFlight() const { return Thread_.joinable(); }

 private:
  void Answered(unsigned generation, bool ok, TInternetPlugin* client);

  TFailed Failed_;
  std::thread Thread_;
  TInternetPlugin* Client_ = nullptr;
  unsigned Generation_ = 0;
};

}  // namespace velmora::gui

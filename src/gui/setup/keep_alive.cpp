#include "setup/keep_alive.h"

#include "serverlink/internet_plugin.h"

namespace velmora::gui {

TKeepAlive::TKeepAlive(TFailed failed, QObject* parent) : QObject(parent), Failed_(std::move(failed)) {}

TKeepAlive::~TKeepAlive() { Abandon(); }

void TKeepAlive::Ping(TInternetPlugin& client) {
  if (Thread_.joinable()) return;
  Client_ = &client;
  const unsigned generation = Generation_;
  Thread_ = std::thread([this, generation, &client] {
    const bool ok = static_cast<bool>(client.Ping());
    QMetaObject::invokeMethod(
        this, [this, generation, ok, &client] { Answered(generation, ok, &client); }, Qt::QueuedConnection);
  });
}

void TKeepAlive::Answered(unsigned generation, bool ok, TInternetPlugin* client) {
  if (generation != Generation_) return;  // abandoned meanwhile
  Thread_.join();                         // it has posted its last word
  Client_ = nullptr;
  if (!ok) Failed_(client);
}

void TKeepAlive::Abandon() {
  if (!Thread_.joinable()) return;
  ++Generation_;
  // The ping ends at once, so the join is short.
  Client_->AbandonTransfers();
  Thread_.join();
  Client_->ResumeTransfers();
  Client_ = nullptr;
}

}  // namespace velmora::gui

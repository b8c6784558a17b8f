#include "serverlink/keep_alive.h"

#include "platform/user_interface.h"
#include "serverlink/internet_plugin.h"

namespace velmora {

TKeepAlive::TKeepAlive(TUiThread& uiThread, TFailed failed)
    : UiThread_(uiThread), Failed_(std::move(failed)), Alive_(std::make_shared<bool>(true)) {}

TKeepAlive::~TKeepAlive() {
  Abandon();
  *Alive_ = false;
}

void TKeepAlive::Ping(TInternetPlugin& client) {
  if (Thread_.joinable()) return;
  Client_ = &client;
  const unsigned generation = Generation_;
  Thread_ = std::thread([this, generation, &client, alive = Alive_] {
    const bool ok = static_cast<bool>(client.Ping());
    UiThread_.Post([this, generation, ok, &client, alive] {
      if (*alive) Answered(generation, ok, &client);
    });
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

}  // namespace velmora

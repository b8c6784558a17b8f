#pragma once
// The sender of the live game. Every entered action goes through Enqueue on the user interface
// thread: it is kept for sending, shown in the history list and applied and stored by the model
// at once. The queue's own thread sends what arrived since its last pass every 1.5 s, in one
// request, while the game is on the server, and marks the history lines sent or not sent.
// A server that refuses for good is not asked again: a batch refused for what it holds is split
// until the one action at fault is found and left out; a refused session or game holds sending,
// with everything pending, until Resume. Destroying the queue stops its thread at once,
// abandoning a send in progress.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "records/action.h"
#include "serverlink/sender.h"

namespace velmora {

class TModel;
class TMessageSource;
class TInternetPlugin;
class THistoryList;
class TUiThread;

class TQueue final : public TSender {
 public:
  // `server` is the client while connected (none otherwise); model, server, UI thread and messages
  // outlive the queue.
  TQueue(TModel& model, TInternetPlugin* server, TUiThread& uiThread, const TMessageSource& messages,
         std::chrono::milliseconds period = std::chrono::milliseconds(1500));
  ~TQueue() override;
  TQueue(const TQueue&) = delete;
  TQueue& operator=(const TQueue&) = delete;

  TEnqueueResult Enqueue(std::unique_ptr<TAction> action) override;
  void AttachHistoryList(THistoryList* history) override;
  const TAction* FindHistoryAction(const std::string& id) const override;
  const TAction* FindFollowUpAction(const std::string& id, const std::string& shortName) const override;
  // The history's actions, earliest first (the rebound rule of SetParam looks there).
  std::vector<const TAction*> HistoryActions() const override;
  TSendingState SendingState() const override;
  void SetStateListener(std::function<void(const TSendingState&)> listener) override {
    Listener_ = std::move(listener);
  }
  void Resume() override;

  // How many actions wait to be dealt with by the sending thread.
  std::size_t PendingCount() const;
  // How many passes the sending thread has begun, with or without a batch.
  std::size_t Passes() const;
  // The next pass begins at once instead of at the end of the period (unless sending is held).
  void SendNow();

 private:
  struct TPending {
    std::unique_ptr<TAction> Action;  // none once dealt with
    std::string Text;                 // its history line
  };
  struct TBatch;
  struct TPass;

  void SendingLoop();
  // Sends the batch's entries at `indexes`, splitting what the server refuses for what it holds.
  void Send(const TBatch& batch, const std::vector<std::size_t>& indexes, TPass& pass);
  void Settle(const TBatch& batch, TPass& pass);
  void UpdateHistory(const TAction& action, const std::string& text);
  // Runs on the UI thread after a batch: sets the marks and repaints, and reloads after an edit or
  // a delete.
  void MarkBatch(const std::vector<std::string>& sent, const std::vector<std::string>& notSent, bool reload);
  // Under the lock: tells the listener the state as it is now.
  void PostStateChange();

  TModel& Model_;
  TInternetPlugin* Server_;
  TUiThread& UiThread_;
  const TMessageSource& Messages_;
  const std::chrono::milliseconds Period_;
  const std::string GameNumber_;
  const bool Online_;  // the game is on the server
  THistoryList* History_ = nullptr;
  std::function<void(const TSendingState&)> Listener_;  // user interface thread only
  // Posted work checks it: the queue and its history may be gone when the work runs.
  std::shared_ptr<bool> Alive_;

  mutable std::mutex Lock_;
  std::condition_variable Wake_;
  bool Stopping_ = false;
  bool PassNow_ = false;
  std::size_t Passes_ = 0;
  std::vector<TPending> Pending_;
  std::size_t Added_ = 0;
  std::size_t Processed_ = 0;  // every entry before it has been dealt with
  std::optional<TRefusal> Held_;
  std::vector<TRefusedAction> Refused_;

  std::thread Thread_;
};

}  // namespace velmora

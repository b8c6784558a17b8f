#pragma once
// The sender of the live game. Every entered action goes through Enqueue on the user interface
// thread: it is kept for sending, shown in the history list and applied and stored by the model
// at once. The queue's own thread sends what arrived since its last pass every 1.5 s, in one
// request, while the game is on the server, and marks the history lines sent or not sent.
// Destroying the queue stops its thread at once, abandoning a send in progress.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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

  // How many actions wait to be dealt with by the sending thread.
  std::size_t PendingCount() const;

 private:
  void SendingLoop();
  void UpdateHistory(const TAction& action, const std::string& text);
  // Runs on the UI thread after a batch: sets the marks and repaints, and reloads after an edit or
  // a delete.
  void MarkBatch(const std::vector<std::string>& ids, bool sent, bool reload);

  TModel& Model_;
  TInternetPlugin* Server_;
  TUiThread& UiThread_;
  const TMessageSource& Messages_;
  const std::chrono::milliseconds Period_;
  const std::string GameNumber_;
  const bool Online_;  // the game is on the server
  THistoryList* History_ = nullptr;
  // Posted work checks it: the queue and its history may be gone when the work runs.
  std::shared_ptr<bool> Alive_;

  mutable std::mutex Lock_;
  std::condition_variable Wake_;
  bool Stopping_ = false;
  TActionList Pending_;  // processed entries are freed (null)
  std::size_t Added_ = 0;
  std::size_t Processed_ = 0;

  std::thread Thread_;
};

}  // namespace velmora

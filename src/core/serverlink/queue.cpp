#include "serverlink/queue.h"

#include <algorithm>

#include "platform/user_interface.h"
#include "serverlink/history.h"
#include "serverlink/internet_plugin.h"
#include "stats/model.h"

namespace velmora {

TQueue::TQueue(TModel& model, TInternetPlugin* server, TUiThread& uiThread, const TMessageSource& messages,
               std::chrono::milliseconds period)
    : Model_(model),
      Server_(server),
      UiThread_(uiThread),
      Messages_(messages),
      Period_(period),
      GameNumber_(model.GameNumberText()),
      Online_(model.IsOnline()),
      Alive_(std::make_shared<bool>(true)),
      Thread_([this] { SendingLoop(); }) {}

TQueue::~TQueue() {
  {
    const std::lock_guard guard(Lock_);
    Stopping_ = true;
  }
  Wake_.notify_all();
  // A send being retried ends at once; pending actions stay in the local store only.
  if (Server_) Server_->AbandonTransfers();
  Thread_.join();
  if (Server_) {
    Server_->ResumeTransfers();
    Server_->ResetConnection();
  }
  *Alive_ = false;
}

TEnqueueResult TQueue::Enqueue(std::unique_ptr<TAction> action) {
  if (!action->FillDefaults(this)) return TEnqueueResult::Incomplete;
  // One rendering stamps the time of entry before any copy is made, so that the sent, the shown
  // and the stored copy order alike in the checksum.
  const TDateTime entered = action->AstroTime;
  const std::string text = action->Describe(Model_.MatchInfo, Messages_);
  // An inserted action keeps the time chosen for its place among the actions of its second.
  if (action->Inserted) action->AstroTime = entered;
  {
    const std::lock_guard guard(Lock_);
    Pending_.push_back(action->Clone());
    ++Added_;
  }
  if (!action->Inserted) UpdateHistory(*action, text);
  const bool stored = Model_.AddAction(action->Clone());
  if (action->Inserted && History_) {
    // The history holds the model's actions, newest first: the line goes where the model put it.
    const int index = Model_.IndexOf(action->ID);
    const std::size_t row = index < 0 ? 0 : Model_.Actions().size() - 1 - static_cast<std::size_t>(index);
    History_->Insert(row, THistoryLine{text, THistoryRecord{action->ID, action->Clone(), Online_}});
  }
  return stored ? TEnqueueResult::Accepted : TEnqueueResult::NotStored;
}

void TQueue::AttachHistoryList(THistoryList* history) { History_ = history; }

void TQueue::UpdateHistory(const TAction& action, const std::string& text) {
  if (!History_) return;
  const std::string& kind = action.ShortName;
  if (kind == "clock" || kind == "complete") return;
  if (kind == "delete") {
    const std::string target = action.Parameters.empty() ? std::string() : action.Parameters.front().Data;
    for (std::size_t row = History_->Count(); row-- > 0;) {
      if (History_->Line(row).Record.ID == target) History_->Remove(row);
    }
  } else if (kind == "edit") {
    for (std::size_t row = 0; row < History_->Count(); ++row) {
      const THistoryLine& line = History_->Line(row);
      if (line.Record.ID != action.ID) continue;
      // The line keeps showing the kind it showed, with the new values.
      auto copy = action.Clone();
      if (line.Record.Action) {
        copy->ShortName = line.Record.Action->ShortName;
        copy->Name = line.Record.Action->Name;
      }
      TAction shown(*copy);
      History_->Replace(row, shown.Describe(Model_.MatchInfo, Messages_), std::move(copy));
    }
  } else {
    History_->InsertTop(THistoryLine{text, THistoryRecord{action.ID, action.Clone(), Online_}});
  }
}

void TQueue::SendingLoop() {
  std::unique_lock lock(Lock_);
  while (!Stopping_) {
    if (Processed_ < Added_) {
      const std::size_t first = Processed_;
      const std::size_t end = Added_;
      TActionList batch;
      std::vector<std::string> ids;
      bool reload = false;
      for (std::size_t i = first; i < end; ++i) {
        batch.push_back(Pending_[i]->Clone());
        ids.push_back(Pending_[i]->ID);
        reload = reload || Pending_[i]->ShortName == "edit" || Pending_[i]->ShortName == "delete";
      }
      lock.unlock();
      bool sent = true;
      if (Online_) sent = Server_ && Server_->SendActions(GameNumber_, batch, 0, batch.size() - 1);
      UiThread_.Post([alive = Alive_, this, ids = std::move(ids), sent, reload] {
        if (*alive) MarkBatch(ids, sent, reload);
      });
      lock.lock();
      for (std::size_t i = first; i < end; ++i) Pending_[i].reset();
      Processed_ = end;
    }
    Wake_.wait_for(lock, Period_, [&] { return Stopping_; });
  }
}

void TQueue::MarkBatch(const std::vector<std::string>& ids, bool sent, bool reload) {
  if (!History_ || !History_->Shown()) return;
  for (std::size_t row = History_->Count(); row-- > 0;) {
    if (std::find(ids.begin(), ids.end(), History_->Line(row).Record.ID) != ids.end()) {
      History_->SetNotSent(row, !sent);
    }
  }
  if (reload) History_->Reload();
}

const TAction* TQueue::FindHistoryAction(const std::string& id) const {
  if (!History_) return nullptr;
  for (std::size_t row = History_->Count(); row-- > 0;) {
    const THistoryRecord& record = History_->Line(row).Record;
    if (record.ID == id) return record.Action.get();
  }
  return nullptr;
}

const TAction* TQueue::FindFollowUpAction(const std::string& id, const std::string& shortName) const {
  if (!History_) return nullptr;
  for (std::size_t row = History_->Count(); row-- > 0;) {
    const TAction* action = History_->Line(row).Record.Action.get();
    if (action && (action->ID == id || action->FollowUpID == id) && action->ShortName == shortName) return action;
  }
  return nullptr;
}

std::vector<const TAction*> TQueue::HistoryActions() const {
  std::vector<const TAction*> actions;
  if (!History_) return actions;
  for (std::size_t row = History_->Count(); row-- > 0;) {
    if (const TAction* action = History_->Line(row).Record.Action.get()) actions.push_back(action);
  }
  return actions;
}

std::size_t TQueue::PendingCount() const {
  const std::lock_guard guard(Lock_);
  return Added_ - Processed_;
}

}  // namespace velmora

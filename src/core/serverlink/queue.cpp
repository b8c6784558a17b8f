#include "serverlink/queue.h"

#include <algorithm>
#include <unordered_set>

#include "platform/logger.h"
#include "platform/user_interface.h"
#include "serverlink/history.h"
#include "serverlink/internet_plugin.h"
#include "stats/model.h"

namespace velmora {

// Copies of the entries a pass sends, taken under the lock.
struct TQueue::TBatch {
  std::vector<std::size_t> Positions;
  TActionList Actions;
  std::vector<std::string> Texts;
};

// What a pass came to.
struct TQueue::TPass {
  std::vector<std::size_t> Done;  // batch indexes dealt with
  std::vector<std::string> Sent;
  std::vector<std::string> NotSent;
  std::vector<TRefusedAction> Refused;
  std::optional<TRefusal> Held;
  bool Abandoned = false;
};

namespace {

// The one entry among `indexes` whose ID the server's answer names; none when it names none or an
// ID that several entries carry (an edit carries the ID of what it corrects).
std::optional<std::size_t> NamedEntry(const TActionList& actions, const std::vector<std::size_t>& indexes,
                                      const std::string& answer) {
  std::optional<std::size_t> named;
  for (const std::size_t index : indexes) {
    const std::string& id = actions[index]->ID;
    if (id.empty() || answer.find(id) == std::string::npos) continue;
    if (named) return std::nullopt;
    named = index;
  }
  return named;
}

}  // namespace

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
    Pending_.push_back({action->Clone(), text});
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
    if (Held_) {
      Wake_.wait(lock, [&] { return Stopping_ || !Held_; });
      continue;
    }
    ++Passes_;
    PassNow_ = false;
    TBatch batch;
    for (std::size_t i = Processed_; i < Added_; ++i) {
      if (!Pending_[i].Action) continue;
      batch.Positions.push_back(i);
      batch.Actions.push_back(Pending_[i].Action->Clone());
      batch.Texts.push_back(Pending_[i].Text);
    }
    if (!batch.Actions.empty()) {
      lock.unlock();
      TPass pass;
      std::vector<std::size_t> all(batch.Actions.size());
      for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
      Send(batch, all, pass);
      lock.lock();
      // What a transfer abandoned for another reason left undone goes in the next pass.
      if (pass.Abandoned && Stopping_) break;
      Settle(batch, pass);
      if (Held_) continue;
    }
    Wake_.wait_for(lock, Period_, [&] { return Stopping_ || PassNow_; });
  }
}

void TQueue::Send(const TBatch& batch, const std::vector<std::size_t>& indexes, TPass& pass) {
  if (indexes.empty() || pass.Held || pass.Abandoned) return;
  const auto deal = [&](bool sent) {
    for (const std::size_t index : indexes) {
      pass.Done.push_back(index);
      (sent ? pass.Sent : pass.NotSent).push_back(batch.Actions[index]->ID);
    }
  };
  if (!Online_) return deal(true);
  if (!Server_) return deal(false);

  TSendOutcome outcome;
  if (indexes.size() == batch.Actions.size()) {
    outcome = Server_->SendActions(GameNumber_, batch.Actions, 0, indexes.size() - 1);
  } else {
    TActionList part;
    for (const std::size_t index : indexes) part.push_back(batch.Actions[index]->Clone());
    outcome = Server_->SendActions(GameNumber_, part, 0, part.size() - 1);
  }
  switch (outcome.Kind) {
    case TSendOutcome::TKind::Sent: return deal(true);
    case TSendOutcome::TKind::LeftOut:
    case TSendOutcome::TKind::GivenUp: return deal(false);
    case TSendOutcome::TKind::Abandoned: pass.Abandoned = true; return;
    case TSendOutcome::TKind::Refused: break;
  }

  const TRefusal& refusal = outcome.Refusal;
  // A refused session or game refuses every batch alike: sending waits for a new login.
  if (refusal.Status != 400 && refusal.Status != 413) {
    pass.Held = refusal;
    return;
  }
  const auto refuse = [&](std::size_t index) {
    const TAction& action = *batch.Actions[index];
    Log("The server refused action " + action.ID + " of game " + GameNumber_ + " for good: HTTP " +
        std::to_string(refusal.Status) + " " + refusal.Answer);
    pass.Done.push_back(index);
    pass.NotSent.push_back(action.ID);
    pass.Refused.push_back({action.ID, batch.Texts[index], refusal});
  };
  if (indexes.size() == 1) return refuse(indexes.front());
  if (refusal.Status == 400) {
    if (const auto named = NamedEntry(batch.Actions, indexes, refusal.Answer)) {
      refuse(*named);
      std::vector<std::size_t> others;
      for (const std::size_t index : indexes) {
        if (index != *named) others.push_back(index);
      }
      return Send(batch, others, pass);
    }
  }
  // Halves keep the order in which the server applies the actions.
  const auto middle = indexes.begin() + static_cast<std::ptrdiff_t>(indexes.size() / 2);
  Send(batch, std::vector<std::size_t>(indexes.begin(), middle), pass);
  Send(batch, std::vector<std::size_t>(middle, indexes.end()), pass);
}

void TQueue::Settle(const TBatch& batch, TPass& pass) {
  bool reload = false;
  for (const std::size_t index : pass.Done) {
    Pending_[batch.Positions[index]] = {};
    const std::string& kind = batch.Actions[index]->ShortName;
    reload = reload || kind == "edit" || kind == "delete";
  }
  while (Processed_ < Added_ && !Pending_[Processed_].Action) ++Processed_;
  const bool changed = pass.Held || !pass.Refused.empty();
  for (auto& refused : pass.Refused) Refused_.push_back(std::move(refused));
  if (pass.Held) {
    Log("Sending of game " + GameNumber_ + " waits for a new session: HTTP " + std::to_string(pass.Held->Status) +
        " " + pass.Held->Answer);
    Held_ = std::move(pass.Held);
  }
  // Posted under the lock: once the batch counts as dealt with, its marks are on their way.
  if (!pass.Done.empty()) {
    UiThread_.Post([alive = Alive_, this, sent = std::move(pass.Sent), notSent = std::move(pass.NotSent), reload] {
      if (*alive) MarkBatch(sent, notSent, reload);
    });
  }
  if (changed) PostStateChange();
}

void TQueue::PostStateChange() {
  UiThread_.Post([alive = Alive_, this, state = TSendingState{Held_, Refused_}] {
    if (*alive && Listener_) Listener_(state);
  });
}

void TQueue::Resume() {
  const std::lock_guard guard(Lock_);
  if (!Held_) return;
  Log("Sending of game " + GameNumber_ + " goes on after a new login");
  Held_.reset();
  Wake_.notify_all();
  PostStateChange();
}

TSendingState TQueue::SendingState() const {
  const std::lock_guard guard(Lock_);
  return {Held_, Refused_};
}

void TQueue::MarkBatch(const std::vector<std::string>& sent, const std::vector<std::string>& notSent, bool reload) {
  if (!History_ || !History_->Shown()) return;
  const std::unordered_set<std::string> sentIds(sent.begin(), sent.end());
  const std::unordered_set<std::string> notSentIds(notSent.begin(), notSent.end());
  for (std::size_t row = History_->Count(); row-- > 0;) {
    const std::string& id = History_->Line(row).Record.ID;
    // A refused edit leaves its line not sent, although the action it corrects went.
    if (notSentIds.count(id) != 0) {
      History_->SetNotSent(row, true);
    } else if (sentIds.count(id) != 0) {
      History_->SetNotSent(row, false);
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

std::size_t TQueue::Passes() const {
  const std::lock_guard guard(Lock_);
  return Passes_;
}

void TQueue::SendNow() {
  const std::lock_guard guard(Lock_);
  PassNow_ = true;
  Wake_.notify_all();
}

std::size_t TQueue::PendingCount() const {
  const std::lock_guard guard(Lock_);
  std::size_t count = 0;
  for (std::size_t i = Processed_; i < Added_; ++i) count += Pending_[i].Action ? 1 : 0;
  return count;
}

}  // namespace velmora

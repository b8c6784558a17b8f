#include "stats/model.h"

#include <algorithm>

#include "platform/configuration.h"
#include "records/game_time.h"
#include "records/text_utils.h"
#include "stats/derived_scoring.h"

namespace velmora {

namespace {
// The period number of a period action; none when unreadable or beyond what a game can hold, so
// that nothing is sized by a number from outside.
std::optional<int> PeriodNumberOf(const TAction& action) {
  const auto quarter = ParseInt32(action.GetParam("Quarter"));
  if (!quarter || *quarter < 0 || *quarter > kMaxPeriod) return std::nullopt;
  return quarter;
}
}  // namespace

TIntegerHash NewStatTable() {
  static const TIntegerHash kTemplate = [] {
    TIntegerHash table;
    for (const std::string_view key : kStatKeys) table.Set(key, 0);
    return table;
  }();
  return kTemplate;
}

TModel::TModel(const TConfiguration& config, std::unique_ptr<TGameStore> store)
    : Config_(config), Store_(std::move(store)) {
  ResetTables();
}

void TModel::ResetTables() {
  const TIntegerHash fresh = NewStatTable();
  for (TIntegerHash& table : Stats_) table = fresh;
}

int TModel::StatPlayerCount(int team) const { return std::clamp(MatchInfo.Team(team).PlayerCount, 0, kMaxStatPlayers); }

int TModel::StatPlayerIndex(int team, std::string_view shirtNumber) const {
  // Searched among the players with tables only: one past them sharing the shirt must not hide
  // the one who has a table.
  const auto number = ParseInt32(shirtNumber);
  if (!number) return -1;
  const TTeam& roster = MatchInfo.Team(team);
  for (int slot = StatPlayerCount(team); slot >= 1; --slot) {
    if (roster.Player(slot).Number == *number) return slot;
  }
  return -1;
}

bool TModel::OpenGame(std::string_view gameNumber) {
  // What the previous game could not store belongs to that game; its window rescued it on closing.
  Unstored_.clear();
  MatchInfo.GameNumber = gameNumber;
  bool loaded = false;
  if (Store_) {
    const bool matchInfoLoaded = Store_->LoadMatchInfo(gameNumber, MatchInfo);
    const bool actionsLoaded = Store_->LoadActions(gameNumber, Actions_);
    loaded = matchInfoLoaded && actionsLoaded;
  }
  Recompute();
  return loaded;
}

void TModel::SetActions(TActionList actions) { Actions_ = std::move(actions); }

void TModel::Increment(std::string_view team, std::string_view player, std::string_view key) {
  const int number = TeamOf(team);
  const int slot = StatPlayerIndex(number, player);
  if (slot > 0) {
    Table(PlayerSlot(number, slot)).Add(key, 1);
  } else if (key == "RF") {
    return;  // a foul received by nobody we know is not counted anywhere
  } else {
    Table(EntitySlot(number)).Add(key, 1);
  }
  Table(TotalsSlot(number)).Add(key, 1);
}

void TModel::ApplySubstitution(const TAction& action) {
  const int team = TeamOf(action.GetParam("Team"));
  const int seconds = WholeSeconds(action.GameTime);
  const bool atTipOff = action.GameTime == 0;
  if (const int in = StatPlayerIndex(team, action.GetParam("Player In")); in > 0) {
    TIntegerHash& table = Table(PlayerSlot(team, in));
    table.Set("IN", 1);
    table.Set("LAST_IN", seconds);
    if (atTipOff) table.Set("STA", 1);
  }
  if (const int out = StatPlayerIndex(team, action.GetParam("Player Out")); out > 0) {
    TIntegerHash& table = Table(PlayerSlot(team, out));
    table.Set("IN", 0);
    table.Add("MIN", seconds - table.Get("LAST_IN"));
    if (atTipOff) table.Set("STA", 0);
  }
}

void TModel::ApplyPeriod(const TAction& action) {
  const std::string type = action.GetParam("Type");
  const auto quarter = PeriodNumberOf(action);
  if (type == "Start Game") {
    CurrentPeriod_ = 1;
    PeriodEnded_ = false;
  } else if (type == "Start") {
    if (quarter) CurrentPeriod_ = *quarter;
    PeriodEnded_ = false;
  } else if (type == "End") {
    PeriodEnded_ = true;
  } else if (type == "End Game") {
    PeriodEnded_ = true;
    GameEnded_ = true;
  }
  // Team fouls start again at each boundary of regulation time; those of the last regulation
  // period carry into the overtimes.
  if (quarter && *quarter < Config_.GetInt("no_of_quarters")) {
    MatchInfo.Team1.TeamFouls = 0;
    MatchInfo.Team2.TeamFouls = 0;
  }
}

void TModel::Apply(const TAction& action) {
  const std::string& kind = action.ShortName;
  if (kind == "subst") {
    ApplySubstitution(action);
    return;
  }
  if (kind == "quarter") {
    ApplyPeriod(action);
    return;
  }

  const std::string team = action.GetParam("Team");
  const std::string player = action.GetParam("Player");
  if (kind == "reb") {
    Increment(team, player, "RT");
    Increment(team, player, action.GetParam("Type") == "Defensive" ? "RD" : "RO");
  } else if (kind == "assist") {
    Increment(team, player, "AS");
  } else if (kind == "block") {
    Increment(team, player, "BS");
  } else if (kind == "foul") {
    Increment(team, player, "PF");
    MatchInfo.Team(TeamOf(team)).TeamFouls += 1;
    const std::string fouledOn = action.GetParam("Fouled on");
    if (!fouledOn.empty()) Increment(TeamOf(team) == 1 ? "2" : "1", fouledOn, "RF");
  } else if (kind == "turnover") {
    Increment(team, player, "TO");
  } else if (kind == "steal") {
    Increment(team, player, "ST");
  } else if (kind == "fthrow") {
    Increment(team, player, "P1A");
    if (action.GetParam("Made") == "Made") {
      Increment(team, player, "P1M");
      Increment(team, player, "PTS");
    }
  } else if (kind == "shot") {
    const std::string made = action.GetParam("Made");
    const bool three = action.GetParam("Points") == "3";
    Increment(team, player, three ? "P3A" : "P2A");
    if (made == "Made") {
      Increment(team, player, three ? "P3M" : "P2M");
      for (int point = 0; point < (three ? 3 : 2); ++point) Increment(team, player, "PTS");
    }
    if (made == "Blocked") Increment(team, player, "BR");
  }
}

bool TModel::AddAction(std::unique_ptr<TAction> action) {
  const std::string kind = action->ShortName;
  if (kind == "edit") {
    const int index = IndexOf(action->ID);
    if (index >= 0) {
      // The edited action stays what it was, entered when it was; the store keeps it so too.
      auto replacement = action->Clone();
      replacement->ShortName = Actions_[static_cast<std::size_t>(index)]->ShortName;
      replacement->AstroTime = Actions_[static_cast<std::size_t>(index)]->AstroTime;
      Actions_[static_cast<std::size_t>(index)] = std::move(replacement);
    }
    Recompute();
  } else if (kind == "delete") {
    const int index = IndexOf(action->GetParam("Event"));
    if (index >= 0) Actions_.erase(Actions_.begin() + index);
    Recompute();
  } else if (action->System) {
    return true;
  } else if (kind == "clock") {
    UpdateMinutes(MatchInfo.CurrentGameTime);
  } else if (kind != "complete") {
    if (action->Inserted) return InsertAction(std::move(action));
    Actions_.push_back(std::move(action));
    TAction& added = *Actions_.back();
    Apply(added);
    added.Period = CurrentPeriod_;
    return Store(added);
  }
  action->Period = CurrentPeriod_;
  return Store(*action);
}

bool TModel::InsertAction(std::unique_ptr<TAction> action) {
  // Where the store orders it, by the time of the game and then of entry: a reopened game holds it
  // in the same place.
  const auto key = [](const TAction& entry) {
    return std::pair(WholeSeconds(entry.GameTime), WholeSeconds(entry.AstroTime));
  };
  std::size_t position = Actions_.size();
  while (position > 0 && key(*action) < key(*Actions_[position - 1])) --position;
  Actions_.insert(Actions_.begin() + static_cast<std::ptrdiff_t>(position), std::move(action));
  const TAction& added = *Actions_[position];
  Recompute();
  return Store(added);
}

bool TModel::Store(const TAction& action) {
  if (!Store_) return true;
  // A later action must not reach the store before an earlier one that is still waiting: an edit
  // or a delete would find nothing to change.
  if (StoreUnstored() && Store_->StoreAction(MatchInfo, action)) return true;
  Unstored_.push_back(action.Clone());
  if (UnstoredHandler_) UnstoredHandler_();
  return false;
}

bool TModel::StoreUnstored() {
  std::size_t stored = 0;
  while (stored < Unstored_.size() && Store_ && Store_->StoreAction(MatchInfo, *Unstored_[stored])) ++stored;
  Unstored_.erase(Unstored_.begin(), Unstored_.begin() + static_cast<std::ptrdiff_t>(stored));
  return Unstored_.empty();
}

void TModel::UpdateMinutes(TDateTime clock) {
  const int seconds = WholeSeconds(clock);
  for (int team = 1; team <= 2; ++team) {
    TIntegerHash& totals = Table(TotalsSlot(team));
    totals.Set("MIN", 0);
    for (int slot = 1; slot <= StatPlayerCount(team); ++slot) {
      TIntegerHash& table = Table(PlayerSlot(team, slot));
      if (table.Get("IN") == 1) {
        table.Add("MIN", seconds - table.Get("LAST_IN"));
        table.Set("LAST_IN", seconds);
      }
      totals.Add("MIN", table.Get("MIN"));
    }
  }
}

void TModel::Recompute() {
  ResetTables();
  CurrentPeriod_ = 0;
  PeriodEnded_ = false;
  GameEnded_ = false;
  // The replay counts every foul again, so the team fouls start from nothing too.
  MatchInfo.Team1.TeamFouls = 0;
  MatchInfo.Team2.TeamFouls = 0;
  for (const auto& action : Actions_) {
    Apply(*action);
    action->Period = CurrentPeriod_;
  }
  for (int team = 1; team <= 2; ++team) {
    const std::vector<int> totals = PlusMinusTotals(*this, team);
    for (int slot = 1; slot <= StatPlayerCount(team); ++slot) {
      Table(PlayerSlot(team, slot)).Set("PLLSS", totals[static_cast<std::size_t>(slot)]);
    }
  }
  UpdateMinutes(MatchInfo.CurrentGameTime);
}

TStatus TModel::SaveMatchInfo() {
  TStatus saved = Store_ ? Store_->StoreMatchInfo(MatchInfo) : TStatus();
  if (!Server_) return saved;
  if (const TStatus sent = Server_->UpdateMatchInfo(MatchInfo); !sent && saved) {
    saved = TError{"El servidor no aceptó la información del partido: " + sent.Error()};
  }
  return saved;
}

void TModel::ClockTick() {
  MatchInfo.CurrentGameTime += EncodeTime(0, 0, 1);
  if (!Submitter_) return;
  if (auto action = Submitter_->NewAction("clock")) Submitter_->Submit(std::move(action));
}

void TModel::SendClockMark() {
  if (!Submitter_) return;
  if (auto action = Submitter_->NewAction("clock")) {
    action->System = true;
    Submitter_->Submit(std::move(action));
  }
}

bool TModel::PeriodTimeOver() const {
  return ClockNotAfter(PeriodEnd(PeriodSettingsOf(Config_), CurrentPeriod_), MatchInfo.CurrentGameTime);
}

std::string TModel::RemainingPeriodText() const {
  return MinutesSecondsOf(PeriodEnd(PeriodSettingsOf(Config_), CurrentPeriod_) - MatchInfo.CurrentGameTime);
}

int TModel::PlayersOnCourt(int team) const {
  int count = 0;
  for (int slot = 1; slot <= StatPlayerCount(team); ++slot) {
    if (Stats(PlayerSlot(team, slot)).Get("IN") == 1) ++count;
  }
  return count;
}

std::pair<int, int> TModel::Score() const { return {Stats(TotalsSlot(1)).Get("PTS"), Stats(TotalsSlot(2)).Get("PTS")}; }

std::vector<std::pair<int, int>> TModel::PeriodScores() const {
  std::vector<std::pair<int, int>> scores;
  int period = 1;
  const auto extendTo = [&](int length) {
    if (static_cast<int>(scores.size()) < length) scores.resize(static_cast<std::size_t>(length));
  };
  for (const auto& action : Actions_) {
    if (action->ShortName == "quarter") {
      if (const auto quarter = PeriodNumberOf(*action); quarter && *quarter > 0) period = *quarter;
      scores.resize(static_cast<std::size_t>(period));
      continue;
    }
    const bool scoring =
        (action->ShortName == "shot" || action->ShortName == "fthrow") && action->GetParam("Made") == "Made";
    if (!scoring) continue;
    const int points = MadePoints(*action);
    const std::string team = action->GetParam("Team");
    if (team != "1" && team != "2") continue;
    extendTo(period);
    auto& entry = scores[static_cast<std::size_t>(period - 1)];
    (team == "1" ? entry.first : entry.second) += points;
  }
  return scores;
}

const TAction* TModel::FollowUpOf(const TAction& action, int n) const {
  for (const auto& candidate : Actions_) {
    if (candidate->FollowUpID == action.ID && candidate->ShortName != "fthrow" && --n == 0) return candidate.get();
  }
  return nullptr;
}

int TModel::IndexOf(std::string_view id) const {
  for (int i = static_cast<int>(Actions_.size()) - 1; i >= 0; --i) {
    if (Actions_[static_cast<std::size_t>(i)]->ID == id) return i;
  }
  return -1;
}

int TModel::TimeoutsUsed(int team, int period) const {
  const int quarters = Config_.GetInt("no_of_quarters");
  const int half = quarters / 2;
  int first;
  int last;
  if (period <= half) {
    first = 1, last = half;
  } else if (period > quarters) {
    first = last = period;
  } else {
    first = half + 1, last = quarters;
  }
  const std::string teamText = std::to_string(team);
  int used = 0;
  for (const auto& action : Actions_) {
    if (action->ShortName != "timeout" || action->Period < 0 || action->Period > 15) continue;
    if (action->Period < first || action->Period > last) continue;
    const TParameter* parameter = action->Param("Team");
    if (parameter && parameter->Data == teamText) ++used;
  }
  return used;
}

}  // namespace velmora

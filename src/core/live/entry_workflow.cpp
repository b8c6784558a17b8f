#include "live/entry_workflow.h"

#include <cmath>
#include <stdexcept>

#include "app/app.h"
#include "live/action_editing.h"
#include "platform/configuration.h"
#include "platform/user_interface.h"
#include "records/court_map.h"
#include "records/date_time.h"
#include "records/game_time.h"
#include "records/guid.h"
#include "records/message_source.h"
#include "records/team.h"
#include "records/text_utils.h"
#include "serverlink/sender.h"
#include "stats/model.h"

namespace velmora {

namespace {

bool Missing(const TParameter& parameter) { return parameter.Data.empty() && parameter.Default.empty(); }

// The team number of a "Team" value; the rules cannot go on without one.
int TeamNumber(const std::string& value) {
  if (value == "1") return 1;
  if (value == "2") return 2;
  throw std::runtime_error("no team");
}

int NumberOf(const std::string& text) { return ParseInt32(text).value_or(0); }

}  // namespace

class TEntryWorkflow::TBusy {
 public:
  explicit TBusy(TEntryWorkflow& entry) : Entry_(entry) { ++Entry_.Depth_; }
  ~TBusy() {
    if (--Entry_.Depth_ == 0) Entry_.View_.EntryIdle();
  }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;

 private:
  TEntryWorkflow& Entry_;
};

TEntryWorkflow::TEntryWorkflow(TModel& model, TApp& app, TUserInterface& userInterface, TEntryPrompts& prompts,
                               TEntryView& view)
    : Model_(model), App_(app), UserInterface_(userInterface), Prompts_(prompts), View_(view) {}

TEntryWorkflow::~TEntryWorkflow() = default;

TSender* TEntryWorkflow::Sender() const { return App_.Sender(); }

const TActionHistory* TEntryWorkflow::History() const { return App_.Sender(); }

bool TEntryWorkflow::FollowUpsEnabled() const { return App_.GetInt("enable_followups") == 1; }

void TEntryWorkflow::Submit(const TAction& action) { App_.Submit(action.Clone()); }

void TEntryWorkflow::ShowPrompt(const std::string& text) {
  if (!Current_) {
    View_.ShowPrompt(text);
  } else {
    View_.ShowPrompt(text.empty() ? Current_->Name : Current_->Name + ": " + text);
  }
}

void TEntryWorkflow::StartFromTemplate(const TAction& templateAction) {
  const TBusy busy(*this);
  auto action = templateAction.Clone();
  action->ID = NewGuid();
  action->GameTime = Model_.MatchInfo.CurrentGameTime;
  action->Period = Model_.CurrentPeriod();
  action->AstroTime = Now();
  SetCurrentAction(std::move(action));
  AdvanceEntry();
}

void TEntryWorkflow::CourtClick(int x, int y, bool rightButton) {
  const TBusy busy(*this);
  const TCourtPoint point = ClampToCourt(x, y);
  const bool inLane = InLane(point);
  if (Current_) ResetEntry();
  SetCurrentAction(App_.NewAction("shot"));
  if (!Current_) return;
  TAction& shot = *Current_;
  if (!inLane) shot.SetParam("Shot type", "Jump shot");
  const std::string coordinates = CoordinatesText(point);
  shot.SetParam("Coordinates", coordinates);
  const int points = PointsFromPosition(coordinates).value_or(2);
  shot.SetParam("Points", std::to_string(points));
  View_.ShowMarker(points == 3, point.X, point.Y);
  if (rightButton) shot.SetParam("Made", "Missed");
  AdvanceEntry();
}

void TEntryWorkflow::PlayerClick(int tag, bool down) {
  const TBusy busy(*this);
  if (!down) {
    SelectedPlayer_ = 0;
    SelectedTeam_ = 0;
  } else if (tag < 0) {
    SelectedPlayer_ = 0;
    SelectedTeam_ = -tag;
  } else {
    SelectedPlayer_ = tag % 1000;
    SelectedTeam_ = tag / 1000;
    if (const std::string name = PlayerName(SelectedTeam_, SelectedPlayer_); !name.empty())
      View_.InsertPlayerName(name);
  }
  AdvanceEntry();
}

void TEntryWorkflow::TimeoutCommand() {
  const TBusy busy(*this);
  SetCurrentAction(App_.NewAction("timeout"));
  AdvanceEntry();
}

void TEntryWorkflow::SingleSubstitution(int team) {
  const TBusy busy(*this);
  auto substitution = App_.NewAction("subst");
  if (!substitution) return;
  substitution->SetParam("Team", std::to_string(team));
  View_.StopClock();
  SetCurrentAction(std::move(substitution));
  if (SelectedTeam_ != team) {
    SelectedPlayer_ = 0;
    View_.ReleaseButtons();
  }
  SelectedTeam_ = team;
  View_.RestrictToTeam(team);
  AdvanceEntry();
}

void TEntryWorkflow::SendComment(const std::string& text) {
  const TBusy busy(*this);
  if (auto comment = App_.NewAction("comment")) {
    comment->SetParam("Team1Score", "0");
    comment->SetParam("Team2Score", "0");
    comment->SetParam("Comment", text);
    App_.Submit(std::move(comment));
  }
  ResetEntry();
}

void TEntryWorkflow::SetCurrentAction(std::unique_ptr<TAction> action) {
  const TBusy busy(*this);
  if (Current_ && !Current_->Complete) {
    const bool continuesChain = action && action->IsFollowUp() &&
                                (action->FollowUpID == Current_->ID || action->FollowUpID == Current_->FollowUpID);
    if (!continuesChain) {
      if (auto mark = App_.NewAction("complete")) {
        mark->SetParam("Event", Current_->FollowUpID);
        App_.Submit(std::move(mark));
      }
    }
  }
  View_.ShowTeamButtons(false, false);
  View_.RestrictToTeam(0);
  Current_ = std::move(action);
  if (!Current_) return;
  TAction& current = *Current_;
  const TMatchInfo& matchInfo = Model_.MatchInfo;
  if (current.SuggestedTeam != 0) View_.RestrictToTeam(current.SuggestedTeam);
  const bool singleThrows = current.ShortName == "fthrow" && !FollowUpsEnabled();
  const std::string teamValue = current.GetParam("Team");
  if (current.ShortName == "subst" && (teamValue == "1" || teamValue == "2") &&
      Model_.PlayersOnCourt(TeamOf(teamValue)) < 5) {
    // Somebody may come in without anybody going out.
    const int team = TeamOf(teamValue);
    current.SetParam("Player Out", "0");
    View_.ShowTeamButtons(team == 1 && matchInfo.IsTracked(1), team == 2 && matchInfo.IsTracked(2));
  } else if (!singleThrows) {
    const TParameter* player = current.Param("Player");
    if (current.Param("Team") && player && !player->Default.empty()) {
      View_.ShowTeamButtons(matchInfo.IsTracked(1), matchInfo.IsTracked(2));
    }
  }
  if (singleThrows) {
    if (TParameter* throwsLeft = current.Param("Throws Left")) throwsLeft->Default = "1";
    current.SetParam("Throw Number", "0");
  }
}

void TEntryWorkflow::AdvanceEntry() {
  const TBusy busy(*this);
  if (!Current_) {
    ShowPrompt(SelectedPlayer_ > 0 ? "Seleccione una acción" : "");
    return;
  }
  TAction& action = *Current_;
  const std::string& kind = action.ShortName;
  if (SelectedTeam_ > 0) action.SetParam("Team", std::to_string(SelectedTeam_), History());
  if (SelectedPlayer_ > 0) {
    const std::string player = std::to_string(SelectedPlayer_);
    action.SetParam(kind == "subst" ? "Player Out" : "Player", player, History());
    if (kind == "shot") {
      LastShooter_ = player;
    } else if (kind == "assist" && action.GetParam("Player") == LastShooter_) {
      UserInterface_.ShowMessage(kApplicationTitle, "No se puede asistir a si mismo", TMessageIcon::Information);
      LastShooter_.clear();
      return;
    }
  }
  action.FillDefaults(History());

  const TParameter* playerNeeded = nullptr;
  const TParameter* teamNeeded = nullptr;
  const TParameter* choiceNeeded = nullptr;
  const TParameter* otherNeeded = nullptr;
  for (const TParameter& parameter : action.Parameters) {
    if (!Missing(parameter)) continue;
    const TParameter** slot = &otherNeeded;
    if (parameter.Type == "player" && kind != "subst" && kind != "foul") {
      slot = &playerNeeded;
    } else if (parameter.Type == "team") {
      slot = &teamNeeded;
    } else if (parameter.Type == "choice") {
      slot = &choiceNeeded;
    }
    if (!*slot) *slot = &parameter;
  }

  const TParameter* prompt = playerNeeded ? playerNeeded : teamNeeded ? teamNeeded : otherNeeded;
  if (prompt == otherNeeded && otherNeeded && kind == "subst" && otherNeeded->Name == "Player In") {
    const bool foulOut = IsFoulOutSubstitution(action);
    const std::vector<TPlayerView> bench = EligiblePlayers(SelectedTeam_, TPlayerPurpose::Incoming);
    // A list with nobody to choose is not worth a click when the play goes on without it.
    const int incoming =
        foulOut && bench.empty() ? 0 : Prompts_.AskPlayer(SelectedTeam_, TPlayerPurpose::Incoming, bench);
    if (incoming == 0) {
      if (foulOut) {
        ContinueWithoutSubstitution();
        return;
      }
      SetCurrentAction(nullptr);
      ResetEntry();
      return;
    }
    Current_->SetParam("Player In", std::to_string(incoming));
    prompt = nullptr;
  }
  if (prompt) {
    ShowPrompt(prompt->Type == "team" ? std::string("Seleccione jugador/equipo infractor")
                                      : "Seleccionar " + Caption(App_, prompt->Name));
  } else if (choiceNeeded && !AskMissingChoices()) {
    return;
  }
  if (Current_ && Current_->FillDefaults(History())) CommitAction();
}

bool TEntryWorkflow::AskMissingChoices() {
  for (std::size_t i = 0; Current_ && i < Current_->Parameters.size(); ++i) {
    TAction& action = *Current_;
    const std::string& kind = action.ShortName;
    TParameter& parameter = action.Parameters[i];
    if (parameter.Type == "choice" && Missing(parameter)) {
      std::string title;
      if (kind == "fthrow" && parameter.Name == "Made" && FollowUpsEnabled()) {
        title = "Tiro " + action.GetParam("Throw Number") + " de " + action.GetParam("Throws Left");
      } else if (kind == "foul" && parameter.Name == "Shots to make") {
        title = "Cuantos tiros libres?";
      } else if ((kind == "shot" || kind == "fthrow") && parameter.Name == "CounterAttack") {
        title = "En contra ataque?";
      }
      std::string answer;
      if ((kind == "shot" || kind == "fthrow") && parameter.Name == "CounterAttack" &&
          action.GetParam("Made") != "Made") {
        answer = "2";  // only a made basket can be a fast break
      } else {
        answer = Prompts_.AskChoice(parameter, title);
        if (answer.empty()) {
          SetCurrentAction(nullptr);
          ResetEntry();
          return false;
        }
      }
      const int position = NumberOf(answer);
      if (kind == "timeout" && answer != "1") {
        const int period = Model_.CurrentPeriod();
        if (Model_.TimeoutsUsed(position - 1, period) >= TimeoutsAllowed(PeriodSettingsOf(App_.Config()), period)) {
          UserInterface_.ShowMessage("Velmora", "No se permiten mas tiempos muertos en este periodo",
                                     TMessageIcon::Information);
          return false;
        }
      }
      if (kind == "foul" && parameter.Name == "Type of personal" && answer == "2" && i + 1 < action.Parameters.size()) {
        // A shooting foul: how many free throws is asked next.
        action.Parameters[i + 1].Default.clear();
        action.Parameters[i + 1].Data.clear();
      }
      action.SetParamByPosition(parameter.Name, position, History());
    } else if (kind == "foul" && parameter.Name == "Fouled on" && action.GetParam("Type") != "Technical") {
      const int team = 3 - SelectedTeam_;
      const int fouled =
          Prompts_.AskPlayer(team, TPlayerPurpose::Fouled, EligiblePlayers(team, TPlayerPurpose::Fouled));
      action.SetParam("Fouled on", std::to_string(fouled));
    }
  }
  return Current_ != nullptr;
}

void TEntryWorkflow::CommitAction() {
  const TBusy busy(*this);
  ResetEntry();
  TAction& action = *Current_;
  const std::string& kind = action.ShortName;
  const TAction& root = HistoryRootAction(HistoryRootAction(action));
  if (kind == "fthrow" && FollowUpsEnabled() && action.GetParam("Made") == "Missed" &&
      action.GetParam("Throws Left") == action.GetParam("Throw Number")) {
    // Play goes on after a missed last free throw, unless it was awarded for a technical foul or
    // the like.
    if (!(root.ShortName == "foul" && root.GetParam("Type") != "Personal")) View_.StartClock();
  }
  if (kind == "foul" || kind == "timeout") View_.StopClock();
  if (kind == "subst" && !SubstitutionPasses()) return;

  std::unique_ptr<TAction> followUp = FollowUpsEnabled() ? NextFollowUp(action) : nullptr;
  action.Complete = action.Complete && !followUp;
  Submit(action);
  View_.UpdateViewAfter(action, nullptr);
  if (followUp) followUp->FollowUpID = action.ChainRoot();
  SetCurrentAction(std::move(followUp));
  if (Current_) AdvanceEntry();
}

bool TEntryWorkflow::SubstitutionPasses() {
  const TAction& action = *Current_;
  const int out = NumberOf(action.GetParam("Player Out"));
  const int in = NumberOf(action.GetParam("Player In"));
  if (out <= 0 && in <= 0) {
    SetCurrentAction(nullptr);
    return false;
  }
  if (out > 0 && in > 0) {
    const int team = TeamOf(action.GetParam("Team"));
    if (PlayerStat(team, std::to_string(in), "IN") == 1 || PlayerStat(team, std::to_string(out), "IN") == 0) {
      UserInterface_.ShowMessage("Velmora", "Invalid players for substitution", TMessageIcon::Error);
      SetCurrentAction(nullptr);
      return false;
    }
  }
  return true;
}

bool TEntryWorkflow::IsFoulOutSubstitution(const TAction& action) const {
  return action.ShortName == "subst" && action.IsFollowUp() && HistoryRootAction(action).ShortName == "foul";
}

void TEntryWorkflow::ContinueWithoutSubstitution() {
  // The free throws or the turnover the foul gave are owed whether or not somebody came in.
  ResetEntry();
  std::unique_ptr<TAction> followUp = NextFollowUp(*Current_);
  if (followUp) followUp->FollowUpID = Current_->ChainRoot();
  SetCurrentAction(std::move(followUp));
  if (Current_) AdvanceEntry();
}

std::unique_ptr<TAction> TEntryWorkflow::NewFollowUp(std::string_view kind, int hint) {
  auto followUp = App_.NewAction(kind);
  if (!followUp) throw std::runtime_error("kind not in the catalogue");
  followUp->Complete = false;
  followUp->SuggestedTeam = hint;
  return followUp;
}

std::unique_ptr<TAction> TEntryWorkflow::NextFollowUp(const TAction& action) {
  try {
    const TAction& root = HistoryRootAction(action);
    const std::string& kind = action.ShortName;
    const TMatchInfo& matchInfo = Model_.MatchInfo;
    const auto tracked = [&](int team) { return matchInfo.IsTracked(team); };
    const auto opponentOfRoot = [&] { return 3 - TeamNumber(root.GetParam("Team")); };
    const auto selectFouler = [&](const TAction& foul) {
      SelectedTeam_ = TeamNumber(foul.GetParam("Team"));
      SelectedPlayer_ = NumberOf(foul.GetParam("Player"));
    };
    const auto freeThrowsFor = [&](const TAction& foul) {
      auto throws = NewFollowUp("fthrow", 3 - TeamNumber(foul.GetParam("Team")));
      throws->SetParam("Throws Left", foul.GetParam("Shots to make"));
      throws->SetParam("Throw Number", "1");
      return throws;
    };
    const auto awardsFreeThrows = [&](const TAction& foul) {
      const std::string type = foul.GetParam("Type");
      return (foul.GetParam("Type of personal") == "Shooting" || type == "Unsportsmanlike" ||
              type == "Disqualifying") &&
             foul.GetParam("Shots to make") > "0";
    };

    if (kind == "shot") {
      const std::string made = action.GetParam("Made");
      const int team = TeamNumber(action.GetParam("Team"));
      if (made == "Missed") return NewFollowUp("reb", 0);
      if (made == "Made" && action.GetParam("Shot type") != "Tap-in") return NewFollowUp("assist", team);
      if (made == "Blocked" && tracked(3 - team)) return NewFollowUp("block", 3 - team);
    } else if (kind == "block") {
      return NewFollowUp("reb", 0);
    } else if (kind == "turnover") {
      const std::string type = action.GetParam("Type");
      if (!action.IsFollowUp() && tracked(opponentOfRoot()) && (type == "Bad Pass" || type == "Ball Handling")) {
        return NewFollowUp("steal", opponentOfRoot());
      }
    } else if (kind == "steal") {
      if (!action.IsFollowUp() && tracked(opponentOfRoot())) return NewFollowUp("turnover", opponentOfRoot());
    } else if (kind == "foul") {
      const int team = TeamNumber(action.GetParam("Team"));
      const std::string fouler = action.GetParam("Player");
      const TTeam& roster = matchInfo.Team(team);
      const int slot = roster.PlayerIndex(fouler);
      if (slot > 0 && (PlayerStat(team, fouler, "PF") + 1 >= App_.GetInt("fouls_per_player") ||
                       action.GetParam("Type") == "Disqualifying")) {
        auto substitution = NewFollowUp("subst", 0);
        substitution->SetParam("Team", std::to_string(team));
        substitution->SetParam("Player Out", fouler);
        selectFouler(action);
        const TPlayer& player = roster.Player(slot);
        UserInterface_.ShowMessage(kApplicationTitle,
                                   "El jugador " + player.Name + " " + player.Surname + " abandona la pista",
                                   TMessageIcon::Information);
        return substitution;
      }
      if (awardsFreeThrows(action) && tracked(opponentOfRoot())) return freeThrowsFor(action);
      if (action.GetParam("Type of personal") == "Offensive") {
        auto turnover = NewFollowUp("turnover", 0);
        turnover->SetParam("Team", action.GetParam("Team"));
        turnover->SetParam("Player", fouler);
        turnover->SetParam("Type", "Offensive foul");
        selectFouler(action);
        return turnover;
      }
    } else if (kind == "fthrow") {
      if (action.GetParam("Throw Number") < action.GetParam("Throws Left")) {
        auto next = NewFollowUp("fthrow", 0);
        next->SetParam("Team", action.GetParam("Team"));
        next->SetParam("Player", action.GetParam("Player"));
        next->SetParam("Throws Left", action.GetParam("Throws Left"));
        next->SetParam("Throw Number", std::to_string(NumberOf(action.GetParam("Throw Number")) + 1));
        return next;
      }
      if (action.GetParam("Made") != "Made") return NewFollowUp("reb", 0);
    } else if (kind == "subst" && action.IsFollowUp() && root.ShortName == "foul") {
      // After a foul-out substitution the play goes on with what the foul gave: the free throws
      // (also those of an unsportsmanlike or disqualifying foul) or the turnover.
      if (awardsFreeThrows(root) && tracked(opponentOfRoot())) return freeThrowsFor(root);
      if (root.GetParam("Type of personal") == "Offensive") {
        auto turnover = NewFollowUp("turnover", 0);
        turnover->SetParam("Team", root.GetParam("Team"));
        turnover->SetParam("Player", root.GetParam("Player"));
        turnover->SetParam("Type", "Other");
        selectFouler(root);
        return turnover;
      }
    }
  } catch (const std::exception&) {
    // Whatever the rules cannot read ends the play here.
  }
  return nullptr;
}

const TAction& TEntryWorkflow::HistoryRootAction(const TAction& action) const {
  const TSender* sender = Sender();
  const TAction* root = sender ? sender->FindHistoryAction(action.ChainRoot()) : nullptr;
  return root ? *root : action;
}

void TEntryWorkflow::ResetEntry() {
  SelectedPlayer_ = 0;
  SelectedTeam_ = 0;
  View_.ResetControls();
  ShowPrompt("");
}

void TEntryWorkflow::Cancel() {
  const TBusy busy(*this);
  SetCurrentAction(nullptr);
  ResetEntry();
}

int TEntryWorkflow::PlayerStat(int team, const std::string& shirt, std::string_view key) const {
  const int slot = Model_.StatPlayerIndex(team, shirt);
  return slot > 0 ? Model_.Stats(TModel::PlayerSlot(team, slot)).Get(key) : 0;
}

std::vector<TPlayerView> TEntryWorkflow::EligiblePlayers(int team, TPlayerPurpose purpose) const {
  std::vector<TPlayerView> players;
  if (team != 1 && team != 2) return players;
  const TTeam& roster = Model_.MatchInfo.Team(team);
  const int limit = App_.GetInt("fouls_per_player");
  for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
    const TPlayer& player = roster.Player(slot);
    const std::string shirt = std::to_string(player.Number);
    const bool onCourt = PlayerStat(team, shirt, "IN") == 1;
    const int fouls = PlayerStat(team, shirt, "PF");
    const bool eligible = purpose == TPlayerPurpose::Fouled ? onCourt : !onCourt && fouls != limit && !player.Disabled;
    if (eligible) players.push_back({PlayerCaption(player), team * 1000 + player.Number, fouls, limit});
  }
  return players;
}

std::vector<int> TEntryWorkflow::ShirtNumbersStartingWith(int team, const std::string& typed) const {
  std::vector<int> shirts;
  if (team != 1 && team != 2) return shirts;
  const TTeam& roster = Model_.MatchInfo.Team(team);
  for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
    const std::int32_t number = roster.Player(slot).Number;
    const std::string stored = std::to_string(number);
    const bool typedMatches = stored.starts_with(typed) || ShirtText(number).starts_with(typed);
    if (typedMatches && PlayerStat(team, stored, "IN") == 1) shirts.push_back(number);
  }
  return shirts;
}

std::string TEntryWorkflow::PlayerName(int team, int shirt) const {
  if (team != 1 && team != 2) return {};
  const TTeam& roster = Model_.MatchInfo.Team(team);
  const int slot = roster.PlayerIndex(std::to_string(shirt));
  if (slot <= 0) return {};
  return roster.Player(slot).Name + " " + roster.Player(slot).Surname;
}

}  // namespace velmora

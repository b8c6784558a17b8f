#include "live/live_game.h"

#include "app/app.h"
#include "platform/configuration.h"
#include "platform/user_interface.h"
#include "records/game_time.h"
#include "records/team.h"
#include "stats/model.h"

namespace velmora {

namespace {

bool IsMadeScore(const std::string& kind, const TAction& action) {
  return (kind == "shot" || kind == "fthrow") && action.GetParam("Made") == "Made";
}

void AddRedraw(TRedraw& redraw, const std::string& kind, const TAction& action) {
  if (IsMadeScore(kind, action)) redraw.Score = true;
  if (kind == "foul") redraw.State = redraw.PlayerButtons = true;
  if (kind == "quarter") redraw.State = redraw.Timeouts = true;
  if (kind == "subst") redraw.PlayerButtons = true;
  if (kind == "timeout") redraw.Timeouts = true;
}

void RemoveRedraw(TRedraw& redraw, const TAction& removed) {
  if (IsMadeScore(removed.ShortName, removed)) redraw.Score = true;
  if (removed.ShortName == "foul") redraw.State = redraw.PlayerButtons = true;
}

}  // namespace

TRedraw RedrawAfter(const TAction& action, const TAction* old) {
  TRedraw redraw;
  if (action.ShortName == "delete") {
    if (old) RemoveRedraw(redraw, *old);
  } else if (action.ShortName == "edit") {
    if (old) {
      RemoveRedraw(redraw, *old);
      AddRedraw(redraw, old->ShortName, action);
    }
  } else {
    AddRedraw(redraw, action.ShortName, action);
  }
  return redraw;
}

TLiveGame::TLiveGame(TModel& model, TApp& app, TUserInterface& userInterface)
    : Model_(model), App_(app), UserInterface_(userInterface) {}

void TLiveGame::ReadCatalogue() {
  Catalogue_.Comment = App_.HasAction("comment");
  Catalogue_.Quarter = App_.HasAction("quarter");
  Catalogue_.Timeout = App_.HasAction("timeout");
  Catalogue_.Clock = App_.HasAction("clock");
  Catalogue_.Foul = App_.HasAction("foul");
  Catalogue_.Subst = App_.HasAction("subst");
}

bool TLiveGame::Started() const { return Model_.CurrentPeriod() != 0 || Model_.PeriodEnded(); }

bool TLiveGame::Finished() const { return Model_.CurrentPeriod() == 0 && Model_.PeriodEnded(); }

TPeriodView TLiveGame::PeriodView() const {
  TPeriodView view;
  const bool started = Started();
  const bool finished = Finished();
  const bool ended = Model_.PeriodEnded();
  view.StartGameItemEnabled = !started;
  view.EndGameItemEnabled = !finished && ended && Model_.CurrentPeriod() >= App_.GetInt("no_of_quarters");
  view.QuarterGroupVisible = started && !finished;
  view.ClockPanelVisible = Catalogue_.Clock && started && !finished;
  view.StartGameGroupVisible = Catalogue_.Quarter && !started;
  view.Numeral = RomanNumeral(Model_.CurrentPeriod());
  view.ClockText = Model_.RemainingPeriodText();
  view.NextPeriodEnabled = ended;
  view.EndPeriodEnabled = Model_.PeriodTimeOver() && !ended;
  view.ClockButtonsEnabled = !ended;
  return view;
}

std::string TLiveGame::TeamFoulsText(int team) const {
  return "Faltas de equipo: " + std::to_string(Model_.MatchInfo.Team(team).TeamFouls);
}

std::string TLiveGame::TimeoutsText(int team) const {
  const int period = Model_.CurrentPeriod();
  return "Time-Outs: " + std::to_string(Model_.TimeoutsUsed(team, period)) + "/" +
         std::to_string(TimeoutsAllowed(PeriodSettingsOf(App_.Config()), period));
}

std::vector<TPlayerView> TLiveGame::PlayerButtons(int team) const {
  std::vector<TPlayerView> buttons;
  const TTeam& roster = Model_.MatchInfo.Team(team);
  const int limit = Catalogue_.Foul ? App_.GetInt("fouls_per_player") : 0;
  for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
    const TPlayer& player = roster.Player(slot);
    // Only players with a statistics table can be on court or carry fouls.
    const bool hasTable = slot <= Model_.StatPlayerCount(team);
    const TIntegerHash* stats = hasTable ? &Model_.Stats(TModel::PlayerSlot(team, slot)) : nullptr;
    if (Catalogue_.Subst && !(stats && stats->Get("IN") == 1)) continue;
    const int statSlot = Model_.StatPlayerIndex(team, std::to_string(player.Number));
    buttons.push_back({PlayerCaption(player), team * 1000 + player.Number,
                       statSlot > 0 ? Model_.Stats(TModel::PlayerSlot(team, statSlot)).Get("PF") : 0,
                       statSlot > 0 ? limit : 0});
  }
  return buttons;
}

std::string TLiveGame::ScoreDigits(int team) const {
  const int points = Model_.Stats(TModel::TotalsSlot(team)).Get("PTS");
  std::string digits = std::to_string(points < 0 ? 0 : points);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return digits.substr(digits.size() - 3);
}

bool TLiveGame::CheckLineups() {
  bool shortOfPlayers = false;
  for (int team = 1; team <= 2; ++team) {
    const int onCourt = Model_.PlayersOnCourt(team);
    if (onCourt >= 5) continue;
    shortOfPlayers = true;
    UserInterface_.ShowMessage(kApplicationTitle,
                               "El equipo " + Model_.MatchInfo.Team(team).Name + " tiene sólo " +
                                   std::to_string(onCourt) + " of players jugadores",
                               team == 1 ? TMessageIcon::Error : TMessageIcon::Warning);
  }
  return !(shortOfPlayers && !Started());
}

bool TLiveGame::MayStartGame() {
  const bool allowed = CheckLineups();
  if (Model_.PlayersOnCourt(1) == 0 || Model_.PlayersOnCourt(2) == 0) {
    UserInterface_.ShowMessage(kApplicationTitle, "No hay jugadores en la pista", TMessageIcon::Error);
    return false;
  }
  return allowed;
}

std::unique_ptr<TAction> TLiveGame::SubmitPeriodAction(int quarter, const char* type) {
  auto action = App_.NewAction("quarter");
  if (!action) return nullptr;
  action->SetParam("Quarter", std::to_string(quarter));
  action->SetParam("Type", type);
  auto shown = action->Clone();
  App_.Submit(std::move(action));
  return shown;
}

std::unique_ptr<TAction> TLiveGame::StartGame() {
  Model_.MatchInfo.Running = 1;
  Model_.MatchInfo.CurrentGameTime = PeriodStart(PeriodSettingsOf(App_.Config()), Model_.CurrentPeriod());
  return SubmitPeriodAction(0, "Start Game");
}

std::unique_ptr<TAction> TLiveGame::EndPeriod() {
  auto shown = SubmitPeriodAction(Model_.CurrentPeriod(), "End");
  if (!shown) return nullptr;
  Model_.MatchInfo.CurrentGameTime = PeriodEnd(PeriodSettingsOf(App_.Config()), Model_.CurrentPeriod());
  Model_.SetPeriodEnded(true);
  // Brings the playing time of the players on court up to the end of the period.
  if (auto clock = App_.NewAction("clock")) App_.Submit(std::move(clock));
  return shown;
}

std::unique_ptr<TAction> TLiveGame::NextPeriod() {
  // The period action keeps the period and clock of this moment; its data names the new period.
  auto action = App_.NewAction("quarter");
  if (!action) return nullptr;
  const int period = Model_.CurrentPeriod() + 1;
  Model_.SetCurrentPeriod(period);
  if (period <= App_.GetInt("no_of_quarters")) {
    Model_.MatchInfo.Team1.TeamFouls = 0;
    Model_.MatchInfo.Team2.TeamFouls = 0;
  }
  action->SetParam("Type", "Start");
  action->SetParam("Quarter", std::to_string(period));
  auto shown = action->Clone();
  App_.Submit(std::move(action));
  Model_.MatchInfo.CurrentGameTime = PeriodStart(PeriodSettingsOf(App_.Config()), Model_.CurrentPeriod());
  return shown;
}

std::unique_ptr<TAction> TLiveGame::EndGame() {
  if (!App_.HasAction("quarter")) return nullptr;
  auto shown = SubmitPeriodAction(0, "End Game");
  Model_.MatchInfo.Running = 0;
  return shown;
}

bool TLiveGame::ClockMayRun() const {
  return Model_.CurrentPeriod() > 0 && !Model_.PeriodEnded() && !Model_.PeriodTimeOver();
}

bool TLiveGame::Tick() {
  Model_.ClockTick();
  if (!Model_.PeriodTimeOver()) return false;
  Model_.MatchInfo.CurrentGameTime = PeriodEnd(PeriodSettingsOf(App_.Config()), Model_.CurrentPeriod());
  return true;
}

void TLiveGame::AdjustClock(int step) {
  if (Model_.PeriodEnded()) return;
  TDateTime& clock = Model_.MatchInfo.CurrentGameTime;
  if (step > 0 && !Model_.PeriodTimeOver()) {
    clock += EncodeTime(0, 0, 1);
  } else if (step < 0 && ClockBefore(PeriodStart(PeriodSettingsOf(App_.Config()), Model_.CurrentPeriod()), clock)) {
    clock -= EncodeTime(0, 0, 1);
  }
}

void TLiveGame::SendClockMark() { Model_.SendClockMark(); }

}  // namespace velmora

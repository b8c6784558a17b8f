#include "live/action_editing.h"

#include <algorithm>

#include "records/catalogue.h"
#include "records/match_info.h"
#include "records/message_source.h"
#include "records/team.h"
#include "records/text_utils.h"
#include "stats/game_store.h"

namespace velmora {

namespace {

constexpr std::size_t kCaptionLength = 15;

int Clamp(int value, int size) {
  if (value < 0) return 1;
  if (value >= size) return size - 1;
  return value;
}

// The number of characters of a UTF-8 text, and its first `count` characters.
std::size_t CharacterCount(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t seen = 0; end < text.size(); ++end) {
    if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && seen++ == count) break;
  }
  return text.substr(0, end);
}

// The "Data" of the action's last "team" parameter; empty when it has none.
std::string ActionTeam(const TAction& action) {
  std::string team;
  for (const TParameter& parameter : action.Parameters) {
    if (parameter.Type == "team") team = parameter.Data;
  }
  return team;
}

bool KindMatches(const TKindEntry& entry, const TAction& action) {
  if (entry.Kind != action.ShortName) return false;
  if (entry.Shots == TShotResult::Any) return true;
  return (action.GetParam("Made") == "Made") == (entry.Shots == TShotResult::Made);
}

}  // namespace

TCourtPoint ClampToCourt(int x, int y) { return {Clamp(x, kCourtMapWidth), Clamp(y, kCourtMapHeight)}; }

std::string CoordinatesText(TCourtPoint point) { return std::to_string(point.X) + "+" + std::to_string(point.Y); }

std::string HistoryDeleteQuestion(const std::vector<const TAction*>& history, int row) {
  if (row >= 0 && static_cast<std::size_t>(row) < history.size() &&
      history[static_cast<std::size_t>(row)]->ShortName == "quarter") {
    return "Los datos después del cuarto eliminado también se eliminarán!\rDesea eliminar esto y los datos posteriores?";
  }
  if (HasFollowUps(history, row)) {
    return "Las acciones de seguimiento para este suceso también serán eliminadas!\rDesea eliminar con las acciones?";
  }
  return "Eliminar este dato?";
}

bool IsPeriodBoundary(const TAction& action) {
  return action.ShortName == "quarter" && action.GetParam("Quarter") != "0";
}

std::string EditorCaption(const TMessageSource& messages, const std::string& name) {
  const std::string caption = name == "Made" ? std::string("Resultado") : Caption(messages, name);
  if (CharacterCount(caption) <= kCaptionLength) return caption;
  return FirstCharacters(caption, kCaptionLength) + "...";
}

std::vector<TPlayerChoice> RosterChoices(const TMatchInfo& matchInfo, int team) {
  std::vector<TPlayerChoice> choices;
  if (team != 1 && team != 2) return choices;
  const TTeam& roster = team == 1 ? matchInfo.Team1 : matchInfo.Team2;
  for (int slot = 1; slot <= roster.PlayerCount; ++slot) {
    const TPlayer& player = roster.Player(slot);
    choices.push_back({PlayerCaption(player), player.Number, team});
  }
  return choices;
}

int PlayerParameterTeam(const std::string& name, int team) {
  if (team != 1 && team != 2) return 0;
  return name == "Fouled on" ? 3 - team : team;
}

std::vector<TKindEntry> KindEntries(const TCatalogue& catalogue) {
  std::vector<TKindEntry> entries;
  for (const auto& entry : catalogue.Entries()) {
    if (entry->ShortName == "shot") {
      entries.push_back({entry->Name + " (Made)", entry->ShortName, TShotResult::Made});
      entries.push_back({entry->Name + " (Missed)", entry->ShortName, TShotResult::NotMade});
    } else if (!entry->System) {
      entries.push_back({entry->Name, entry->ShortName, TShotResult::Any});
    }
  }
  return entries;
}

std::vector<TPlayerChoice> PlayerEntries(const TMatchInfo& matchInfo, TTeamChoice teams) {
  std::vector<TPlayerChoice> entries;
  if (teams != TTeamChoice::Visitors) entries = RosterChoices(matchInfo, 1);
  if (teams != TTeamChoice::Home) {
    const auto visitors = RosterChoices(matchInfo, 2);
    entries.insert(entries.end(), visitors.begin(), visitors.end());
  }
  return entries;
}

TTimeSpan PeriodButtonSpan(const TPeriodSettings& settings, int k) {
  const int nq = settings.NoOfQuarters;
  const int minutes = std::min(k, nq) * settings.QuarterDuration + std::max(0, k - nq) * settings.OvertimeDuration;
  const int length = k > nq ? settings.OvertimeDuration : settings.QuarterDuration;
  return {FromSeconds((minutes - length) * 60), FromSeconds(minutes * 60)};
}

TTimeSpan InitialSpan(const TActionList& actions) {
  int last = 3600;
  for (const auto& action : actions) last = std::max(last, WholeSeconds(action->GameTime));
  return {0, FromSeconds(last)};
}

bool TActionFilter::Passes(const TAction& action) const {
  bool kind = false;
  for (std::size_t i = 0; i < Kinds.size() && !kind; ++i) kind = KindTicked[i] && KindMatches(Kinds[i], action);
  if (!kind) return false;

  const std::string team = ActionTeam(action);
  if ((Teams == TTeamChoice::Home && team != "1") || (Teams == TTeamChoice::Visitors && team != "2")) return false;

  std::vector<int> numbers;
  for (const TParameter& parameter : action.Parameters) {
    if (parameter.Type != "player" || parameter.Data.empty()) continue;
    const auto number = ParseInt32(parameter.Data);
    if (!number) return false;
    if (*number <= 255) numbers.push_back(*number);
  }
  if (std::find(PlayerTicked.begin(), PlayerTicked.end(), false) != PlayerTicked.end()) {
    bool player = false;
    for (std::size_t i = 0; i < Players.size() && !player; ++i) {
      const TPlayerChoice& entry = Players[i];
      player = PlayerTicked[i] && std::find(numbers.begin(), numbers.end(), entry.Number) != numbers.end() &&
               (Teams != TTeamChoice::Both || std::to_string(entry.Team) == team);
    }
    if (!player) return false;
  }

  return ClockNotAfter(TimeOf(Span.From), TimeOf(action.GameTime)) &&
         ClockNotAfter(TimeOf(action.GameTime), TimeOf(Span.To));
}

TDeleteSelection ExpandDeleteSelection(const std::vector<const TAction*>& actions,
                                       const std::set<std::string>& selected) {
  std::set<std::string> chosen = selected;
  std::optional<TDateTime> earliest;
  for (const TAction* action : actions) {
    if (chosen.contains(action->ID) && IsPeriodBoundary(*action) &&
        (!earliest || ClockBefore(action->GameTime, *earliest))) {
      earliest = action->GameTime;
    }
  }
  if (earliest) {
    for (const TAction* action : actions) {
      if (ClockBefore(*earliest, action->GameTime)) chosen.insert(action->ID);
    }
  }
  bool followUpsAdded = false;
  for (const TAction* root : actions) {
    if (!chosen.contains(root->ID) || root->IsFollowUp()) continue;
    for (const TAction* action : actions) {
      if (action->FollowUpID == root->ID && chosen.insert(action->ID).second) followUpsAdded = true;
    }
  }

  TDeleteSelection selection;
  for (const TAction* action : actions) {
    if (chosen.contains(action->ID)) selection.IDs.push_back(action->ID);
  }
  if (earliest) {
    selection.Question += "Esta intentando eliminar los cuartos\nEsto eliminará todas las acciones desde el minuto " +
                          FormatLongTime(*earliest) + ".\n";
  }
  if (followUpsAdded) {
    selection.Question +=
        "Esta intentando eliminar acciones con seguimiento\nEsto eliminará el seguimiento de las acciones "
        "seleccionadas.\n";
  }
  if (!selection.Question.empty()) selection.Question += "Desea continuar?";
  return selection;
}

bool TPendingCorrections::Deleted(const std::string& id) const {
  return std::any_of(Deletes_.begin(), Deletes_.end(),
                     [&](const auto& removal) { return removal->GetParam("Event") == id; });
}

const TAction* TPendingCorrections::EditOf(const std::string& id) const {
  const auto found = std::find_if(Edits_.begin(), Edits_.end(), [&](const auto& edit) { return edit->ID == id; });
  return found == Edits_.end() ? nullptr : found->get();
}

bool TPendingCorrections::AddDelete(TActionSubmitter& submitter, const std::string& id) {
  auto removal = submitter.NewAction("delete");
  if (!removal) return false;
  removal->SetParam("Event", id);
  Deletes_.push_back(std::move(removal));
  std::erase_if(Edits_, [&](const auto& edit) { return edit->ID == id; });
  return true;
}

void TPendingCorrections::SetEdit(std::unique_ptr<TAction> edit) {
  for (auto& pending : Edits_) {
    if (pending->ID == edit->ID) {
      pending = std::move(edit);
      return;
    }
  }
  Edits_.push_back(std::move(edit));
}

void TPendingCorrections::Clear() {
  Deletes_.clear();
  Edits_.clear();
}

std::string TPendingCorrections::SaveQuestion() const {
  std::string text = "Se han realizado los siguientes cambios:\r";
  if (Deletes_.size() == 1) {
    text += "    Se ha eliminado una acción.\r";
  } else if (Deletes_.size() > 1) {
    text += "    " + std::to_string(Deletes_.size()) + " acciones han sido eliminadas.\r";
  }
  if (Edits_.size() > 1) {
    text += "    Se han cambiado " + std::to_string(Edits_.size()) + " acciones.\r";
  } else if (Edits_.size() == 1) {
    text += "    Se ha cambiado una acción.\r";
  }
  return text + "\rDesea ejecutar los cambios?";
}

void TPendingCorrections::Submit(TActionSubmitter& submitter) {
  for (auto& removal : Deletes_) submitter.Submit(std::move(removal));
  for (auto& edit : Edits_) submitter.Submit(std::move(edit));
  Clear();
}

}  // namespace velmora

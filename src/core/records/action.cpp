#include "records/action.h"

#include "records/guid.h"
#include "records/match_info.h"
#include "records/message_source.h"
#include "records/text_utils.h"
#include "records/xml_text.h"

namespace velmora {

std::string TParameter::GetText() const {
  if (Type != "choice") return Data;
  const auto position = ParseInt32(Data);
  if (!position || *position < 0 || *position >= static_cast<int>(Values.size())) return {};
  return Values[static_cast<std::size_t>(*position)];
}

void TParameter::SetText(std::string_view value) {
  if (Type != "choice") {
    Data = value;
    return;
  }
  Data.clear();
  for (std::size_t i = 0; i < Values.size(); ++i) {
    if (Values[i] == value) Data = std::to_string(i);
  }
}

std::string TParameter::TextAtPosition(int n) const {
  if (Type != "choice" || n < 1 || n > static_cast<int>(Values.size())) return {};
  return Values[static_cast<std::size_t>(n - 1)];
}

TAction::TAction(std::string name, bool system, std::string shortcut, TDateTime gameTime, int parameterCount,
                 std::string shortName)
    : ID(NewGuid()),
      FollowUpID(kNullGuid),
      Name(std::move(name)),
      ShortName(std::move(shortName)),
      GameTime(gameTime),
      Shortcut(std::move(shortcut)),
      System(system),
      Parameters(static_cast<std::size_t>(std::max(parameterCount, 0))) {}

TAction::TAction() : ID(kNullGuid), FollowUpID(kNullGuid) {}

std::unique_ptr<TAction> TAction::CreateFromXml(const pugi::xml_node& element, TDateTime currentGameTime) {
  auto action = std::make_unique<TAction>();
  const auto id = ParseGuid(Attribute(element, "ID"));
  action->ID = id ? *id : NewGuid();
  action->ShortName = Attribute(element, "ShortName");
  action->Name = Attribute(element, "Name");
  action->Shortcut = Attribute(element, "Shortcut");

  const auto complete = ParseBool(Attribute(element, "Complete", "True"));
  if (!complete) return action;
  action->Complete = *complete;

  action->GameTime = ParseTime(Attribute(element, "GameTime")).value_or(currentGameTime);

  const std::string followUp = Attribute(element, "FollowUpID", kNullGuid.data());
  if (!followUp.empty()) {
    const auto guid = ParseGuid(followUp);
    if (!guid) return action;
    action->FollowUpID = *guid;
  }

  action->System = !Attribute(element, "System").empty();

  for (const pugi::xml_node& child : element.children()) {
    if (child.type() != pugi::node_element) continue;
    if (static_cast<int>(action->Parameters.size()) == kMaxParameters) break;
    TParameter parameter;
    parameter.Name = Attribute(child, "Name");
    parameter.Type = Attribute(child, "Type");
    parameter.Default = Attribute(child, "Default");
    parameter.Data = Attribute(child, "Data");
    for (const pugi::xml_node& value : child.children("VALUE")) parameter.Values.emplace_back(value.text().get());
    action->Parameters.push_back(std::move(parameter));
  }
  return action;
}

pugi::xml_node TAction::ToXml(pugi::xml_node parent, std::string_view gameNumber) const {
  pugi::xml_node element = parent.append_child("ACTION");
  element.append_attribute("GameNumber") = std::string(gameNumber).c_str();
  element.append_attribute("ID") = ID.c_str();
  element.append_attribute("AstroTime") = FormatLongTime(AstroTime).c_str();
  element.append_attribute("GameTime") = FormatLongTime(GameTime).c_str();
  element.append_attribute("ShortName") = ShortName.c_str();
  element.append_attribute("Name") = Name.c_str();
  element.append_attribute("Complete") = BoolText(Complete).c_str();
  element.append_attribute("Shortcut") = Shortcut.c_str();
  element.append_attribute("NParameters") = std::to_string(Parameters.size()).c_str();
  if (!IsNullGuid(FollowUpID)) element.append_attribute("FollowUpID") = FollowUpID.c_str();
  for (const TParameter& parameter : Parameters) {
    pugi::xml_node node = element.append_child("PARAM");
    node.append_attribute("Name") = parameter.Name.c_str();
    node.append_attribute("Type") = parameter.Type.c_str();
    node.append_attribute("Data") = parameter.Data.c_str();
    for (const std::string& value : parameter.Values) node.append_child("VALUE").text() = value.c_str();
  }
  return element;
}

std::unique_ptr<TAction> TAction::Clone() const { return std::make_unique<TAction>(*this); }

int TAction::ParamIndex(std::string_view name) const {
  for (std::size_t i = 0; i < Parameters.size(); ++i) {
    if (Parameters[i].Name == name) return static_cast<int>(i) + 1;
  }
  return 0;
}

TParameter* TAction::Param(std::string_view name) {
  const int index = ParamIndex(name);
  return index > 0 ? &Parameters[static_cast<std::size_t>(index - 1)] : nullptr;
}

const TParameter* TAction::Param(std::string_view name) const {
  const int index = ParamIndex(name);
  return index > 0 ? &Parameters[static_cast<std::size_t>(index - 1)] : nullptr;
}

std::string TAction::GetParam(std::string_view name) const {
  const TParameter* parameter = Param(name);
  return parameter ? parameter->GetText() : std::string();
}

void TAction::SetParam(std::string_view name, std::string_view value, const TActionHistory* history) {
  if (!Param(name)) return;
  // The rules may change other parameters; the value is copied first because it may be one of them.
  const std::string text(value);
  ApplySettingRules(name, text, history);
  Param(name)->SetText(text);
}

void TAction::SetParamByPosition(std::string_view name, int n, const TActionHistory* history) {
  const TParameter* parameter = Param(name);
  if (!parameter) return;
  SetParam(name, parameter->TextAtPosition(n), history);
}

void TAction::ApplySettingRules(std::string_view name, std::string_view value, const TActionHistory* history) {
  if (ShortName == "foul" && name == "Type") {
    TParameter* personalType = Param("Type of personal");
    if (value == "Personal" || value.empty()) {
      if (personalType) personalType->Default.clear();
    } else if (value == "Technical" || value == "Unsportsmanlike" || value == "Disqualifying") {
      if (personalType) personalType->Default = "Shooting";
      if (TParameter* shots = Param("Shots to make")) {
        shots->Default.clear();
        shots->Data.clear();
      }
    } else if (personalType) {
      personalType->Default = "Non-shooting";
    }
    return;
  }

  if (ShortName == "reb" && name == "Team" && !value.empty() && !IsNullGuid(FollowUpID) && history) {
    const std::vector<const TAction*> actions = history->HistoryActions();
    const auto findEarliest = [&](std::string_view kind) -> const TAction* {
      for (const TAction* action : actions) {
        if ((action->ID == FollowUpID || action->FollowUpID == FollowUpID) && action->ShortName == kind) {
          return action;
        }
      }
      return nullptr;
    };
    const TAction* followed = findEarliest("shot");
    if (!followed) followed = findEarliest("fthrow");
    if (followed) SetParam("Type", followed->GetParam("Team") == value ? "Offensive" : "Defensive", history);
  }
}

bool TAction::FillDefaults(const TActionHistory* history) {
  bool complete = true;
  for (std::size_t i = 0; i < Parameters.size(); ++i) {
    if (!Parameters[i].Data.empty()) continue;
    const std::string name = Parameters[i].Name;
    const std::string fallback = Parameters[i].Default;
    SetParam(name, fallback, history);
    if (Parameters[i].Default.empty()) complete = false;
  }
  return complete;
}

const std::string& TAction::ChainRoot() const { return IsNullGuid(FollowUpID) ? ID : FollowUpID; }

bool TAction::IsFollowUp() const { return !IsNullGuid(FollowUpID); }

std::string TAction::Describe(const TMatchInfo& matchInfo, const TMessageSource& messages) {
  AstroTime = TimeOf(Now());
  std::string text;
  if (GameTime > 0) text = MinutesSecondsOf(GameTime) + ' ';
  text += Name;
  if (Parameters.empty()) return text;

  const std::string team = GetParam("Team");
  text += " (";
  bool previousEmpty = true;
  bool first = true;
  for (const TParameter& parameter : Parameters) {
    std::string part;
    if (parameter.Type == "team") {
      part = "Equipo: " + matchInfo.Team(parameter.Data == "1" ? 1 : 2).Shortname;
    } else if (parameter.Type == "player") {
      if (team == "1" || team == "2") {
        int teamNumber = team == "1" ? 1 : 2;
        if (parameter.Name == "Fouled on") teamNumber = 3 - teamNumber;
        const TTeam& roster = matchInfo.Team(teamNumber);
        const int slot = roster.PlayerIndex(parameter.Data);
        if (slot > 0) {
          const TPlayer& player = roster.Player(slot);
          part = Caption(messages, parameter.Name) + ": " + ShirtText(player.Number) + ". " + player.Name + ' ' +
                 player.Surname;
        }
      }
    } else {
      const std::string value = parameter.GetText();
      if (parameter.Name == "Made") {
        part = "Resultado: " + Caption(messages, value);
      } else {
        part = Caption(messages, parameter.Name) + ": " + Caption(messages, value);
      }
      part = std::string(Trimmed(part));
    }
    if (!first && !previousEmpty) text += ", ";
    text += part;
    previousEmpty = part.empty();
    first = false;
  }
  return text + ')';
}

bool HasFollowUps(std::span<const TAction* const> history, int index) {
  if (index < 0 || index >= static_cast<int>(history.size())) return false;
  const std::string& id = history[static_cast<std::size_t>(index)]->ID;
  for (int i = index; i >= 0; --i) {
    if (history[static_cast<std::size_t>(i)]->FollowUpID == id) return true;
  }
  return false;
}

TStatus CheckActionBounds(const TAction& action) {
  if (action.ShortName != "quarter") return {};
  const std::string text = action.GetParam("Quarter");
  if (text.empty()) return {};  // the default, 1, is filled in later
  const auto period = ParseInt32(text);
  if (period && *period >= 0 && *period <= kMaxPeriod) return {};
  return TError{"Period number \"" + text + "\" of action " + action.ID + " is not between 0 and " +
                std::to_string(kMaxPeriod)};
}

}  // namespace velmora

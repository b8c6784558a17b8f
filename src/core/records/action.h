#pragma once
// Game actions and their typed parameters, with their XML element form.

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "records/date_time.h"
#include "records/result.h"

namespace velmora {

class TMatchInfo;
class TMessageSource;

class TParameter {
 public:
  // For a choice: the value at the position in Data; empty when Data is not a valid position.
  // Any other type: Data itself.
  std::string GetText() const;
  // For a choice: Data becomes the position of the last equal value, or empty when none is.
  void SetText(std::string_view value);
  // For a choice: the value at one-based position n, or empty; empty for other types.
  std::string TextAtPosition(int n) const;

  std::string Name;
  std::string Type;  // "team", "player", "coordinates", "choice", "number" or "text"
  std::string Default;
  std::string Data;
  std::vector<std::string> Values;
};

class TAction;

// The actions the history list holds, earliest first; the rebound rule of SetParam looks there.
class TActionHistory {
 public:
  virtual ~TActionHistory() = default;
  virtual std::vector<const TAction*> HistoryActions() const = 0;
};

class TAction {
 public:
  static constexpr int kMaxParameters = 9;

  // A fresh action with a new random ID, Complete set and `parameterCount` empty parameters.
  TAction(std::string name, bool system, std::string shortcut, TDateTime gameTime, int parameterCount,
          std::string shortName);
  // An empty record whose ID is still the null GUID, for readers that set every field.
  TAction();

  // Reads an ACTION element of the catalogue or of a document; never raises. A conversion that
  // fails ends the reading, keeping what was read. `currentGameTime` stands in for a missing
  // or unreadable "GameTime".
  static std::unique_ptr<TAction> CreateFromXml(const pugi::xml_node& element, TDateTime currentGameTime);
  // Appends the document form of the action to `parent`.
  pugi::xml_node ToXml(pugi::xml_node parent, std::string_view gameNumber) const;

  std::unique_ptr<TAction> Clone() const;

  // One-based position of the first parameter with the name; 0 when none.
  int ParamIndex(std::string_view name) const;
  // GetText of the parameter; empty when the action has none of that name.
  std::string GetParam(std::string_view name) const;
  // Applies the setting rules, then the parameter's SetText; nothing when there is no such parameter.
  void SetParam(std::string_view name, std::string_view value, const TActionHistory* history = nullptr);
  // SetParam with the parameter's TextAtPosition(n).
  void SetParamByPosition(std::string_view name, int n, const TActionHistory* history = nullptr);
  // Gives every empty parameter its default; false when some parameter stays empty.
  bool FillDefaults(const TActionHistory* history = nullptr);
  // FollowUpID when not null, else ID.
  const std::string& ChainRoot() const;
  bool IsFollowUp() const;

  // The one-line text of the history list and the log. Stamps AstroTime with the current time.
  std::string Describe(const TMatchInfo& matchInfo, const TMessageSource& messages);

  TParameter* Param(std::string_view name);
  const TParameter* Param(std::string_view name) const;

  std::string ID;
  std::string FollowUpID;
  std::string Name;
  std::string ShortName;
  TDateTime GameTime = 0;
  TDateTime AstroTime = 0;
  std::string Shortcut;
  bool System = false;
  bool Complete = true;
  int SuggestedTeam = 0;
  int Period = 0;
  // Put in among earlier actions (one the scorer forgot): its AstroTime, chosen for it, places it
  // among the actions of its second, and the model puts it in its place by time.
  bool Inserted = false;
  std::vector<TParameter> Parameters;

 private:
  void ApplySettingRules(std::string_view name, std::string_view value, const TActionHistory* history);
};

using TActionList = std::vector<std::unique_ptr<TAction>>;

// The highest period number a game can reach: four quarters and sixteen overtimes. Every reader
// of outside input refuses more, since the model and the pages size tables by the period.
inline constexpr int kMaxPeriod = 20;
// An error naming the action when a value from outside is beyond what a game can hold (a period
// number that is not 0 to kMaxPeriod).
TStatus CheckActionBounds(const TAction& action);

// True when an entry of the history at a position from `index` down to 0 follows up the action at
// `index` (its FollowUpID is that action's ID).
bool HasFollowUps(std::span<const TAction* const> history, int index);

}  // namespace velmora

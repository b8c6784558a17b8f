#pragma once
// The action buttons of the live window: which action each starts, its caption, group and key,
// the rule that hides the buttons of follow-up kinds, and how the bar is cut into rows.

#include <array>
#include <string_view>
#include <vector>

namespace velmora {

class TApp;

struct TActionDefinition {
  std::string_view Kind;
  std::string_view Caption;     // "\n" breaks it over two lines
  std::string_view KeyName;     // "F2"
  int KeyNumber;                // the function key: 2 for F2
  int Group;                    // button group of the bar, 1 to 30
  std::string_view PresetType;  // the "Type" the template starts with; empty for none
};

inline constexpr std::array<TActionDefinition, 9> kActionDefinitions = {{
    {"assist", "Asistencia", "F2", 2, 1, ""},
    {"fthrow", "Tiro\nlibre", "F3", 3, 1, ""},
    {"reb", "Rebote", "F4", 4, 2, ""},
    {"foul", "Falta", "F5", 5, 2, ""},
    {"block", "Tapón", "F6", 6, 2, ""},
    {"turnover", "Perdida de balón\n(Mal pase)", "F7", 7, 3, "Bad Pass"},
    {"turnover", "Perdida de balón\n(Con balón controlado)", "F8", 8, 3, "Ball Handling"},
    {"turnover", "Perdida de balón\n(Otras)", "F9", 9, 3, ""},
    {"steal", "Recuperación", "F11", 11, 4, ""},
}};

inline constexpr int kMaxActionDefinitions = 20;
inline constexpr int kActionGroups = 30;

// True when the kind gets no button because it is entered as a follow-up: both teams tracked,
// "hide_followups" on, and the kind it follows in the catalogue.
bool HiddenAsFollowUp(const TApp& app, bool bothTeamsTracked, std::string_view kind);

// One slot of a row of the bar: a button (its index among the shown buttons) or the separator of
// a group.
struct TBarSlot {
  bool Separator = false;
  int Index = 0;  // the button's index, or the group of the separator
};
using TBarRow = std::vector<TBarSlot>;

// Cuts the bar into rows of at most five buttons: the buttons in order of their groups, a
// separator after each group; a group that would overflow a row starts a new one at its separator;
// no separator at the end. `groups` holds the group of each shown button, in definition order.
std::vector<TBarRow> LayoutActionBar(const std::vector<int>& groups);

}  // namespace velmora

#pragma once
// The action catalogue: the kinds of action the operator can enter, with their parameters.
// New actions are always clones of a catalogue entry.

#include <memory>
#include <string_view>
#include <vector>

#include "records/action.h"

namespace velmora {

// The catalogue as XML: root ACTIONS, one ACTION per kind.
extern const std::string_view kCatalogueXml;

class TCatalogue {
 public:
  static constexpr int kMaxEntries = 20;

  // Parses the catalogue text and replaces the entries; kinds beyond kMaxEntries are left out.
  void LoadCatalogue();

  bool HasAction(std::string_view shortName) const;
  // One-based position of the last entry of the kind; 0 when none.
  int ActionIndex(std::string_view shortName) const;
  // A clone of the kind's entry with a new ID, the given game time, period and wall-clock time;
  // none when the kind is not in the catalogue.
  std::unique_ptr<TAction> NewAction(std::string_view shortName, TDateTime gameTime, int period,
                                     TDateTime astroTime) const;

  // The entry of the kind (the last one, as NewAction takes); none when the kind is unknown.
  const TAction* Entry(std::string_view shortName) const;
  const std::vector<std::unique_ptr<TAction>>& Entries() const { return Entries_; }

 private:
  std::vector<std::unique_ptr<TAction>> Entries_;
};

}  // namespace velmora

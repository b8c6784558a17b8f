#pragma once
// The report languages the settings dialog offers, kept in the registry key "Languages": each
// string value is one language, its name the code of the messages file, its data the shown name.

#include <string>
#include <vector>

namespace velmora {

class TRegistry;

struct TLanguage {
  std::string Code;  // "EN", as in messages_EN.txt
  std::string Name;  // "English"
};

// Creates the key with English and Spanish when it is missing; false when it could not be written.
bool SeedLanguages(TRegistry& registry);
// The languages in the order the registry lists them, those with an empty (trimmed) name left out.
// Seeds a missing key first; empty when the key still cannot be opened.
std::vector<TLanguage> OfferedLanguages(TRegistry& registry);

}  // namespace velmora

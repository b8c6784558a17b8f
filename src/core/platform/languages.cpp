#include "platform/languages.h"

#include "platform/registry.h"
#include "records/text_utils.h"

namespace velmora {

namespace {
constexpr const char* kLanguagesKey = "Languages";
}

bool SeedLanguages(TRegistry& registry) {
  if (registry.OpenKey(kLanguagesKey)) return true;
  TRegistryKey key;
  key.WriteString("EN", "English");
  key.WriteString("ES", "Español");
  return registry.WriteKey(kLanguagesKey, key);
}

std::vector<TLanguage> OfferedLanguages(TRegistry& registry) {
  SeedLanguages(registry);
  std::vector<TLanguage> languages;
  const auto key = registry.OpenKey(kLanguagesKey);
  if (!key) return languages;
  for (const auto& [code, value] : key->Values()) {
    const auto* name = std::get_if<std::string>(&value);
    if (name && !Trimmed(*name).empty()) languages.push_back({code, *name});
  }
  return languages;
}

}  // namespace velmora

#include "platform/configuration.h"

#include <algorithm>
#include <utility>

#include "platform/registry.h"

namespace velmora {

namespace {
constexpr std::string_view kIntegerKey = "Config";
constexpr std::string_view kTextKey = "StrConfig";

constexpr std::pair<std::string_view, std::int32_t> kIntegerDefaults[] = {
    {"no_of_quarters", 4}, {"quarter_duration", 10}, {"overtime_duration", 5}, {"fouls_per_player", 5},
    {"min_players", 5},    {"max_players", 12},      {"min_shirt_number", 4},  {"max_shirt_number", 15},
    {"http_port", 80},     {"udp_port_1", 9753},     {"udp_port_2", 9752},     {"read_timeout", 1800},
    {"proxy_port", 0},     {"low_bandwidth", 1},     {"enable_followups", 1},  {"hide_followups", 0},
};
// A game needs at least one period of at least a minute, and a player at least one foul to foul
// out; the server takes periods up to 20. The upper bounds are those of the settings dialog.
constexpr TSettingRange kRanges[] = {
    {"no_of_quarters", 1, 20},   {"quarter_duration", 1, 100}, {"overtime_duration", 1, 100},
    {"fouls_per_player", 1, 100}, {"min_players", 0, 100},     {"max_players", 0, 100},
    {"min_shirt_number", 0, 100}, {"max_shirt_number", 0, 100},
};
}  // namespace

const TSettingRange* RangeOf(std::string_view key) {
  for (const TSettingRange& range : kRanges) {
    if (range.Key == key) return &range;
  }
  return nullptr;
}

TConfiguration::TConfiguration(const std::filesystem::path& programFolder) {
  for (const auto& [key, value] : kIntegerDefaults) Integers_.Set(key, value);
  const std::filesystem::path reports = programFolder / "report";
  Texts_.Set("report_header", (reports / "header.jpg").string());
  Texts_.Set("report_footer", (reports / "footer.jpg").string());
  Texts_.Set("report_logo", (reports / "logo.jpg").string());
  Texts_.Set("report_language", "EN");
  Texts_.Set("proxy_server", "");
  Texts_.Set("eff_formula", std::string(kDefaultEfficiencyFormula));
}

void TConfiguration::Load(const TRegistry& registry) {
  if (const auto key = registry.OpenKey(kIntegerKey)) {
    for (const std::string& name : key->ValueNames()) {
      // The tables refuse an empty name; such a value cannot be a setting.
      if (name.empty()) continue;
      if (const auto value = key->ReadInteger(name)) Integers_.Set(name, *value);
    }
    // A hand-edited registry must not give a game without periods or players who cannot foul out.
    for (const TSettingRange& range : kRanges) {
      Integers_.Set(range.Key, std::clamp(Integers_.Get(range.Key), range.Minimum, range.Maximum));
    }
    for (const TSettingOrder& order : kOrderedSettings) {
      Integers_.Set(order.Lower, std::min(Integers_.Get(order.Lower), Integers_.Get(order.Upper)));
    }
  }
  if (const auto key = registry.OpenKey(kTextKey)) {
    for (const std::string& name : key->ValueNames()) {
      if (name.empty()) continue;
      if (const auto value = key->ReadString(name)) Texts_.Set(name, *value);
    }
  }
}

bool TConfiguration::Save(TRegistry& registry) const {
  TRegistryKey integers;
  for (const std::string& name : Integers_.KeysInOrder()) integers.WriteInteger(name, Integers_.Get(name));
  TRegistryKey texts;
  for (const std::string& name : Texts_.KeysInOrder()) texts.WriteString(name, Texts_.Get(name).value_or(""));
  return registry.WriteKeys({{std::string(kIntegerKey), integers}, {std::string(kTextKey), texts}});
}

std::int32_t TConfiguration::GetInt(std::string_view key) const {
  if (key.empty() || !Integers_.Exists(key)) return -1;
  return Integers_.Get(key);
}

std::string TConfiguration::GetString(std::string_view key) const {
  if (key.empty()) return {};
  return Texts_.Get(key).value_or("");
}

void TConfiguration::SetInt(std::string_view key, std::int32_t value) {
  if (!key.empty() && Integers_.Exists(key)) Integers_.Set(key, value);
}

void TConfiguration::SetString(std::string_view key, std::string_view value) {
  if (!key.empty() && Texts_.Exists(key)) Texts_.Set(key, std::string(value));
}

TPeriodSettings PeriodSettingsOf(const TConfiguration& config) {
  return TPeriodSettings{config.GetInt("no_of_quarters"), config.GetInt("quarter_duration"),
                         config.GetInt("overtime_duration")};
}

}  // namespace velmora

#pragma once
// The program's settings: integer and text settings with built-in defaults, kept in the registry
// under "Config" and "StrConfig".

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "records/game_time.h"
#include "records/hash_table.h"

namespace velmora {

class TRegistry;

class TConfiguration {
 public:
  // Every setting at its default; the report pictures default to files of `programFolder`/report.
  explicit TConfiguration(const std::filesystem::path& programFolder);

  // Reads "Config" and "StrConfig"; names unknown to the defaults are added, values of the wrong
  // type are skipped. A missing key or an unreadable registry leaves the current values. Values
  // outside their range are brought into it, and a minimum above its maximum down to it.
  void Load(const TRegistry& registry);
  // Writes every setting, in table order; false when the registry file could not be written.
  bool Save(TRegistry& registry) const;

  // -1 for an unknown key.
  std::int32_t GetInt(std::string_view key) const;
  // Empty for an unknown key.
  std::string GetString(std::string_view key) const;
  // Both change known keys only.
  void SetInt(std::string_view key, std::int32_t value);
  void SetString(std::string_view key, std::string_view value);

  bool HasInt(std::string_view key) const { return Integers_.Exists(key); }
  bool HasString(std::string_view key) const { return Texts_.Exists(key); }
  const TIntegerHash& Integers() const { return Integers_; }
  const TStringHash& Texts() const { return Texts_; }

 private:
  TIntegerHash Integers_;
  TStringHash Texts_;
};

inline constexpr std::string_view kDefaultEfficiencyFormula = "PT+RT+AS+ST+BS+RF-PF-TO-(P3A-P3M)-(P2A-P2M)-(P1A-P1M)";

// The values an integer setting may take; settings without a range take any value.
struct TSettingRange {
  std::string_view Key;
  std::int32_t Minimum;
  std::int32_t Maximum;
};
// The range of the key, or none.
const TSettingRange* RangeOf(std::string_view key);
// Pairs whose first setting may not exceed the second ("min_players" and "max_players", ...).
struct TSettingOrder {
  std::string_view Lower;
  std::string_view Upper;
};
inline constexpr TSettingOrder kOrderedSettings[] = {{"min_players", "max_players"},
                                                     {"min_shirt_number", "max_shirt_number"}};

// The period settings as they stand now.
TPeriodSettings PeriodSettingsOf(const TConfiguration& config);

}  // namespace velmora

#pragma once
// The per-user registry of the program: keys and subkeys below "\Software\Talvex\DravonES" with
// typed values (32-bit integers and strings), kept in one JSON file that is replaced atomically.
// Every operation reads the file afresh, so several owners of a TRegistry see each other's writes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace velmora {

// A value of a type the program does not use reads as std::monostate.
using TRegistryValue = std::variant<std::monostate, std::int32_t, std::string>;

class TRegistryKey {
 public:
  // Value names in the order they were first written.
  std::vector<std::string> ValueNames() const;
  std::optional<std::int32_t> ReadInteger(std::string_view name) const;
  std::optional<std::string> ReadString(std::string_view name) const;
  bool HasValue(std::string_view name) const;

  void WriteInteger(std::string_view name, std::int32_t value);
  void WriteString(std::string_view name, std::string_view value);
  void SetValue(std::string_view name, TRegistryValue value);
  void DeleteValue(std::string_view name);

  const std::vector<std::pair<std::string, TRegistryValue>>& Values() const { return Values_; }

 private:
  TRegistryValue* Find(std::string_view name);
  const TRegistryValue* Find(std::string_view name) const;

  std::vector<std::pair<std::string, TRegistryValue>> Values_;
};

class TRegistry {
 public:
  explicit TRegistry(std::filesystem::path file);

  const std::filesystem::path& File() const { return File_; }

  // The key at `path` below the product key ("" for the product key itself, "Config",
  // "StrConfig", ...; "\" separates levels). None when the key does not exist or the file is
  // missing, empty or unreadable.
  std::optional<TRegistryKey> OpenKey(std::string_view path) const;

  // Stores the key's values, creating the key and its parents; values of the key that `key` does
  // not hold are kept. False when the file cannot be written (the old file then stays intact). A
  // damaged file is kept beside the new one as "<name>.damaged".
  bool WriteKey(std::string_view path, const TRegistryKey& key);
  // Several keys in one replacement of the file.
  bool WriteKeys(const std::vector<std::pair<std::string, TRegistryKey>>& keys);
  // Removes one value; true when the value is gone afterwards.
  bool DeleteValue(std::string_view path, std::string_view name);

 private:
  std::filesystem::path File_;
};

// The string value `name` of the product key; empty when it cannot be read.
std::string ReadVersionValue(const TRegistry& registry, std::string_view name);

}  // namespace velmora

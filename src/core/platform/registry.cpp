#include "platform/registry.h"

#include <limits>
#include <nlohmann/json.hpp>

#include "records/file_io.h"

namespace velmora {

using Json = nlohmann::ordered_json;

// --- TRegistryKey ---

TRegistryValue* TRegistryKey::Find(std::string_view name) {
  for (auto& [valueName, value] : Values_) {
    if (valueName == name) return &value;
  }
  return nullptr;
}

const TRegistryValue* TRegistryKey::Find(std::string_view name) const {
  for (const auto& [valueName, value] : Values_) {
    if (valueName == name) return &value;
  }
  return nullptr;
}

std::vector<std::string> TRegistryKey::ValueNames() const {
  std::vector<std::string> names;
  names.reserve(Values_.size());
  for (const auto& entry : Values_) names.push_back(entry.first);
  return names;
}

std::optional<std::int32_t> TRegistryKey::ReadInteger(std::string_view name) const {
  const TRegistryValue* value = Find(name);
  if (!value || !std::holds_alternative<std::int32_t>(*value)) return std::nullopt;
  return std::get<std::int32_t>(*value);
}

std::optional<std::string> TRegistryKey::ReadString(std::string_view name) const {
  const TRegistryValue* value = Find(name);
  if (!value || !std::holds_alternative<std::string>(*value)) return std::nullopt;
  return std::get<std::string>(*value);
}

bool TRegistryKey::HasValue(std::string_view name) const { return Find(name) != nullptr; }

void TRegistryKey::SetValue(std::string_view name, TRegistryValue value) {
  if (TRegistryValue* existing = Find(name)) {
    *existing = std::move(value);
  } else {
    Values_.emplace_back(std::string(name), std::move(value));
  }
}

void TRegistryKey::WriteInteger(std::string_view name, std::int32_t value) { SetValue(name, value); }

void TRegistryKey::WriteString(std::string_view name, std::string_view value) { SetValue(name, std::string(value)); }

void TRegistryKey::DeleteValue(std::string_view name) {
  std::erase_if(Values_, [&](const auto& entry) { return entry.first == name; });
}

// --- file form ---

namespace {

enum class TFileState { Missing, Readable, Damaged };

struct TLoadedFile {
  TFileState State = TFileState::Missing;
  Json Root = Json::object();
};

TLoadedFile LoadFile(const std::filesystem::path& file) {
  TLoadedFile loaded;
  const auto content = ReadWholeFile(file);
  if (!content) return loaded;
  const std::string& text = *content;
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return loaded;  // empty file
  Json root = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (root.is_discarded() || !root.is_object()) {
    loaded.State = TFileState::Damaged;
    return loaded;
  }
  loaded.State = TFileState::Readable;
  loaded.Root = std::move(root);
  return loaded;
}

std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

const Json* FindKey(const Json& root, std::string_view path) {
  const Json* node = &root;
  for (const std::string& part : SplitPath(path)) {
    if (!node->is_object()) return nullptr;
    const auto keys = node->find("keys");
    if (keys == node->end() || !keys->is_object()) return nullptr;
    const auto child = keys->find(part);
    if (child == keys->end() || !child->is_object()) return nullptr;
    node = &*child;
  }
  return node->is_object() ? node : nullptr;
}

Json& EnsureKey(Json& root, std::string_view path) {
  Json* node = &root;
  for (const std::string& part : SplitPath(path)) {
    Json& keys = (*node)["keys"];
    if (!keys.is_object()) keys = Json::object();
    Json& child = keys[part];
    if (!child.is_object()) child = Json::object();
    node = &child;
  }
  return *node;
}

TRegistryValue ValueFromJson(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  // An unsigned number beyond the signed 64-bit range would wrap into range when read as signed.
  constexpr auto kLargestSigned = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (value.is_number_integer() && !(value.is_number_unsigned() && value.get<std::uint64_t>() > kLargestSigned)) {
    const auto number = value.get<std::int64_t>();
    if (number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max()) {
      return static_cast<std::int32_t>(number);
    }
  }
  return std::monostate{};
}

bool SaveFile(const std::filesystem::path& file, const TLoadedFile& loaded, const Json& root) {
  if (loaded.State == TFileState::Damaged) {
    // The damaged file is the user's only copy of its values: keep it before replacing it.
    std::error_code error;
    std::filesystem::copy_file(file, file.string() + ".damaged", std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) return false;
  }
  std::string text;
  try {
    text = root.dump(2) + '\n';
  } catch (const Json::exception&) {
    return false;  // a string value that is not UTF-8
  }
  return ReplaceFileAtomically(file, text).Ok();
}

}  // namespace

TRegistry::TRegistry(std::filesystem::path file) : File_(std::move(file)) {}

std::optional<TRegistryKey> TRegistry::OpenKey(std::string_view path) const {
  const TLoadedFile loaded = LoadFile(File_);
  if (loaded.State != TFileState::Readable) return std::nullopt;
  const Json* node = FindKey(loaded.Root, path);
  if (!node) return std::nullopt;
  TRegistryKey key;
  const auto values = node->find("values");
  if (values != node->end() && values->is_object()) {
    for (const auto& [name, value] : values->items()) key.SetValue(name, ValueFromJson(value));
  }
  return key;
}

bool TRegistry::WriteKey(std::string_view path, const TRegistryKey& key) {
  return WriteKeys({{std::string(path), key}});
}

bool TRegistry::WriteKeys(const std::vector<std::pair<std::string, TRegistryKey>>& keys) {
  const TLoadedFile loaded = LoadFile(File_);
  Json root = loaded.State == TFileState::Readable ? loaded.Root : Json::object();
  for (const auto& [path, key] : keys) {
    Json& node = EnsureKey(root, path);
    Json& values = node["values"];
    if (!values.is_object()) values = Json::object();
    for (const auto& [name, value] : key.Values()) {
      if (const auto* number = std::get_if<std::int32_t>(&value)) {
        values[name] = *number;
      } else if (const auto* text = std::get_if<std::string>(&value)) {
        values[name] = *text;
      }
    }
  }
  return SaveFile(File_, loaded, root);
}

bool TRegistry::DeleteValue(std::string_view path, std::string_view name) {
  TLoadedFile loaded = LoadFile(File_);
  if (loaded.State != TFileState::Readable) return true;
  Json& root = loaded.Root;
  const Json* found = FindKey(root, path);
  if (!found) return true;
  Json& node = EnsureKey(root, path);
  auto values = node.find("values");
  if (values == node.end() || !values->is_object() || !values->contains(name)) return true;
  values->erase(std::string(name));
  return SaveFile(File_, loaded, root);
}

std::string ReadVersionValue(const TRegistry& registry, std::string_view name) {
  const auto key = registry.OpenKey("");
  if (!key) return {};
  return key->ReadString(name).value_or("");
}

}  // namespace velmora

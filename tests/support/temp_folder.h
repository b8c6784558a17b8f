#pragma once
// A fresh temporary folder per test, removed afterwards, and a guard that sets an environment
// variable for the length of a test.

#include <filesystem>
#include <optional>
#include <string>

namespace velmora::testing {

class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return Path_; }
  std::filesystem::path operator/(const std::string& name) const { return Path_ / name; }

 private:
  std::filesystem::path Path_;
};

class TEnvironmentGuard {
 public:
  // Sets the variable, or unsets it when `value` is none; the old state returns on destruction.
  TEnvironmentGuard(std::string name, std::optional<std::string> value);
  ~TEnvironmentGuard();
  TEnvironmentGuard(const TEnvironmentGuard&) = delete;
  TEnvironmentGuard& operator=(const TEnvironmentGuard&) = delete;

 private:
  std::string Name_;
  std::optional<std::string> Old_;
};

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& content);

}  // namespace velmora::testing

#pragma once
// velmora-cli: the core without a screen. Run() takes the arguments after the program name and
// writes to the given streams, so tests can drive it in-process.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsageError = 2;

// Where a run keeps its data: the user data folder and the registry file, both overridable.
struct TCliEnvironment {
  std::optional<std::filesystem::path> DataDir;  // --data-dir

  std::filesystem::path DataFolder() const;
  std::filesystem::path RegistryFile() const;
};

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli

#pragma once
// The folders the program works in: the per-user data folder, the resource folder and the file
// that stands in for the registry.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace velmora {

class EUserDataFolderError : public std::runtime_error {
 public:
  EUserDataFolderError();
};

// $APPDATA/Velmora when APPDATA is set, else $XDG_DATA_HOME/Velmora (default
// ~/.local/share/Velmora); created when missing. Raises EUserDataFolderError when it cannot be.
std::filesystem::path UserDataFolder();
// Creates `folder` when missing; raises EUserDataFolderError when it cannot be.
std::filesystem::path EnsureDataFolder(const std::filesystem::path& folder);

// Why nothing can be written in the folder: a read-only disk, a full disk, or no permission to
// write; none when none of these holds. The text completes "No se puede escribir: ...".
std::optional<std::string> UnwritableReason(const std::filesystem::path& folder);

// The folder of the files that ship with the program: "share/velmora" beside the executable's
// folder after an install, else the executable's folder (a build tree).
std::filesystem::path ProgramFolder();

// Talvex/DravonES.json under $XDG_CONFIG_HOME (default ~/.config).
std::filesystem::path DefaultRegistryFile();
// The registry file kept inside a data folder given on the command line.
std::filesystem::path RegistryFileIn(const std::filesystem::path& dataFolder);

}  // namespace velmora

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

// The folder of the files that ship with the program (the empty game database, the messages
// files, the report folder) for the running executable; see ProgramFolderFor.
std::filesystem::path ProgramFolder();
// For an executable in `executableFolder`: "../share/velmora" when it exists (an installed tree),
// else the executable's own folder when it holds the empty game database (a build tree), else
// "../share/velmora" still, so that a missing file is reported where an install keeps it.
std::filesystem::path ProgramFolderFor(const std::filesystem::path& executableFolder);

// Talvex/DravonES.json under $XDG_CONFIG_HOME (default ~/.config).
std::filesystem::path DefaultRegistryFile();
// The registry file kept inside a data folder given on the command line.
std::filesystem::path RegistryFileIn(const std::filesystem::path& dataFolder);

}  // namespace velmora

#include "platform/folders.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace velmora {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::filesystem::path HomeFolder() {
  const std::string home = Environment("HOME");
  return home.empty() ? std::filesystem::path("/tmp") : std::filesystem::path(home);
}

}  // namespace

EUserDataFolderError::EUserDataFolderError()
    : std::runtime_error("User home directory not writeable - please check setup.") {}

std::filesystem::path EnsureDataFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return folder;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error)) throw EUserDataFolderError();
  return folder;
}

std::filesystem::path UserDataFolder() {
  std::filesystem::path base;
  if (const std::string appData = Environment("APPDATA"); !appData.empty()) {
    base = appData;
  } else if (const std::string dataHome = Environment("XDG_DATA_HOME"); !dataHome.empty()) {
    base = dataHome;
  } else {
    base = HomeFolder() / ".local" / "share";
  }
  return EnsureDataFolder(base / "Velmora");
}

std::optional<std::string> UnwritableReason(const std::filesystem::path& folder) {
  // Below this a database cannot even make its shared-memory index: the disk counts as full.
  constexpr unsigned long long kNearlyFull = 256 * 1024;
  const std::string name = "\"" + folder.string() + "\"";
  struct statvfs disk {};
  if (::statvfs(folder.c_str(), &disk) == 0) {
    if (disk.f_flag & ST_RDONLY) return "la carpeta " + name + " está en un disco de solo lectura";
    if (static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize < kNearlyFull) {
      return "el disco de la carpeta " + name + " está lleno";
    }
  }
  if (::access(folder.c_str(), W_OK) != 0) return "no hay permiso para escribir en la carpeta " + name;
  return std::nullopt;
}

std::filesystem::path ProgramFolderFor(const std::filesystem::path& executableFolder) {
  std::error_code error;
  const std::filesystem::path installed = (executableFolder.parent_path() / "share" / "velmora").lexically_normal();
  if (std::filesystem::is_directory(installed, error)) return installed;
  if (std::filesystem::is_regular_file(executableFolder / "dravon.db", error)) return executableFolder;
  return installed;
}

std::filesystem::path ProgramFolder() {
  std::error_code error;
  // The link is resolved, so a program started through a symbolic link finds its own files.
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return ProgramFolderFor(executable.parent_path());
}

std::filesystem::path DefaultRegistryFile() {
  const std::string configHome = Environment("XDG_CONFIG_HOME");
  const std::filesystem::path base = configHome.empty() ? HomeFolder() / ".config" : std::filesystem::path(configHome);
  return base / "Talvex" / "DravonES.json";
}

std::filesystem::path RegistryFileIn(const std::filesystem::path& dataFolder) {
  return dataFolder / "Talvex" / "DravonES.json";
}

}  // namespace velmora

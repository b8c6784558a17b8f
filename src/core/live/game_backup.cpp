#include "live/game_backup.h"

#include <cstdlib>
#include <system_error>

#include "records/file_io.h"
#include "stats/game_documents.h"
#include "stats/model.h"

namespace velmora {

std::optional<std::string> GameFileName(std::string_view gameNumber) {
  std::string name(gameNumber);
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == '\0' || static_cast<unsigned char>(c) < 32) c = '_';
  }
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  return name + ".log";
}

TStatus WriteBackup(const TModel& model, std::string_view folder) {
  if (folder.empty()) return {};
  std::error_code error;
  const std::filesystem::path target(folder);
  if (!std::filesystem::is_directory(target, error)) return {};
  const auto name = GameFileName(model.GameNumberText());
  if (!name) return TError{"the game number cannot name a file"};
  return ReplaceFileAtomically(target / *name, TransferFileText(model));
}

std::vector<std::filesystem::path> RescueFolders(const std::filesystem::path& dataFolder) {
  std::vector<std::filesystem::path> folders{dataFolder};
  if (const char* home = std::getenv("HOME"); home && *home) folders.emplace_back(home);
  std::error_code error;
  if (auto temporary = std::filesystem::temp_directory_path(error); !error) folders.push_back(std::move(temporary));
  return folders;
}

TResult<std::filesystem::path> WriteRescueFile(const TModel& model, const std::vector<std::filesystem::path>& folders,
                                               TDateTime now) {
  const std::string stamp = FormatDate(now) + " " + FormatLongTime(now);
  std::string name = GameFileName(model.GameNumberText()).value_or("partido.log");
  name.insert(name.size() - 4, " sin guardar " + stamp);
  for (char& c : name) {
    if (c == ':') c = '.';
  }
  const std::string text = TransferFileText(model);
  std::string refusals;
  for (const std::filesystem::path& folder : folders) {
    const std::filesystem::path file = folder / name;
    const TStatus written = ReplaceFileAtomically(file, text);
    if (written) return file;
    refusals += (refusals.empty() ? "" : "; ") + written.Error();
  }
  return TError{refusals.empty() ? std::string("no folder to write to") : refusals};
}

}  // namespace velmora

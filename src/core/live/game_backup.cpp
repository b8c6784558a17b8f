#include "live/game_backup.h"

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

TResult<std::filesystem::path> WriteRescueFile(const TModel& model, const std::filesystem::path& dataFolder,
                                               TDateTime now) {
  const std::string stamp = FormatDate(now) + " " + FormatLongTime(now);
  std::string name = GameFileName(model.GameNumberText()).value_or("partido.log");
  name.insert(name.size() - 4, " sin guardar " + stamp);
  for (char& c : name) {
    if (c == ':') c = '.';
  }
  const std::filesystem::path file = dataFolder / name;
  if (const TStatus written = ReplaceFileAtomically(file, TransferFileText(model)); !written) {
    return TError{written.Error()};
  }
  return file;
}

}  // namespace velmora

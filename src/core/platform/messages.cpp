#include "platform/messages.h"

#include "records/file_io.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"

namespace velmora {

std::filesystem::path TMessages::FileFor(const std::filesystem::path& folder, std::string_view language) {
  return folder / ("messages_" + std::string(language) + ".txt");
}

bool TMessages::Load(const std::filesystem::path& folder, std::string_view language) {
  Table_.Clear();
  const auto bytes = ReadWholeFile(FileFor(folder, language));
  if (!bytes) return false;
  ReadText(IsValidUtf8(*bytes) ? *bytes : Windows1252ToUtf8(*bytes));
  return true;
}

void TMessages::ReadText(std::string_view text) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) continue;
    const std::string_view key = Trimmed(line.substr(0, equals));
    if (key.empty()) continue;
    std::string value(Trimmed(line.substr(equals + 1)));
    for (std::size_t at = value.find("#13"); at != std::string::npos; at = value.find("#13", at + 1)) {
      value.replace(at, 3, "\r");
    }
    Table_.Set(key, std::move(value));
  }
}

std::string TMessages::Message(std::string_view key) const {
  if (key.empty()) return {};
  return Table_.Get(key).value_or("");
}

}  // namespace velmora

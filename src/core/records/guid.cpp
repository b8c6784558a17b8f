#include "records/guid.h"

#include <uuid/uuid.h>

#include <cctype>

namespace velmora {

std::string NewGuid() {
  uuid_t raw;
  uuid_generate_random(raw);
  char text[37];
  uuid_unparse_upper(raw, text);
  return '{' + std::string(text) + '}';
}

std::optional<std::string> ParseGuid(std::string_view text) {
  if (text.size() != kNullGuid.size() || text.front() != '{' || text.back() != '}') return std::nullopt;
  std::string guid(text);
  for (std::size_t i = 1; i + 1 < guid.size(); ++i) {
    const bool hyphenPlace = i == 9 || i == 14 || i == 19 || i == 24;
    const auto c = static_cast<unsigned char>(guid[i]);
    if (hyphenPlace ? c != '-' : !std::isxdigit(c)) return std::nullopt;
    guid[i] = static_cast<char>(std::toupper(c));
  }
  return guid;
}

bool IsNullGuid(std::string_view guid) { return guid == kNullGuid; }

}  // namespace velmora

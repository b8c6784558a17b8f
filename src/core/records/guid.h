#pragma once
// GUIDs in registry form: braces around 32 upper-case hexadecimal digits grouped 8-4-4-4-12.
// Two GUIDs are equal when their texts are equal.

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kNullGuid = "{00000000-0000-0000-0000-000000000000}";

// A new random GUID.
std::string NewGuid();
// The registry form of a GUID text (hex digits in any case); none when the text is not a GUID.
std::optional<std::string> ParseGuid(std::string_view text);
bool IsNullGuid(std::string_view guid);

}  // namespace velmora

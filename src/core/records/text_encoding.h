#pragma once
// Conversions between the program's text (UTF-8) and windows-1252, the code page of transfer
// files and of the statistics server. Every conversion of the program goes through here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Every byte has a character; the five bytes that windows-1252 leaves undefined become the C1
// control characters of the same value, so bytes survive a round trip.
std::string Windows1252ToUtf8(std::string_view bytes);

// None when some character cannot be held by windows-1252 (or the text is not valid UTF-8).
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);

// For XML text: a character that windows-1252 cannot hold is written as the character reference
// "&#N;", which an XML reader turns back into the character. Invalid UTF-8 bytes become U+FFFD.
std::string Utf8ToWindows1252XmlSafe(std::string_view utf8);

// For files read by other programs in windows-1252: a character it cannot hold becomes the letter
// without its mark when it is one of the Latin letters of U+0100 to U+017F ("č" -> "c"), else "?";
// so do invalid UTF-8 bytes. Never fails.
std::string Utf8ToWindows1252BestFit(std::string_view utf8);

// The windows-1252 byte of a Unicode code point, if it has one.
std::optional<std::uint8_t> Windows1252ByteOf(char32_t codePoint);

// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace velmora

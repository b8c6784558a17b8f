#include "records/text_encoding.h"

#include <array>

namespace velmora {

namespace {

// Code points of the bytes 0x80 to 0x9F; the undefined ones map to themselves.
constexpr std::array<char16_t, 32> kHighControls = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOfByte(std::uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80u];
  return byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one code point at `pos` and advances it; kInvalid (advancing one byte) for a malformed
// sequence, overlong forms and surrogates included.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int length;
  char32_t cp;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1Fu, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0Fu, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07u, minimum = 0x10000;
  } else {
    ++pos;
    return kInvalid;
  }
  if (pos + static_cast<std::size_t>(length) > text.size()) {
    ++pos;
    return kInvalid;
  }
  for (int k = 1; k < length; ++k) {
    const std::uint8_t next = byte(pos + static_cast<std::size_t>(k));
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return kInvalid;
    }
    cp = (cp << 6) | (next & 0x3Fu);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kInvalid;
  }
  pos += static_cast<std::size_t>(length);
  return cp;
}

}  // namespace

std::optional<std::uint8_t> Windows1252ByteOf(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return static_cast<std::uint8_t>(codePoint);
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == codePoint) return static_cast<std::uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (const char c : bytes) AppendUtf8(out, CodePointOfByte(static_cast<std::uint8_t>(c)));
  return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = DecodeUtf8(utf8, pos);
    if (cp == kInvalid) return std::nullopt;
    const auto byte = Windows1252ByteOf(cp);
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
  }
  return out;
}

std::string Utf8ToWindows1252XmlSafe(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t cp = DecodeUtf8(utf8, pos);
    if (cp == kInvalid) cp = 0xFFFD;
    if (const auto byte = Windows1252ByteOf(cp)) {
      out += static_cast<char>(*byte);
    } else {
      out += "&#" + std::to_string(static_cast<std::uint32_t>(cp)) + ';';
    }
  }
  return out;
}

std::string Utf8ToWindows1252BestFit(std::string_view utf8) {
  // The base letters of U+0100 to U+017F, sixteen a line.
  static constexpr std::string_view kLatinExtendedA =
      "AaAaAaCcCcCcCcDd"
      "DdEeEeEeEeEeGgGg"
      "GgGgHhHhIiIiIiIi"
      "IiIiJjKkkLlLlLlL"
      "lLlNnNnNnnNnOoOo"
      "OoOoRrRrRrSsSsSs"
      "SsTtTtTtUuUuUuUu"
      "UuUuWwYyYZzZzZzs";
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = DecodeUtf8(utf8, pos);
    if (const auto byte = Windows1252ByteOf(cp)) {  // kInvalid has none
      out += static_cast<char>(*byte);
    } else if (cp >= 0x100 && cp < 0x100 + kLatinExtendedA.size()) {
      out += kLatinExtendedA[cp - 0x100];
    } else {
      out += '?';
    }
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    if (DecodeUtf8(text, pos) == kInvalid) return false;
  }
  return true;
}

}  // namespace velmora

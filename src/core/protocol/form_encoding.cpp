#include "protocol/form_encoding.h"

#include "records/text_encoding.h"
#include "records/text_utils.h"

namespace velmora {

std::string FormEncodeValue(std::string_view text) { return UrlEncode(Utf8ToWindows1252XmlSafe(text)); }

std::string FormBody(const TFormFields& fields) {
  std::string body;
  for (const auto& [name, value] : fields) {
    body += name;
    body += '=';
    body += FormEncodeValue(value);
    if (fields.size() > 1) body += '&';
  }
  return std::string(Trimmed(body));
}

std::string UrlDecode(std::string_view encoded) {
  const auto hexValue = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string bytes;
  bytes.reserve(encoded.size());
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char c = encoded[i];
    if (c == '+') {
      bytes += ' ';
    } else if (c == '%' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 && hexValue(encoded[i + 2]) >= 0) {
      bytes += static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2]));
      i += 2;
    } else {
      bytes += c;
    }
  }
  return bytes;
}

TFormFields ParseFormText(std::string_view text) {
  TFormFields fields;
  while (!text.empty()) {
    const std::size_t end = text.find('&');
    const std::string_view field = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (field.empty()) continue;
    const std::size_t equals = field.find('=');
    const std::string_view name = field.substr(0, equals);
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : field.substr(equals + 1);
    fields.emplace_back(Windows1252ToUtf8(UrlDecode(name)), Windows1252ToUtf8(UrlDecode(value)));
  }
  return fields;
}

const std::string* FindField(const TFormFields& fields, std::string_view name) {
  for (const auto& field : fields) {
    if (field.first == name) return &field.second;
  }
  return nullptr;
}

}  // namespace velmora

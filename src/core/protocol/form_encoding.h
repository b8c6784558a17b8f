#pragma once
// The form and query encoding spoken with the statistics server: values travel as windows-1252
// bytes, letters and digits as they are, a blank as "+", every other byte as "%XX".

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

using TFormFields = std::vector<std::pair<std::string, std::string>>;

// The value (program text) in windows-1252, encoded byte by byte. A character windows-1252 cannot
// hold travels as an XML character reference.
std::string FormEncodeValue(std::string_view text);
// "name=value" of one field; every field followed by "&" when there are two or more.
std::string FormBody(const TFormFields& fields);

// Decodes "%XX" and "+" into bytes.
std::string UrlDecode(std::string_view encoded);
// The fields of a form body or query text, names and values turned from windows-1252 into
// program text.
TFormFields ParseFormText(std::string_view text);
// The first field of that name, or none.
const std::string* FindField(const TFormFields& fields, std::string_view name);

}  // namespace velmora

#include "stats/efficiency.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

#include "records/text_utils.h"
#include "stats/model.h"
#include "stats/expression_parser.h"

namespace velmora {

namespace {
bool IsLetter(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::string SubstituteEfficiencyFormula(std::string_view formula, const TIntegerHash& table) {
  std::unordered_map<std::string, std::int32_t> values;
  for (const std::string& key : table.KeysInOrder()) values[ToLowerAscii(key)] = table.Get(key);
  const auto valueOf = [&](const std::string& key) {
    const auto found = values.find(key);
    return found == values.end() ? 0 : found->second;
  };
  const std::int32_t points = 3 * valueOf("p3m") + 2 * valueOf("p2m") + valueOf("p1m");

  std::string text;
  for (const char c : ToLowerAscii(formula)) {
    if (c != ' ') text += c;
  }

  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    if (!IsLetter(text[i]) && !IsDigit(text[i])) {
      const bool decimalComma =
          text[i] == ',' && i > 0 && IsDigit(text[i - 1]) && i + 1 < text.size() && IsDigit(text[i + 1]);
      out += decimalComma ? '.' : text[i];
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && (IsLetter(text[end]) || IsDigit(text[end]))) ++end;
    const std::string name = text.substr(i, end - i);
    const bool isCall = end < text.size() && text[end] == '(';
    if (IsLetter(name.front()) && !isCall && (name == "pt" || values.contains(name))) {
      out += '(' + std::to_string(name == "pt" ? points : values.at(name)) + ')';
    } else {
      out += name;
    }
    i = end;
  }
  return out;
}

double Efficiency(const TIntegerHash& table, std::string_view formula) {
  try {
    TParser parser;
    parser.SetExpression(SubstituteEfficiencyFormula(formula, table));
    return std::nearbyint(parser.Value() / 0.01) * 0.01;
  } catch (const std::exception&) {
    return 0;
  }
}

std::string EfficiencyText(double value) {
  if (value == 0) value = 0;  // no "-0"
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

bool FormulaEvaluates(std::string_view formula) {
  TIntegerHash ones = NewStatTable();
  for (const std::string& key : ones.KeysInOrder()) ones.Set(key, 1);
  try {
    TParser parser;
    parser.SetExpression(SubstituteEfficiencyFormula(formula, ones));
    parser.Value();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace velmora

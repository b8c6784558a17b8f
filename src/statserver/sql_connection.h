#pragma once
// Statements of either storage engine: written once with "?" for each bound value; the rows they
// give read the same way whichever database answered.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::statserver {

// A failure of the database. `Retry` when the transaction only met another one (a deadlock, a
// serialisation failure) and may be run again.
class ESqlError : public std::runtime_error {
 public:
  explicit ESqlError(const std::string& message, bool retry = false) : std::runtime_error(message), Retry_(retry) {}
  bool Retry() const { return Retry_; }

 private:
  bool Retry_;
};

// One value bound to a statement; texts are referred to, not copied, and must outlive the call.
class TSqlValue {
 public:
  enum class TKind { Null, Integer, Real, Text, Blob };

  TSqlValue() = default;
  TSqlValue(std::nullopt_t) {}
  TSqlValue(std::int64_t value) : Kind(TKind::Integer), Integer(value) {}
  TSqlValue(int value) : TSqlValue(std::int64_t{value}) {}
  TSqlValue(double value) : Kind(TKind::Real), Real(value) {}
  TSqlValue(std::string_view text) : Kind(TKind::Text), Text(text) {}
  TSqlValue(const std::string& text) : TSqlValue(std::string_view(text)) {}
  TSqlValue(const char* text) : TSqlValue(std::string_view(text)) {}
  TSqlValue(const std::optional<std::string>& text) {
    if (text) *this = TSqlValue(*text);
  }
  TSqlValue(const std::optional<std::int64_t>& value) {
    if (value) *this = TSqlValue(*value);
  }
  TSqlValue(const std::optional<double>& value) {
    if (value) *this = TSqlValue(*value);
  }
  static TSqlValue Blob(std::string_view bytes) {
    TSqlValue value(bytes);
    value.Kind = TKind::Blob;
    return value;
  }

  TKind Kind = TKind::Null;
  std::int64_t Integer = 0;
  double Real = 0;
  std::string_view Text;
};

// The rows a statement gave, one at a time.
class TSqlRows {
 public:
  virtual ~TSqlRows() = default;
  // Moves to the next row; false after the last.
  virtual bool Next() = 0;
  virtual bool IsNull(int column) const = 0;
  // The column as text: a number in decimal, NULL as empty.
  virtual std::string Text(int column) const = 0;
  virtual std::string Blob(int column) const = 0;
  // A whole number, or none (NULL, or a text that is not one).
  virtual std::optional<std::int64_t> IntegerIfReadable(int column) const;
  virtual std::optional<double> RealIfReadable(int column) const;
  std::int64_t Integer(int column) const { return IntegerIfReadable(column).value_or(0); }
};

class TSqlConnection {
 public:
  virtual ~TSqlConnection() = default;
  // Runs one statement; its rows stay readable while other statements run. Raises ESqlError.
  virtual std::unique_ptr<TSqlRows> Query(std::string_view sql, const std::vector<TSqlValue>& values) = 0;
  std::unique_ptr<TSqlRows> Query(std::string_view sql, std::initializer_list<TSqlValue> values = {}) {
    return Query(sql, std::vector<TSqlValue>(values));
  }
  // Runs one statement; the rows it changed.
  virtual std::int64_t Run(std::string_view sql, const std::vector<TSqlValue>& values) = 0;
  std::int64_t Run(std::string_view sql, std::initializer_list<TSqlValue> values = {}) {
    return Run(sql, std::vector<TSqlValue>(values));
  }
};

}  // namespace velmora::statserver

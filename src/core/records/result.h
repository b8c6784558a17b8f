#pragma once
// The outcome of an operation whose failure the caller must handle: a value, or a message.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace velmora {

struct TError {
  std::string Message;
};

template <typename T>
class [[nodiscard]] TResult {
 public:
  TResult(T value) : State_(std::move(value)) {}
  TResult(TError error) : State_(std::move(error)) {}

  bool Ok() const { return std::holds_alternative<T>(State_); }
  explicit operator bool() const { return Ok(); }
  T& Value() { return std::get<T>(State_); }
  const T& Value() const { return std::get<T>(State_); }
  const std::string& Error() const { return std::get<TError>(State_).Message; }

 private:
  std::variant<T, TError> State_;
};

// Success without a value, or a message.
class [[nodiscard]] TStatus {
 public:
  TStatus() = default;
  TStatus(TError error) : Error_(std::move(error.Message)) {}

  bool Ok() const { return !Error_; }
  explicit operator bool() const { return Ok(); }
  const std::string& Error() const { return *Error_; }

 private:
  std::optional<std::string> Error_;
};

}  // namespace velmora

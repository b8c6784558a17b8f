#pragma once
// Where translated texts come from; the application object serves the messages file through it.

#include <string>
#include <string_view>

namespace velmora {

class TMessageSource {
 public:
  virtual ~TMessageSource() = default;
  // The translated text of the key; empty when the key is missing.
  virtual std::string Message(std::string_view key) const = 0;
};

// A source without texts: every message is empty.
class TNoMessages final : public TMessageSource {
 public:
  std::string Message(std::string_view) const override { return {}; }
};

}  // namespace velmora

namespace velmora {

// The caption of a parameter name or value: the message "Param_" + text, or the text itself when
// that message is missing or empty.
inline std::string Caption(const TMessageSource& messages, std::string_view text) {
  std::string caption = messages.Message("Param_" + std::string(text));
  return caption.empty() ? std::string(text) : caption;
}

}  // namespace velmora

// Feeds arbitrary bytes to the form reader that takes every query and form post of the statistics
// server. Whatever it reads, the values must survive being posted again: encoded as the client
// encodes them and read back, each field comes back as it was.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/form_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  using fuzz::Check;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TFormFields fields = ParseFormText(text);
  (void)UrlDecode(text);

  // Names are written as they are, so the client only ever sends plain ones.
  TFormFields plain;
  for (std::size_t i = 0; i < fields.size(); ++i) plain.emplace_back("f" + std::to_string(i), fields[i].second);
  const TFormFields again = ParseFormText(FormBody(plain));
  Check(again == plain);
  for (const auto& [name, value] : plain) {
    const std::string* found = FindField(again, name);
    Check(found && *found == value);
  }
  return 0;
}

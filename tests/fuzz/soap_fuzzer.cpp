// Feeds arbitrary bytes to both readers of the administration service's envelopes: the server's
// reading of a request and the client's reading of an answer. What either accepts must come back
// the same from an envelope written anew.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/soap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  using fuzz::Check;
  const std::string_view body(reinterpret_cast<const char*>(data), size);

  if (const auto call = ParseSoapRequest(body)) {
    const auto again = ParseSoapRequest(SoapRequestEnvelope(call.Value().Operation, call.Value().Parameters));
    Check(again.Ok());
    Check(again.Value().Operation == call.Value().Operation);
    Check(again.Value().Parameters == call.Value().Parameters);
  }
  for (const std::string_view operation : {std::string_view("ValidateUser"), std::string_view("ExportToSIMS")}) {
    if (const auto result = ParseSoapResult(body, operation)) {
      const auto again = ParseSoapResult(SoapResponseEnvelope(operation, result.Value()), operation);
      Check(again.Ok() && again.Value() == result.Value());
    }
  }
  return 0;
}

#pragma once
// SOAP 1.1 envelopes of the administration web service (document-literal, UTF-8), for its client
// and for the server that answers it.

#include <string>
#include <string_view>

#include "records/result.h"
#include "protocol/form_encoding.h"

namespace velmora {

// The namespace of the service's elements; an operation's SOAP action is this followed by its name.
inline constexpr std::string_view kSoapServiceNamespace = "http://tempuri.org/";

struct TSoapCall {
  std::string Operation;
  TFormFields Parameters;  // child elements of the operation element, by local name
};

std::string SoapRequestEnvelope(std::string_view operation, const TFormFields& parameters);
std::string SoapResponseEnvelope(std::string_view operation, std::string_view result);
// `code` is "Client" or "Server".
std::string SoapFaultEnvelope(std::string_view code, std::string_view message);

// The operation and its parameters; an error for anything that is not such an envelope.
TResult<TSoapCall> ParseSoapRequest(std::string_view body);
// The text of "<operation>Result"; the fault string, or a description, as the error.
TResult<std::string> ParseSoapResult(std::string_view body, std::string_view operation);

}  // namespace velmora

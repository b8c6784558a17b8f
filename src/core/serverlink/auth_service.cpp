#include "serverlink/auth_service.h"

#include "platform/registry.h"
#include "protocol/soap.h"

namespace velmora {

AuthServiceSoap::AuthServiceSoap(std::string endpoint, const THttpSettings& http)
    : Endpoint_(std::move(endpoint)), Http_(http) {}

TResult<std::string> AuthServiceSoap::Call(std::string_view operation, const TFormFields& parameters,
                                           const std::string& endpoint) {
  const std::string soapAction = std::string(kSoapServiceNamespace) + std::string(operation);
  auto answer = Http_.PostXml(endpoint, SoapRequestEnvelope(operation, parameters), soapAction);
  if (!answer) return TError{answer.Error()};
  // A fault comes with an error status; its fault string says more than the status.
  auto result = ParseSoapResult(answer.Value().Body, operation);
  if (!result && answer.Value().Status >= 300 && answer.Value().Body.find("Fault") == std::string::npos) {
    return TError{"HTTP " + std::to_string(answer.Value().Status)};
  }
  return result;
}

TResult<std::string> AuthServiceSoap::ValidateUser(std::string_view user, std::string_view password) {
  return Call("ValidateUser", {{"user", std::string(user)}, {"pass", std::string(password)}}, Endpoint_);
}

TResult<std::string> AuthServiceSoap::ExportToSIMS(std::string_view gameNumber, std::string_view session) {
  const std::string endpoint =
      Endpoint_ + (Endpoint_.find('?') == std::string::npos ? "?" : "&") + "SESSIONID=" + std::string(session);
  return Call("ExportToSIMS", {{"gameNumber", std::string(gameNumber)}}, endpoint);
}

std::string AuthServiceEndpoint(const TRegistry& registry, std::string_view serverUrl) {
  if (const auto key = registry.OpenKey("")) {
    if (const auto endpoint = key->ReadString("WS"); endpoint && !endpoint->empty()) return *endpoint;
  }
  // scheme://host[:port] of the server URL.
  const std::size_t scheme = serverUrl.find("://");
  const std::size_t hostStart = scheme == std::string_view::npos ? 0 : scheme + 3;
  const std::size_t hostEnd = serverUrl.find_first_of("/\\", hostStart);
  return std::string(serverUrl.substr(0, hostEnd)) + "/dvadminws/dvadmin.asmx";
}

}  // namespace velmora

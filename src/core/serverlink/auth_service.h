#pragma once
// The client of the administration web service: user validation and the export request.

#include <string>
#include <string_view>

#include "records/result.h"
#include "protocol/form_encoding.h"
#include "serverlink/http_client.h"

namespace velmora {

class TRegistry;

class AuthServiceSoap {
 public:
  AuthServiceSoap(std::string endpoint, const THttpSettings& http);

  const std::string& Endpoint() const { return Endpoint_; }
  // The session value; empty when the credentials are refused. An error when the call failed.
  TResult<std::string> ValidateUser(std::string_view user, std::string_view password);
  // Empty when the export was accepted, else the reason. An error when the call failed. The
  // session (with braces) travels in the address's query, which a service that does not know it
  // ignores.
  TResult<std::string> ExportToSIMS(std::string_view gameNumber, std::string_view session);

 private:
  TResult<std::string> Call(std::string_view operation, const TFormFields& parameters,
                            const std::string& endpoint);

  std::string Endpoint_;
  THttpClient Http_;
};

// The service's address: the registry's "WS" value, or the service path on the host of the
// statistics server when the registry holds none.
std::string AuthServiceEndpoint(const TRegistry& registry, std::string_view serverUrl);

}  // namespace velmora

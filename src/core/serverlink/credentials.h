#pragma once
// The stored server credentials: URL, user name and (when the operator asked for it) the password,
// enciphered with RC4 under the MD5 digest of a built-in pass phrase and kept in Base64.

#include <string>
#include <string_view>

#include "records/result.h"

namespace velmora {

class TRegistry;

struct TCredentials {
  std::string Url;
  std::string UserName;
  std::string Password;
};

// Base64 with the padding rules of the stored values: an empty input gives "A===".
std::string Base64Encode(std::string_view bytes);
// Fails with "Base64ToStr: illegal input length!" unless the text is longer than 3 characters and
// its length a multiple of 4. A character outside the alphabet counts as 61.
TResult<std::string> Base64Decode(std::string_view text);

std::string EncryptPassword(std::string_view password);
// Empty when the text cannot be decoded.
std::string DecryptPassword(std::string_view stored);

// What the registry holds; a password that cannot be read is empty.
TCredentials ReadCredentials(const TRegistry& registry);
// Writes URL and user name, and the password only when `remember` is set (a stored one stays
// otherwise). False when the registry could not be written.
bool StoreCredentials(TRegistry& registry, const TCredentials& credentials, bool remember);

}  // namespace velmora

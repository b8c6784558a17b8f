#pragma once
// Salted password hashes (PBKDF2 with HMAC-SHA256); passwords are never stored in clear.

#include <string>
#include <string_view>

namespace velmora::statserver {

struct TPasswordHash {
  std::string Salt;  // raw bytes
  std::string Hash;  // raw bytes
  int Iterations = 0;
};

TPasswordHash HashPassword(std::string_view password);
bool VerifyPassword(std::string_view password, const TPasswordHash& stored);
// A random text fit for a session value or a name: 32 lower-case hexadecimal digits.
std::string RandomToken();

}  // namespace velmora::statserver

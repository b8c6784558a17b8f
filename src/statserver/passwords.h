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
// A hash that no password matches, made as HashPassword makes one: checking a login of an unknown
// user against it costs what checking a known one costs.
const TPasswordHash& UnknownUserHash();
// The form a session value is stored in: 64 lower-case hexadecimal digits of its SHA-256.
std::string TokenDigest(std::string_view token);
// A random text fit for a session value or a name: 32 lower-case hexadecimal digits.
std::string RandomToken();

}  // namespace velmora::statserver

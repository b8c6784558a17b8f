#include "passwords.h"

#include <nettle/pbkdf2.h>
#include <nettle/sha2.h>
#include <sys/random.h>

#include <cstdint>
#include <stdexcept>

#include "records/text_utils.h"

namespace velmora::statserver {

namespace {

constexpr int kIterations = 100'000;
constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kHashBytes = 32;

std::string RandomBytes(std::size_t count) {
  std::string bytes(count, '\0');
  std::size_t filled = 0;
  while (filled < count) {
    const ssize_t n = getrandom(bytes.data() + filled, count - filled, 0);
    if (n <= 0) throw std::runtime_error("no random bytes available");
    filled += static_cast<std::size_t>(n);
  }
  return bytes;
}

std::string Derive(std::string_view password, std::string_view salt, int iterations) {
  std::string hash(kHashBytes, '\0');
  pbkdf2_hmac_sha256(password.size(), reinterpret_cast<const std::uint8_t*>(password.data()),
                     static_cast<unsigned>(iterations), salt.size(), reinterpret_cast<const std::uint8_t*>(salt.data()),
                     hash.size(), reinterpret_cast<std::uint8_t*>(hash.data()));
  return hash;
}

}  // namespace

TPasswordHash HashPassword(std::string_view password) {
  TPasswordHash result;
  result.Salt = RandomBytes(kSaltBytes);
  result.Iterations = kIterations;
  result.Hash = Derive(password, result.Salt, result.Iterations);
  return result;
}

bool VerifyPassword(std::string_view password, const TPasswordHash& stored) {
  if (stored.Iterations <= 0 || stored.Hash.empty()) return false;
  const std::string candidate = Derive(password, stored.Salt, stored.Iterations);
  // Compared in constant time, so the answer's timing tells nothing about the hash.
  unsigned char difference = candidate.size() == stored.Hash.size() ? 0 : 1;
  for (std::size_t i = 0; i < candidate.size() && i < stored.Hash.size(); ++i) {
    difference |= static_cast<unsigned char>(candidate[i] ^ stored.Hash[i]);
  }
  return difference == 0;
}

const TPasswordHash& UnknownUserHash() {
  static const TPasswordHash hash = [] {
    TPasswordHash made = HashPassword(RandomToken());
    made.Hash = RandomBytes(kHashBytes);  // whatever the password was, nothing derives this
    return made;
  }();
  return hash;
}

std::string TokenDigest(std::string_view token) {
  sha256_ctx context;
  sha256_init(&context);
  sha256_update(&context, token.size(), reinterpret_cast<const std::uint8_t*>(token.data()));
  std::string digest(SHA256_DIGEST_SIZE, '\0');
  sha256_digest(&context, digest.size(), reinterpret_cast<std::uint8_t*>(digest.data()));
  return HexText(digest);
}

std::string RandomToken() { return HexText(RandomBytes(16)); }

}  // namespace velmora::statserver

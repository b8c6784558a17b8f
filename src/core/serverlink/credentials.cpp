#include "serverlink/credentials.h"

#include <nettle/arcfour.h>
#include <nettle/md5.h>

#include <array>
#include <cstdint>

#include "platform/registry.h"

namespace velmora {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kPassPhrase = "Hx4TqLm9Wc2RpZ7v";

// RC4 is its own inverse: the same call enciphers and deciphers.
std::string Rc4(std::string_view bytes) {
  std::array<std::uint8_t, MD5_DIGEST_SIZE> key{};
  md5_ctx hash;
  md5_init(&hash);
  md5_update(&hash, kPassPhrase.size(), reinterpret_cast<const std::uint8_t*>(kPassPhrase.data()));
  md5_digest(&hash, key.size(), key.data());
  arcfour_ctx cipher;
  arcfour_set_key(&cipher, key.size(), key.data());
  std::string out(bytes.size(), '\0');
  arcfour_crypt(&cipher, bytes.size(), reinterpret_cast<std::uint8_t*>(out.data()),
                reinterpret_cast<const std::uint8_t*>(bytes.data()));
  return out;
}

int ValueOf(char c) {
  const std::size_t at = kAlphabet.find(c);
  return at == std::string_view::npos ? 61 : static_cast<int>(at);
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string input(bytes);
  std::size_t padding = 0;
  while (input.size() <= 2 || input.size() % 3 != 0) {
    input += '\0';
    ++padding;
  }
  std::string out;
  for (std::size_t i = 0; i < input.size(); i += 3) {
    const auto b0 = static_cast<unsigned char>(input[i]);
    const auto b1 = static_cast<unsigned char>(input[i + 1]);
    const auto b2 = static_cast<unsigned char>(input[i + 2]);
    out += kAlphabet[b0 >> 2];
    out += kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
    out += kAlphabet[((b1 & 0x0F) << 2) | (b2 >> 6)];
    out += kAlphabet[b2 & 0x3F];
  }
  out.replace(out.size() - padding, padding, padding, '=');
  return out;
}

TResult<std::string> Base64Decode(std::string_view text) {
  if (text.size() <= 3 || text.size() % 4 != 0) return TError{"Base64ToStr: illegal input length!"};
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const int v0 = ValueOf(text[i]);
    const int v1 = ValueOf(text[i + 1]);
    const int v2 = ValueOf(text[i + 2]);
    const int v3 = ValueOf(text[i + 3]);
    out += static_cast<char>(((v0 << 2) | (v1 >> 4)) & 0xFF);
    out += static_cast<char>(((v1 << 4) | (v2 >> 2)) & 0xFF);
    out += static_cast<char>(((v2 << 6) | v3) & 0xFF);
  }
  std::size_t padding = 0;
  while (padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  out.resize(out.size() - std::min(padding, out.size()));
  return out;
}

std::string EncryptPassword(std::string_view password) { return Base64Encode(Rc4(password)); }

std::string DecryptPassword(std::string_view stored) {
  const auto bytes = Base64Decode(stored);
  if (!bytes) return {};
  std::string password = Rc4(bytes.Value());
  if (const std::size_t end = password.find('\0'); end != std::string::npos) password.resize(end);
  return password;
}

TCredentials ReadCredentials(const TRegistry& registry) {
  TCredentials credentials;
  const auto key = registry.OpenKey("");
  if (!key) return credentials;
  credentials.Url = key->ReadString("URL").value_or("");
  credentials.UserName = key->ReadString("Username").value_or("");
  credentials.Password = DecryptPassword(key->ReadString("Password").value_or(""));
  return credentials;
}

bool StoreCredentials(TRegistry& registry, const TCredentials& credentials, bool remember) {
  TRegistryKey key;
  key.WriteString("URL", credentials.Url);
  key.WriteString("Username", credentials.UserName);
  if (remember) key.WriteString("Password", EncryptPassword(credentials.Password));
  return registry.WriteKey("", key);
}

}  // namespace velmora

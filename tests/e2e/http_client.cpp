#include "http_client.h"

#include <curl/curl.h>

#include <strings.h>

#include <mutex>

namespace velmora::testing {

namespace {

CURL* Handle(void* curl) {
  return static_cast<CURL*>(curl);
}

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

std::size_t CollectHeader(char* data, std::size_t size, std::size_t count, void* target) {
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.find(':') != std::string::npos) static_cast<std::vector<std::string>*>(target)->push_back(line);
  return size * count;
}

}  // namespace

std::string THttpReply::Header(const std::string& name) const {
  for (const std::string& line : Headers) {
    if (line.size() > name.size() && line[name.size()] == ':' && strncasecmp(line.c_str(), name.c_str(), name.size()) == 0) {
      const std::size_t value = line.find_first_not_of(' ', name.size() + 1);
      return value == std::string::npos ? std::string() : line.substr(value);
    }
  }
  return {};
}

THttpClient::THttpClient() {
  // curl_global_init is not thread-safe; tests create clients from many threads at once.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  Curl_ = curl_easy_init();
  curl_easy_setopt(Handle(Curl_), CURLOPT_TIMEOUT, 20L);
}

void THttpClient::SetLocalAddress(const std::string& address) {
  curl_easy_setopt(Handle(Curl_), CURLOPT_INTERFACE, address.c_str());
}

void THttpClient::SetTimeout(long seconds) { curl_easy_setopt(Handle(Curl_), CURLOPT_TIMEOUT, seconds); }

THttpClient::~THttpClient() {
  curl_easy_cleanup(Handle(Curl_));
}

THttpReply THttpClient::Get(const std::string& url, const std::vector<std::string>& headers) {
  CURL* curl = Handle(Curl_);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  return Perform(headers);
}

THttpReply THttpClient::Post(const std::string& url, const std::string& body, const std::string& contentType,
                             const std::vector<std::string>& headers) {
  CURL* curl = Handle(Curl_);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_POST, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  std::vector<std::string> lines = headers;
  lines.push_back("Content-Type: " + contentType);
  // Without this libcurl waits for "100 Continue" before sending a large body.
  lines.push_back("Expect:");
  return Perform(lines);
}

THttpReply THttpClient::Perform(const std::vector<std::string>& headers) {
  CURL* curl = Handle(Curl_);
  curl_slist* list = nullptr;
  for (const std::string& line : headers) list = curl_slist_append(list, line.c_str());
  THttpReply reply;
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.Body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CollectHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &reply.Headers);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK) {
    reply.Error = error[0] ? error : curl_easy_strerror(code);
  } else {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.Status);
    const char* type = nullptr;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
    if (type) reply.ContentType = type;
  }
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_slist_free_all(list);
  return reply;
}

}  // namespace velmora::testing

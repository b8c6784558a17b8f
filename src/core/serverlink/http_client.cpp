#include "serverlink/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>

namespace velmora {

namespace {

std::once_flag GlobalInit;

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

}  // namespace

struct THttpClient::TImpl {
  CURLM* Multi = nullptr;
  CURL* Easy = nullptr;
  THttpSettings Settings;
};

THttpClient::THttpClient(THttpSettings settings) : Impl_(std::make_unique<TImpl>()) {
  std::call_once(GlobalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  Impl_->Multi = curl_multi_init();
  Impl_->Easy = curl_easy_init();
  // Cookies live in memory for the life of the client.
  curl_easy_setopt(Impl_->Easy, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(Impl_->Easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(Impl_->Easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(Impl_->Easy, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(Impl_->Easy, CURLOPT_USERAGENT, "Velmora");
  SetSettings(settings);
}

THttpClient::~THttpClient() {
  curl_easy_cleanup(Impl_->Easy);
  curl_multi_cleanup(Impl_->Multi);
}

void THttpClient::SetSettings(const THttpSettings& settings) {
  Impl_->Settings = settings;
  Cancel_ = settings.Cancel;
  CURL* easy = Impl_->Easy;
  if (!settings.ProxyHost.empty() && settings.ProxyPort > 0) {
    curl_easy_setopt(easy, CURLOPT_PROXY, settings.ProxyHost.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPORT, static_cast<long>(settings.ProxyPort));
  } else {
    curl_easy_setopt(easy, CURLOPT_PROXY, "");  // no proxy, whatever the environment says
  }
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.ConnectTimeout.count()));
  const long readSeconds = std::max<long>(1, static_cast<long>((settings.ReadTimeout.count() + 999) / 1000));
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, readSeconds);
}

TResult<std::string> THttpClient::SuccessBody(TResult<THttpAnswer> answer) {
  if (!answer) return TError{answer.Error()};
  const THttpAnswer& http = answer.Value();
  if (http.Status < 200 || http.Status >= 300) {
    return TError{"HTTP " + std::to_string(http.Status) + (http.Body.empty() ? "" : ": " + http.Body.substr(0, 200))};
  }
  return std::move(answer.Value().Body);
}

TResult<std::string> THttpClient::Get(const std::string& url) {
  return SuccessBody(Perform(url, nullptr, nullptr, {}));
}

TResult<std::string> THttpClient::PostForm(const std::string& url, std::string_view body) {
  const std::string text(body);
  return SuccessBody(Perform(url, &text, "Content-Type: application/x-www-form-urlencoded", {}));
}

TResult<THttpAnswer> THttpClient::PostXml(const std::string& url, std::string_view body, std::string_view soapAction) {
  const std::string text(body);
  return Perform(url, &text, "Content-Type: text/xml; charset=utf-8", soapAction);
}

void THttpClient::Reconnect() { curl_easy_setopt(Impl_->Easy, CURLOPT_FRESH_CONNECT, 1L); }

void THttpClient::Abandon() {
  Abandoned_ = true;
  curl_multi_wakeup(Impl_->Multi);
}

void THttpClient::Resume() { Abandoned_ = false; }

TResult<THttpAnswer> THttpClient::Perform(const std::string& url, const std::string* body, const char* contentType,
                                          std::string_view soapAction) {
  LastStatus_ = 0;
  LastErrorBody_.clear();
  if (Abandoned()) return TError{"the transfer was abandoned"};
  CURL* easy = Impl_->Easy;
  std::string received;
  curl_slist* headers = nullptr;
  if (contentType) headers = curl_slist_append(headers, contentType);
  if (!soapAction.empty())
    headers = curl_slist_append(headers, ("SOAPAction: \"" + std::string(soapAction) + "\"").c_str());
  // A form post is sent at once, without waiting for the server to invite the body.
  headers = curl_slist_append(headers, "Expect:");
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &received);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  if (body) {
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body->data());
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  }

  curl_multi_add_handle(Impl_->Multi, easy);
  CURLcode outcome = CURLE_OK;
  bool finished = false;
  while (!finished) {
    int running = 0;
    curl_multi_perform(Impl_->Multi, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(Impl_->Multi, &left)) {
      if (message->msg == CURLMSG_DONE) {
        outcome = message->data.result;
        finished = true;
      }
    }
    if (finished) break;
    if (Abandoned()) {
      outcome = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    curl_multi_poll(Impl_->Multi, nullptr, 0, 200, nullptr);
  }
  curl_multi_remove_handle(Impl_->Multi, easy);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 0L);
  curl_slist_free_all(headers);

  if (outcome == CURLE_ABORTED_BY_CALLBACK) return TError{"the transfer was abandoned"};
  if (outcome != CURLE_OK) return TError{curl_easy_strerror(outcome)};
  THttpAnswer answer;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &answer.Status);
  LastStatus_ = answer.Status;
  if (answer.Status < 200 || answer.Status >= 300) LastErrorBody_ = received.substr(0, 4096);
  answer.Body = std::move(received);
  return answer;
}

}  // namespace velmora

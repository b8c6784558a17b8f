#pragma once
// One persistent HTTP connection (libcurl): cookies kept, redirects not followed, an optional
// proxy, connect and read time-outs. A transfer in flight can be abandoned at once from another
// thread. Not for use by two threads at the same time (the server client's lock sees to that).

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "records/result.h"

namespace velmora {

struct THttpAnswer {
  long Status = 0;
  std::string Body;
};

struct THttpSettings {
  std::string ProxyHost;  // empty: no proxy
  int ProxyPort = 0;
  std::chrono::milliseconds ConnectTimeout{5000};
  // A request fails when the server sends nothing for this long.
  std::chrono::milliseconds ReadTimeout{10000};
  // When given (it outlives the client), setting it ends the transfer in flight within 200 ms
  // and fails every later one, as Abandon does.
  const std::atomic<bool>* Cancel = nullptr;
};

class THttpClient {
 public:
  explicit THttpClient(THttpSettings settings = {});
  ~THttpClient();
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  void SetSettings(const THttpSettings& settings);

  // The body of a 2xx answer; the error (connection failure, error status, abandoned) otherwise.
  TResult<std::string> Get(const std::string& url);
  TResult<std::string> PostForm(const std::string& url, std::string_view body);
  // Any status is an answer here; only a failed transfer is an error.
  TResult<THttpAnswer> PostXml(const std::string& url, std::string_view body, std::string_view soapAction);

  // Closes the connection; the next request opens a new one.
  void Reconnect();
  // Makes the transfer in flight, and every later one until Resume, fail at once.
  void Abandon();
  void Resume();
  bool Abandoned() const { return Abandoned_ || (Cancel_ && *Cancel_); }
  // The HTTP status of the last answer; 0 when the last request got none.
  long LastStatus() const { return LastStatus_; }
  // The start of the last answer's body when its status was an error; empty otherwise.
  const std::string& LastErrorBody() const { return LastErrorBody_; }

 private:
  struct TImpl;
  TResult<THttpAnswer> Perform(const std::string& url, const std::string* body, const char* contentType,
                               std::string_view soapAction);
  static TResult<std::string> SuccessBody(TResult<THttpAnswer> answer);

  std::unique_ptr<TImpl> Impl_;
  std::atomic<bool> Abandoned_{false};
  long LastStatus_ = 0;
  std::string LastErrorBody_;
  const std::atomic<bool>* Cancel_ = nullptr;
};

}  // namespace velmora

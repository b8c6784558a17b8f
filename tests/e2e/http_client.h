#pragma once
// A small blocking HTTP client on libcurl for talking to the statistics server: one easy handle,
// so consecutive requests share a kept-alive connection as the program's client does.

#include <string>
#include <vector>

namespace velmora::testing {

struct THttpReply {
  long Status = 0;  // 0 when no answer came
  std::string Body;
  std::string Error;  // libcurl's message when the transfer failed
  std::string ContentType;
  std::vector<std::string> Headers;  // "Name: value", as they came

  // The value of the header (its name in any case); empty when it did not come.
  std::string Header(const std::string& name) const;
  bool Ok() const { return Error.empty() && Status >= 200 && Status < 300; }
};

class THttpClient {
 public:
  THttpClient();
  ~THttpClient();
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  // Connections leave from this loopback address (127.0.0.1 unless told).
  void SetLocalAddress(const std::string& address);
  // A reply that takes longer fails (20 s unless told).
  void SetTimeout(long seconds);

  // `headers` are whole header lines ("If-None-Match: ...").
  THttpReply Get(const std::string& url, const std::vector<std::string>& headers = {});
  // `headers` are whole header lines ("SOAPAction: ...").
  THttpReply Post(const std::string& url, const std::string& body,
                  const std::string& contentType = "application/x-www-form-urlencoded",
                  const std::vector<std::string>& headers = {});

 private:
  THttpReply Perform(const std::vector<std::string>& headers);

  void* Curl_;
};

}  // namespace velmora::testing

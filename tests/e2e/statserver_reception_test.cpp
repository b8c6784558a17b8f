// The reception on its own, over socket pairs: what it keeps of a connection between requests.

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "reception.h"

namespace velmora::statserver {
namespace {

using namespace std::chrono_literals;

// A client's end of a connection the reception serves.
class TClientEnd {
 public:
  explicit TClientEnd(TReception& reception) {
    int ends[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    Socket_ = ends[0];
    reception.Receive(ends[1]);
  }
  ~TClientEnd() { ::close(Socket_); }
  TClientEnd(const TClientEnd&) = delete;
  TClientEnd& operator=(const TClientEnd&) = delete;

  void Send(const std::string& text) { ASSERT_EQ(::send(Socket_, text.data(), text.size(), 0), ssize_t(text.size())); }
  // What arrives within the time; `Closed` tells whether the reception ended the connection.
  std::string Receive(std::chrono::milliseconds within) {
    std::string received;
    pollfd entry{Socket_, POLLIN, 0};
    while (::poll(&entry, 1, static_cast<int>(within.count())) > 0) {
      char buffer[1024];
      const ssize_t n = ::recv(Socket_, buffer, sizeof buffer, 0);
      if (n <= 0) {
        Closed = true;
        break;
      }
      received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
  }
  bool Closed = false;

 private:
  int Socket_ = -1;
};

constexpr const char* kRequest = "GET / HTTP/1.1\r\n\r\n";
constexpr const char* kAnswer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

// Answers each request at once and asks to keep its connection.
class ReceptionTest : public ::testing::Test {
 protected:
  std::unique_ptr<TReception> Start(std::size_t mostIdle) {
    TReceptionTimes times;
    times.MostIdle = mostIdle;
    times.KeepAlive = 5s;
    auto reception = std::make_unique<TReception>(times, [this](std::shared_ptr<TConnection> connection) {
      ++Requests;
      connection->Out = kAnswer;
      connection->KeepOpen = true;
      connection->Consumed = connection->HeadLength;
      Reception->Answer(std::move(connection));
    });
    Reception = reception.get();
    EXPECT_TRUE(reception->Start());
    return reception;
  }
  TReception* Reception = nullptr;
  std::atomic<int> Requests = 0;
};

TEST_F(ReceptionTest, PipelinedRequestsAreAnsweredInOrderOnTheirConnection) {
  auto reception = Start(16);
  TClientEnd client(*reception);
  client.Send(std::string(kRequest) + kRequest + "GET /third HTTP/1.1\r\n");
  EXPECT_EQ(client.Receive(300ms), std::string(kAnswer) + kAnswer);
  // The third head was only begun: it is answered once it is whole.
  client.Send("\r\n");
  EXPECT_EQ(client.Receive(300ms), kAnswer);
  EXPECT_FALSE(client.Closed);
  EXPECT_EQ(Requests, 3);
}

TEST_F(ReceptionTest, PastItsLimitOfIdleConnectionsAnAnsweredOneIsClosed) {
  auto reception = Start(2);
  TClientEnd first(*reception), second(*reception), third(*reception);
  for (TClientEnd* client : {&first, &second, &third}) {
    client->Send(kRequest);
    EXPECT_EQ(client->Receive(300ms), kAnswer);
  }
  EXPECT_FALSE(first.Closed);
  EXPECT_FALSE(second.Closed);
  EXPECT_TRUE(third.Closed);
  // A kept one that asks again leaves the count while it is served, and is kept again after.
  first.Send(kRequest);
  EXPECT_EQ(first.Receive(300ms), kAnswer);
  EXPECT_FALSE(first.Closed);
  TClientEnd fourth(*reception);
  fourth.Send(kRequest);
  EXPECT_EQ(fourth.Receive(300ms), kAnswer);
  EXPECT_TRUE(fourth.Closed);
}

}  // namespace
}  // namespace velmora::statserver

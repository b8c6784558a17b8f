// Clients that send slowly, or send what they may not, must cost the server neither its workers
// nor its memory: everybody else keeps being served.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "server_fixture.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

// A client that speaks HTTP byte by byte, as a hostile one does.
class TRawClient {
 public:
  explicit TRawClient(int port) : Socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Connected_ = ::connect(Socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~TRawClient() { ::close(Socket_); }
  TRawClient(const TRawClient&) = delete;
  TRawClient& operator=(const TRawClient&) = delete;

  bool Connected() const { return Connected_; }
  bool Send(std::string_view text) {
    return ::send(Socket_, text.data(), text.size(), MSG_NOSIGNAL) == ssize_t(text.size());
  }
  // What the server says within the time, until it closes the connection or falls silent.
  std::string Receive(std::chrono::milliseconds within) {
    std::string received;
    const auto end = std::chrono::steady_clock::now() + within;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      pollfd entry{Socket_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) return received;
      char buffer[4096];
      const ssize_t n = ::recv(Socket_, buffer, sizeof buffer, 0);
      if (n <= 0) {
        Closed_ = true;
        return received;
      }
      received.append(buffer, static_cast<std::size_t>(n));
    }
  }
  bool Closed() const { return Closed_; }

 private:
  int Socket_;
  bool Connected_ = false;
  bool Closed_ = false;
};

std::string StatusLine(const std::string& answer) { return answer.substr(0, answer.find("\r\n")); }

class HostileClientsTest : public StatServerTest {
 protected:
  // A small server whose clients get one second for a request's head.
  static statserver::TServerOptions Strict() {
    statserver::TServerOptions options = TestServerOptions();
    options.Threads = 8;
    options.RequestTime = 1s;
    options.SlowestBytesPerSecond = 1024 * 1024;
    return options;
  }
  std::string Head(const std::string& target, std::size_t length, const std::string& more = "") {
    return "POST " + target + " HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n" + more +
           "Content-Length: " + std::to_string(length) + "\r\n\r\n";
  }
  TActionFactory Make;
};

TEST_F(HostileClientsTest, HundredsOfSlowClientsLeaveTheServerToEverybodyElse) {
  TRunningServer server(*Store, Strict());
  std::vector<std::unique_ptr<TRawClient>> slow;
  for (int i = 0; i < 300; ++i) {
    slow.push_back(std::make_unique<TRawClient>(server.Port()));
    ASSERT_TRUE(slow.back()->Connected());
    slow.back()->Send("GET /default.asp?do=ping HTTP/1.1\r\n");
  }
  std::atomic<bool> trickling = true;
  std::thread trickle([&] {
    while (trickling) {
      for (auto& client : slow) client->Send("X");
      std::this_thread::sleep_for(200ms);
    }
  });

  // Pings, a spectator and an operator meanwhile, each answered in time.
  THttpClient client;
  client.SetTimeout(3);
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  for (int round = 0; round < 4; ++round) {
    EXPECT_EQ(client.Get(server.Url("/default.asp?do=ping")).Body, "pong") << round;
    EXPECT_TRUE(client.Get(server.Url("/live/G-1?format=json")).Ok()) << round;
    const THttpReply sent =
        client.Post(server.Url("/default.asp?game_number=G-1&do=multipleaction&SESSIONID=" + Session),
                    FormBody({{"action", ActionsText(batch, "G-1")}, {"do", "multipleaction"}}));
    EXPECT_TRUE(sent.Ok()) << round << " " << sent.Status << sent.Error;
    std::this_thread::sleep_for(300ms);
  }
  trickling = false;
  trickle.join();
  // The head's deadline has passed for all of them: each connection was ended by the server.
  int ended = 0;
  for (auto& connection : slow) {
    const std::string answer = connection->Receive(2s);
    if (connection->Closed()) ++ended;
    if (!answer.empty()) {
      EXPECT_EQ(StatusLine(answer), "HTTP/1.1 408 Request Timeout");
    }
  }
  EXPECT_EQ(ended, 300);
}

TEST_F(HostileClientsTest, ABodyIsRefusedBeforeItIsSentWhenItsRequestIsNotAllowed) {
  const std::string batch = "/default.asp?game_number=G-1&do=multipleaction";
  const std::string bob = Login("bob", kBobPassword);
  // Each head alone gets its answer at once: the server does not wait for the body.
  const std::vector<std::pair<std::string, std::string>> refusals = {
      {Head(batch, 3 * 1024 * 1024), "HTTP/1.1 403 Forbidden"},
      {Head(batch + "&SESSIONID={feedface}", 1000), "HTTP/1.1 403 Forbidden"},
      {Head(batch + "&SESSIONID=" + bob, 1000), "HTTP/1.1 403 Forbidden"},
      {Head(batch + "&SESSIONID=" + Session, 100 * 1024 * 1024), "HTTP/1.1 413 Payload Too Large"},
      {Head("/statistics.asp?do=upload_statistics&game_number=G-1", 1000), "HTTP/1.1 403 Forbidden"},
      {Head("/dvadminws/dvadmin.asmx", 1024 * 1024), "HTTP/1.1 413 Payload Too Large"},
      {Head("/live/G-1", 1000), "HTTP/1.1 413 Payload Too Large"},
      {Head("/default.asp?do=get_active_games&SESSIONID=" + Session, 1024 * 1024), "HTTP/1.1 413 Payload Too Large"},
      {"POST " + batch + "&SESSIONID=" + Session + " HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n",
       "HTTP/1.1 411 Length Required"},
      {"POST /dvadminws/dvadmin.asmx HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 411 Length Required"},
  };
  for (const auto& [head, status] : refusals) {
    TRawClient client(Server->Port());
    ASSERT_TRUE(client.Send(head));
    EXPECT_EQ(StatusLine(client.Receive(3s)), status) << head;
  }
  // A client that asks first is refused without being invited to send.
  TRawClient asking(Server->Port());
  asking.Send(Head(batch, 3 * 1024 * 1024, "Expect: 100-continue\r\n"));
  EXPECT_EQ(StatusLine(asking.Receive(3s)), "HTTP/1.1 403 Forbidden");
  EXPECT_TRUE(ServerActionIds().empty());
}

TEST_F(HostileClientsTest, AllowedBodiesAreReadWithinADeadlineAndNeverByEveryWorker) {
  TRunningServer server(*Store, Strict());
  const std::string batch = "/default.asp?game_number=G-1&do=multipleaction&SESSIONID=" + Session;
  // Ten operators' posts whose bodies never come: six workers may wait for them, the other two stay
  // free for whole requests.
  std::vector<std::unique_ptr<TRawClient>> stalled;
  for (int i = 0; i < 10; ++i) {
    stalled.push_back(std::make_unique<TRawClient>(server.Port()));
    stalled.back()->Send(Head(batch, 4096) + "action=");
  }
  std::this_thread::sleep_for(200ms);
  THttpClient client;
  client.SetTimeout(3);
  EXPECT_EQ(client.Get(server.Url("/default.asp?do=ping")).Body, "pong");
  int busy = 0;
  int timedOut = 0;
  for (auto& connection : stalled) {
    const std::string status = StatusLine(connection->Receive(4s));
    if (status == "HTTP/1.1 503 Service Unavailable") ++busy;
    if (status == "HTTP/1.1 400 Bad Request") ++timedOut;  // the deadline passed without the body
  }
  EXPECT_EQ(busy, 4);
  EXPECT_EQ(timedOut, 6);
  EXPECT_EQ(client.Get(server.Url("/default.asp?do=ping")).Body, "pong");
}

// Kept connections: the program and the spectators ask again and again, over one connection each.
int Answers(const std::string& received) {
  int count = 0;
  for (std::size_t at = received.find("HTTP/1.1 "); at != std::string::npos; at = received.find("HTTP/1.1 ", at + 1)) {
    ++count;
  }
  return count;
}

TEST_F(HostileClientsTest, AConnectionCarriesOneRequestAfterAnotherAndEndsWhenEitherSideSaysSo) {
  statserver::TServerOptions options = Strict();
  options.KeepAliveTime = 1s;
  TRunningServer server(*Store, options);
  const std::string ping = "GET /default.asp?do=ping HTTP/1.1\r\nHost: x\r\n\r\n";
  TRawClient client(server.Port());
  ASSERT_TRUE(client.Send(ping));
  const std::string first = client.Receive(300ms);
  EXPECT_EQ(StatusLine(first), "HTTP/1.1 200 OK");
  EXPECT_NE(first.find("Keep-Alive: timeout=1,"), std::string::npos) << first;
  EXPECT_FALSE(client.Closed());
  // Two requests sent before either answer was read: both are answered, in order.
  const std::string batch = "/default.asp?game_number=G-1&do=multipleaction&SESSIONID=" + Session;
  TActionList actions;
  actions.push_back(Make.Shot(10, 1, 4, "Made", 2));
  const std::string body = FormBody({{"action", ActionsText(actions, "G-1")}, {"do", "multipleaction"}});
  ASSERT_TRUE(client.Send(Head(batch, body.size()) + body + ping));
  const std::string both = client.Receive(500ms);
  EXPECT_EQ(Answers(both), 2) << both;
  EXPECT_EQ(both.rfind("pong"), both.size() - 4) << both;
  EXPECT_EQ(ServerActionIds().size(), 1u);
  EXPECT_FALSE(client.Closed());
  // Left idle past its time, the connection is closed without a word.
  EXPECT_EQ(client.Receive(2500ms), "");
  EXPECT_TRUE(client.Closed());

  // A client that says it is done gets its answer and the end of the connection.
  TRawClient closing(server.Port());
  ASSERT_TRUE(closing.Send("GET /default.asp?do=ping HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
  const std::string last = closing.Receive(2s);
  EXPECT_NE(last.find("Connection: close"), std::string::npos) << last;
  EXPECT_TRUE(closing.Closed());
  // So does one speaking HTTP/1.0.
  TRawClient old(server.Port());
  ASSERT_TRUE(old.Send("GET /default.asp?do=ping HTTP/1.0\r\n\r\n"));
  EXPECT_EQ(Answers(old.Receive(2s)), 1);
  EXPECT_TRUE(old.Closed());
}

TEST_F(HostileClientsTest, ABodyLeftUnreadEndsItsConnectionAndIsNeverTakenForTheNextRequest) {
  TRunningServer server(*Store, Strict());
  // Refused before its body is read: what follows on the connection is that body, whatever it
  // looks like, and the server must not answer it as a request of its own.
  const std::string smuggled = "GET /default.asp?do=ping HTTP/1.1\r\nHost: x\r\n\r\n";
  TRawClient client(server.Port());
  ASSERT_TRUE(client.Send(Head("/default.asp?game_number=G-1&do=multipleaction&SESSIONID={nobody}", smuggled.size()) +
                          smuggled));
  const std::string received = client.Receive(3s);
  EXPECT_EQ(StatusLine(received), "HTTP/1.1 403 Forbidden");
  EXPECT_EQ(Answers(received), 1) << received;
  EXPECT_EQ(received.find("pong"), std::string::npos) << received;
  EXPECT_TRUE(client.Closed());
}

}  // namespace
}  // namespace velmora::testing

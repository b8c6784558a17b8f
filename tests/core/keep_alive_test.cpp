// The start window's keep-alive against a loopback server, with the test thread playing the user
// interface thread.

#include "serverlink/keep_alive.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "loopback_http_server.h"
#include "platform/configuration.h"
#include "server_fakes.h"
#include "serverlink/internet_plugin.h"
#include "wait_until.h"

namespace velmora::testing {
namespace {

TEST(KeepAlive, AFailedPingIsToldOnTheUiThreadAndAHangingOneIsAbandonedAtOnce) {
  TConfiguration config("/opt/velmora");
  config.SetInt("read_timeout", 60000);  // a ping that hangs would hold an abandon for a minute
  std::atomic<int> status{200};
  std::atomic<bool> hang{false};
  TLoopbackHttpServer server([&](const TLoopbackRequest&) {
    TLoopbackReply reply = TLoopbackReply::Text("pong", status);
    if (hang) reply.Delay = std::chrono::minutes(1);
    return reply;
  });
  TInternetPlugin client(config, nullptr);
  client.SetServerUrl(server.Url("/liga/"));
  TManualUiThread ui;
  std::vector<TInternetPlugin*> failed;
  TKeepAlive keepAlive(ui, [&](TInternetPlugin* which) { failed.push_back(which); });
  const auto answered = [&] { return WaitUntil([&] { return ui.RunPosted() > 0; }); };

  keepAlive.Ping(client);
  EXPECT_TRUE(keepAlive.InFlight());
  ASSERT_TRUE(answered());
  EXPECT_FALSE(keepAlive.InFlight());
  EXPECT_TRUE(failed.empty());
  status = 500;
  keepAlive.Ping(client);
  ASSERT_TRUE(answered());
  EXPECT_EQ(failed, std::vector<TInternetPlugin*>{&client});

  hang = true;
  keepAlive.Ping(client);
  keepAlive.Ping(client);  // one at a time
  ASSERT_TRUE(server.WaitForRequests(3, std::chrono::seconds(10)));
  const auto start = std::chrono::steady_clock::now();
  keepAlive.Abandon();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "not the minute of the ping";
  ui.RunPosted();
  EXPECT_EQ(failed.size(), 1u) << "an abandoned ping's answer is forgotten";
  EXPECT_FALSE(keepAlive.InFlight());
  EXPECT_EQ(server.RequestCount(), 3u);
  hang = false;
  status = 200;
  EXPECT_TRUE(client.Ping()) << "the client works afterwards";
}

}  // namespace
}  // namespace velmora::testing

#pragma once
// The statistics server started in-process on a free loopback port, with two users (alice owns
// game "G-1", bob owns "B-1"), alice logged in, and the requests of the program's client spelled
// out the way it sends them.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <pugixml.hpp>

#include "game_builder.h"
#include "http_client.h"
#include "records/action.h"
#include "records/match_info.h"
#include "protocol/form_encoding.h"
#include "server_store.h"
#include "stat_server.h"
#include "temp_folder.h"

namespace velmora::testing {

inline constexpr const char* kAlicePassword = "Cancha-alice-2024";
inline constexpr const char* kBobPassword = "Cancha-bob-2024";

// Small pool, no request log, bodies up to 4 MiB, messages from the build's resource folder.
statserver::TServerOptions TestServerOptions();

// A server answering on 127.0.0.1 from a thread of its own until destroyed.
class TRunningServer {
 public:
  TRunningServer(statserver::TServerStore& store, statserver::TServerOptions options);
  ~TRunningServer();
  TRunningServer(const TRunningServer&) = delete;
  TRunningServer& operator=(const TRunningServer&) = delete;

  // "http://127.0.0.1:PORT" followed by the path.
  std::string Url(std::string_view path) const;
  int Port() const { return Port_; }

 private:
  std::unique_ptr<statserver::TStatServer> Server_;
  std::thread Runner_;
  int Port_ = 0;
};

// The MATCHINFO element of the match information as raw XML text.
std::string MatchInfoText(const TMatchInfo& matchInfo);
// "<ACTIONS>", each action's element, "</ACTIONS>": the text of a live batch.
std::string ActionsText(const TActionList& actions, std::string_view gameNumber);
// Gives the actions wall-clock times one second apart from 10:00:00 + `first` seconds.
void StampAstroTimes(TActionList& actions, int first = 0);
TActionList CloneAll(const TActionList& actions);
// Parses a windows-1252 reply as the client does; the root element, empty when it is not XML.
pugi::xml_node ParseReply(const THttpReply& reply, pugi::xml_document& document);

class StatServerTest : public ::testing::Test {
 protected:
  StatServerTest();
  ~StatServerTest() override;

  // Publishes the match information as the publish command does: from its MATCHINFO text. The
  // match information as the server read it.
  TMatchInfo Publish(const TMatchInfo& matchInfo, const std::string& user);

  std::string Page() const { return Server->Url("/default.asp"); }
  // The session value wrapped in braces; empty when the login was refused.
  std::string Login(const std::string& user, const std::string& password);
  THttpReply Soap(std::string_view operation, const TFormFields& parameters, const std::string& soapAction);

  THttpReply Get(const std::string& query) { return Client.Get(Page() + "?" + query); }
  // GET with alice's session appended, as GetWithSession does.
  THttpReply GetWithSession(const std::string& query, const std::string& session = "");
  THttpReply PostForm(const std::string& query, const TFormFields& fields) {
    return Client.Post(Page() + "?" + query, FormBody(fields));
  }
  THttpReply SendActions(const TActionList& actions, const std::string& gameNumber = "G-1",
                         const std::string& session = "");
  THttpReply UpdateMatchInfo(const std::string& xmlText, const std::string& session = "");
  // The server's action list of the game; the test fails when it cannot be read.
  TActionList ServerActions(const std::string& gameNumber = "G-1");
  std::vector<std::string> ServerActionIds(const std::string& gameNumber = "G-1");

  // The test options with the clocks of sessions and login delays running this far ahead of the
  // real ones: a test moves them on instead of waiting.
  statserver::TServerOptions Options();

  TTempFolder Temp;
  std::atomic<long long> ClockAheadMs{0};
  std::unique_ptr<statserver::TServerStore> Store;
  std::unique_ptr<TRunningServer> Server;
  // Declared after the server: its kept-alive connection closes before the server stops.
  THttpClient Client;
  std::string Session;  // alice's
  TMatchInfo Game;      // alice's game "G-1" as the server read it
};

}  // namespace velmora::testing

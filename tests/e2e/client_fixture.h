#pragma once
// The program's own server client, live sender and jobs against velmora-statserver on a loopback
// port. The server can be stopped and started again on the same port and database; in front of it
// sits a loopback front of the tests' own that forwards every request or misbehaves on demand. The
// operator "ana" owns the published game "G-1" and has a local store of her own.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "platform/configuration.h"
#include "platform/registry.h"
#include "game_builder.h"
#include "loopback_http_server.h"
#include "records/match_info.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/queue.h"
#include "server_fakes.h"
#include "server_store.h"
#include "stat_server.h"
#include "stats/model.h"
#include "store/database_plugin.h"
#include "temp_folder.h"

namespace velmora::testing {

inline constexpr const char* kOperator = "ana";
inline constexpr const char* kOperatorPassword = "Tablero-2024";

// The statistics server on 127.0.0.1, serving from a thread of its own.
class TRestartableServer {
 public:
  explicit TRestartableServer(statserver::TServerStore& store);
  ~TRestartableServer();
  TRestartableServer(const TRestartableServer&) = delete;
  TRestartableServer& operator=(const TRestartableServer&) = delete;

  int Port() const { return Port_; }
  std::string Url(std::string_view path) const;
  // The server goes away with everything it kept in memory (its sessions among it).
  void Stop();
  // A new server on the same port and database.
  void Start();

 private:
  statserver::TServerStore& Store_;
  std::unique_ptr<statserver::TStatServer> Server_;
  std::thread Runner_;
  int Port_ = 0;
};

// What the front does with each request: Refuse answers 500, Forbidden 403 (a refused session),
// TooLarge 413 (a body beyond the server's bound), Canned the fixture's CannedAnswer.
enum class TFrontMode { Forward, Refuse, Forbidden, TooLarge, Canned, NotHttp, Drop, Stall };

// One run of velmora-cli, in-process.
struct TCliRun {
  int Status;
  std::string Out;
  std::string Err;
};
TCliRun RunCli(const std::vector<std::string>& args);

class ClientE2eTest : public ::testing::Test {
 protected:
  ClientE2eTest();
  ~ClientE2eTest() override;

  // Publishes the game for the operator; `actions` (when given) become its server log.
  void Publish(const TMatchInfo& matchInfo, const TActionList* actions = nullptr);
  std::string FrontUrl() const { return Front.Url("/liga/"); }
  // The front misbehaves as `mode` says for requests with this "do" only, and forwards the rest.
  void MisbehaveOn(const std::string& action, TFrontMode mode);
  std::string DirectUrl() const { return Server->Url("/liga/"); }

  // Logs in as the connect dialog does and hands the model its server client.
  TInternetPlugin& Connect(const std::string& url);
  // Job 2: the server game into the local store, opened in the model.
  void Pull(const std::string& gameNumber);
  // The live window opens: a sender with a short period, the history list attached.
  void StartLive(std::chrono::milliseconds period = std::chrono::milliseconds(20));
  TEnqueueResult Enter(std::unique_ptr<TAction> action) { return App->Sender()->Enqueue(std::move(action)); }
  // The live window closes; how long that took.
  std::chrono::milliseconds StopLive();
  // Waits until the sender has dealt with everything entered, then plays the UI thread.
  bool WaitUntilSent(std::chrono::milliseconds timeout = std::chrono::seconds(10));

  std::vector<std::string> LocalIds(const std::string& gameNumber = "G-1");
  std::vector<std::string> ServerIds(const std::string& gameNumber = "G-1");
  std::string LocalChecksum(const std::string& gameNumber = "G-1");
  std::string ServerChecksum(const std::string& gameNumber = "G-1");
  // The requests the front received with this "do".
  std::vector<TLoopbackRequest> FrontRequests(std::string_view action) const;
  // The IDs of the actions of every live batch the front received, batch by batch.
  std::vector<std::vector<std::string>> FrontBatches() const;

  TTempFolder Temp;
  std::unique_ptr<statserver::TServerStore> ServerStore;
  std::unique_ptr<TRestartableServer> Server;
  std::atomic<int> ServerPort{0};
  std::atomic<TFrontMode> Mode{TFrontMode::Forward};
  mutable std::mutex MisbehaviourLock;
  std::string MisbehavingAction;  // empty: every request
  std::string CannedAnswer;
  TLoopbackHttpServer Front;
  TRegistry Registry{Temp / "DravonES.json"};
  TConfiguration Config;
  TRecordingUserInterface Ui;
  TManualUiThread UiThread;
  TRecordingHistory History;
  TDatabasePlugin* Local = nullptr;  // owned by the model
  TModel Model;
  TInternetPlugin* Client = nullptr;  // owned by the model
  TActionFactory Make;
  TQueue* Queue = nullptr;            // owned by the application object
  std::unique_ptr<TApp> App;          // last: the sender stops before anything it uses goes
};

}  // namespace velmora::testing

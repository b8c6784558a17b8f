// Load test of velmora-statserver: N games played at once against one server on loopback, each
// posting a multipleaction batch every 1.5 s as the live program does. Reports, for each N, the
// latency of those posts (median, 99th percentile, maximum) and the server's memory.
//
//   statserver_load [--games 100,200,300,400] [--seconds 20]

#include <curl/curl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <pugixml.hpp>

#include "platform/folders.h"
#include "game_builder.h"
#include "records/text_utils.h"
#include "protocol/form_encoding.h"
#include "protocol/soap.h"
#include "server_store.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

class TConnection {
 public:
  TConnection() : Curl_(curl_easy_init()) {
    curl_easy_setopt(Curl_, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(Curl_, CURLOPT_WRITEDATA, &Body_);
    curl_easy_setopt(Curl_, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(Curl_, CURLOPT_NOSIGNAL, 1L);
  }
  ~TConnection() { curl_easy_cleanup(Curl_); }
  // The status, or 0 when the request failed.
  long Post(const std::string& url, const std::string& body, curl_slist* headers = nullptr) {
    Body_.clear();
    curl_easy_setopt(Curl_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(Curl_, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(Curl_, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(Curl_, CURLOPT_HTTPHEADER, headers);
    if (curl_easy_perform(Curl_) != CURLE_OK) return 0;
    long status = 0;
    curl_easy_getinfo(Curl_, CURLINFO_RESPONSE_CODE, &status);
    return status;
  }
  const std::string& Body() const { return Body_; }

 private:
  CURL* Curl_;
  std::string Body_;
};

struct TServerProcess {
  pid_t Pid = -1;
  ~TServerProcess() {
    if (Pid > 0) {
      kill(Pid, SIGTERM);
      waitpid(Pid, nullptr, 0);
    }
  }
  long MemoryKiB() const {
    std::ifstream status("/proc/" + std::to_string(Pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
  }
};

// The batches one game posts: its actions a few at a time, with the clock marks between them.
std::vector<std::string> Batches(const std::string& gameNumber, std::uint32_t seed) {
  TMatchInfo matchInfo = testing::MakeMatchInfo(12, gameNumber);
  const TActionList actions = testing::SimulateGame(matchInfo, 450, seed);
  std::vector<std::string> batches;
  for (std::size_t first = 0; first < actions.size(); first += 3) {
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("ACTIONS");
    for (std::size_t i = first; i < std::min(first + 3, actions.size()); ++i) actions[i]->ToXml(root, gameNumber);
    std::ostringstream text;
    root.print(text, "", pugi::format_raw);
    batches.push_back(FormBody({{"action", text.str()}, {"do", "multipleaction"}}));
  }
  return batches;
}

struct TRound {
  int Games = 0;
  double Median = 0, P99 = 0, Max = 0;
  long Failures = 0;
  long Requests = 0;
  long MemoryKiB = 0;
};

TRound RunRound(int games, int seconds) {
  char folderPattern[] = "/tmp/velmora-load-XXXXXX";
  const std::filesystem::path folder = mkdtemp(folderPattern);
  const std::filesystem::path database = folder / "server.db";
  {
    auto store = statserver::TServerStore::Open(database, ProgramFolder() / "dravon.db");
    if (!store) throw std::runtime_error(store.Error());
    if (!store.Value()->AddUser("load", "load")) throw std::runtime_error("cannot add the user");
    for (int g = 0; g < games; ++g) {
      const std::string gameNumber = "L-" + std::to_string(g);
      TMatchInfo matchInfo = testing::MakeMatchInfo(12, gameNumber);
      if (!store.Value()->Publish(matchInfo, "<MATCHINFO GameNumber=\"" + gameNumber + "\"/>", nullptr, "load")) {
        throw std::runtime_error("cannot publish");
      }
    }
  }

  const int port = 20000 + static_cast<int>(getpid() % 20000);
  TServerProcess server;
  server.Pid = fork();
  if (server.Pid == 0) {
    const std::string listen = "127.0.0.1:" + std::to_string(port);
    const std::string log = (folder / "server.log").string();
    freopen(log.c_str(), "w", stderr);
    execl((ProgramFolder() / "velmora-statserver").c_str(), "velmora-statserver", "--db", database.c_str(), "serve",
          "--listen", listen.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/";

  std::string session;
  for (int attempt = 0; attempt < 100 && session.empty(); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    TConnection connection;
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: text/xml; charset=utf-8");
    headers = curl_slist_append(headers, "SOAPAction: \"http://tempuri.org/ValidateUser\"");
    if (connection.Post(base + "dvadminws/dvadmin.asmx",
                        SoapRequestEnvelope("ValidateUser", {{"user", "load"}, {"pass", "load"}}), headers) == 200) {
      if (auto result = ParseSoapResult(connection.Body(), "ValidateUser")) session = result.Value();
    }
    curl_slist_free_all(headers);
  }
  if (session.empty()) throw std::runtime_error("the server did not start");

  // The games' requests are made before the clock starts, so that making them does not slow the server.
  std::vector<std::vector<std::string>> gameBatches;
  for (int g = 0; g < games; ++g) {
    gameBatches.push_back(Batches("L-" + std::to_string(g), static_cast<std::uint32_t>(g + 1)));
  }

  std::mutex lock;
  std::vector<double> latencies;
  std::atomic<long> failures{0};
  std::atomic<long> peakMemory{0};
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  std::vector<std::thread> players;
  for (int g = 0; g < games; ++g) {
    players.emplace_back([&, g] {
      const std::string gameNumber = "L-" + std::to_string(g);
      const std::vector<std::string>& batches = gameBatches[static_cast<std::size_t>(g)];
      const std::string url =
          base + "default.asp?game_number=" + gameNumber + "&do=multipleaction&SESSIONID={" + session + "}";
      TConnection connection;
      // Games start spread over one period of the sender, as they would in a league.
      std::this_thread::sleep_for(std::chrono::milliseconds(1500 * g / std::max(games, 1)));
      std::vector<double> mine;
      for (std::size_t b = 0; Clock::now() < end && b < batches.size(); ++b) {
        const auto start = Clock::now();
        if (connection.Post(url, batches[b]) != 200) ++failures;
        const auto finish = Clock::now();
        mine.push_back(std::chrono::duration<double, std::milli>(finish - start).count());
        std::this_thread::sleep_until(finish + std::chrono::milliseconds(1500));
      }
      const std::lock_guard guard(lock);
      latencies.insert(latencies.end(), mine.begin(), mine.end());
    });
  }
  while (Clock::now() < end) {
    peakMemory = std::max(peakMemory.load(), server.MemoryKiB());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  for (auto& player : players) player.join();
  if (!std::getenv("VELMORA_LOAD_KEEP")) std::filesystem::remove_all(folder);

  TRound round;
  round.Games = games;
  round.Requests = static_cast<long>(latencies.size());
  round.Failures = failures;
  round.MemoryKiB = peakMemory;
  std::sort(latencies.begin(), latencies.end());
  if (!latencies.empty()) {
    round.Median = latencies[latencies.size() / 2];
    round.P99 = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    round.Max = latencies.back();
  }
  return round;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  std::vector<int> counts = {100, 200, 300, 400};
  int seconds = 20;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--games") {
      counts.clear();
      for (const std::string& part : velmora::SplitTrimmed(argv[i + 1], ',')) counts.push_back(std::stoi(part));
    } else if (option == "--seconds") {
      seconds = std::stoi(argv[i + 1]);
    }
  }
  curl_global_init(CURL_GLOBAL_DEFAULT);
  std::printf("%6s %9s %9s %9s %9s %9s %9s\n", "games", "requests", "failed", "p50 ms", "p99 ms", "max ms", "RSS MiB");
  int held = 0;
  for (const int games : counts) {
    const velmora::TRound round = velmora::RunRound(games, seconds);
    std::printf("%6d %9ld %9ld %9.1f %9.1f %9.1f %9.1f\n", round.Games, round.Requests, round.Failures, round.Median,
                round.P99, round.Max, static_cast<double>(round.MemoryKiB) / 1024.0);
    std::fflush(stdout);
    if (round.P99 < 100 && round.Failures == 0) held = games;
  }
  std::printf("held with p99 below 100 ms: %d concurrent games\n", held);
  curl_global_cleanup();
  return 0;
}

// Load test of velmora-statserver on loopback. By default N games are played at once, each posting
// a multipleaction batch every 1.5 s as the live program does, and for each N it reports the
// latency of those posts, the batches answered per second and the servers' memory. The games go to
// a server of the program's own, to several processes on one database, or to servers already
// running. The other modes play spectators of one game, or a hostile crowd: slow clients,
// oversized posts, password guessing (see kUsage).

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <mutex>
#include <queue>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <pugixml.hpp>

#include "game_builder.h"
#include "platform/folders.h"
#include "protocol/form_encoding.h"
#include "protocol/soap.h"
#include "records/text_utils.h"
#include "server_store.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kUsage =
    "usage: statserver_load [MODE] [--seconds S] [WHERE]\n"
    "\n"
    "modes (one at a time; the first is the default):\n"
    "  --games 1000,2000,3000     play that many games at once, one round each, every game posting a batch\n"
    "                             1.5 s after the answer to its last; p50/p99/max of the batches, batches/s\n"
    "  --live N                   N spectators asking for the live document of one game being played, as\n"
    "                             fast as they are answered: first plainly (answered from the server's cache),\n"
    "                             then with the ETag they were given (answered 304 while the game stands)\n"
    "  --slow-clients N           N clients sending one header byte every 2 s, while one client pings\n"
    "                             every 50 ms, a spectator polls the live page and an operator sends batches\n"
    "  --big-posts N [--mib M]    N parallel posts of M MiB (default 31) without a session; the server's\n"
    "                             peak and remaining memory\n"
    "  --logins N                 N logins of a known and N of an unknown user (from different addresses),\n"
    "                             then 16 clients guessing one user's password for S seconds\n"
    "\n"
    "  --seconds S                length of each round (default 20; 5 for --logins)\n"
    "\n"
    "where (by default a server of its own on a new SQLite file):\n"
    "  --db LOCATION              the database: an SQLite file or postgresql://USER@HOST:PORT/DB; the\n"
    "                             load user and games are prepared in it (games of earlier runs removed)\n"
    "  --processes N              start N server processes on that database (default 1)\n"
    "  --server PROGRAM           the server program to start (default: velmora-statserver beside this one)\n"
    "  --servers URL,URL,...      spread the games over these servers, already serving --db, instead\n";

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
  void LeaveFrom(const std::string& address) { curl_easy_setopt(Curl_, CURLOPT_INTERFACE, address.c_str()); }
  // The status, or 0 when the request failed.
  long Post(const std::string& url, const std::string& body, curl_slist* headers = nullptr) {
    curl_easy_setopt(Curl_, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(Curl_, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(Curl_, CURLOPT_HTTPHEADER, headers);
    return Perform(url);
  }
  long Get(const std::string& url) {
    curl_easy_setopt(Curl_, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(Curl_, CURLOPT_HTTPHEADER, nullptr);
    return Perform(url);
  }
  const std::string& Body() const { return Body_; }

 private:
  long Perform(const std::string& url) {
    Body_.clear();
    curl_easy_setopt(Curl_, CURLOPT_URL, url.c_str());
    if (curl_easy_perform(Curl_) != CURLE_OK) return 0;
    long status = 0;
    curl_easy_getinfo(Curl_, CURLINFO_RESPONSE_CODE, &status);
    return status;
  }

  CURL* Curl_;
  std::string Body_;
};

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }
double SecondsOf(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

struct TPercentiles {
  std::size_t Count = 0;
  double Median = 0, P99 = 0, Max = 0;
};

TPercentiles PercentilesOf(std::vector<double> values) {
  TPercentiles result;
  result.Count = values.size();
  if (values.empty()) return result;
  std::sort(values.begin(), values.end());
  result.Median = values[values.size() / 2];
  result.P99 = values[std::min(values.size() - 1, values.size() * 99 / 100)];
  result.Max = values.back();
  return result;
}

struct TLoadOptions {
  std::vector<int> Games = {1000, 2000, 3000};
  int Seconds = 20;
  int Spectators = 0;
  int SlowClients = 0;
  int BigPosts = 0;
  int PostMiB = 31;
  int Logins = 0;
  std::string Database;  // empty: a new SQLite file for each round
  int Processes = 1;
  std::string Server;
  std::vector<std::string> Servers;
};

std::string GameNumber(int game) { return "L-" + std::to_string(game); }

// The processor time a process has used (user and system), in seconds.
double CpuSecondsOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t fields = text.rfind(')');
  if (fields == std::string::npos) return 0;
  std::istringstream rest(text.substr(fields + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i >= 14) ticks += std::stod(field);  // utime, stime
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The same, summed over every process of that name.
double CpuSecondsOfAll(const std::string& command) {
  double total = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream comm(entry.path() / "comm");
    std::string line;
    if (std::getline(comm, line) && line == command) total += CpuSecondsOf(std::stoi(name));
  }
  return total;
}

// The database with the user "load" (password "load"), `users` more users "load-0", "load-1", ...
// and `games` published games "L-0", "L-1", ...; served by processes of its own or by the servers
// given, each logged in as "load".
class TLoadSite {
 public:
  TLoadSite(const TLoadOptions& options, int games, int users = 0) {
    char pattern[] = "/tmp/velmora-load-XXXXXX";
    Folder_ = mkdtemp(pattern);
    const std::string database = options.Database.empty() ? (Folder_ / "server.db").string() : options.Database;
    try {
      Open(options, database, games, users);
    } catch (...) {
      Stop();
      throw;
    }
  }
  ~TLoadSite() { Stop(); }
  TLoadSite(const TLoadSite&) = delete;
  TLoadSite& operator=(const TLoadSite&) = delete;

  // The session value, empty for a refused login; none when the service did not answer a result.
  static std::optional<std::string> LoginAt(const std::string& base, const std::string& user,
                                            const std::string& password, const std::string& fromAddress = "") {
    TConnection connection;
    if (!fromAddress.empty()) connection.LeaveFrom(fromAddress);
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: text/xml; charset=utf-8");
    headers = curl_slist_append(headers, "SOAPAction: \"http://tempuri.org/ValidateUser\"");
    const long status =
        connection.Post(base + "dvadminws/dvadmin.asmx",
                        SoapRequestEnvelope("ValidateUser", {{"user", user}, {"pass", password}}), headers);
    curl_slist_free_all(headers);
    if (status != 200) return std::nullopt;
    auto result = ParseSoapResult(connection.Body(), "ValidateUser");
    if (!result) return std::nullopt;
    return result.Value();
  }
  std::optional<std::string> Login(const std::string& user, const std::string& password,
                                   const std::string& fromAddress = "") const {
    return LoginAt(Base(), user, password, fromAddress);
  }

  // The resident memory of the processes of its own.
  long MemoryKiB() const {
    long total = 0;
    for (const pid_t pid : Pids_) {
      std::ifstream status("/proc/" + std::to_string(pid) + "/status");
      std::string line;
      while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) total += std::stol(line.substr(6));
      }
    }
    return total;
  }
  // The processor time of the processes of its own, in seconds.
  double CpuSeconds() const {
    double total = 0;
    for (const pid_t pid : Pids_) total += CpuSecondsOf(pid);
    return total;
  }
  std::size_t Servers() const { return Bases_.size(); }
  const std::string& Base(std::size_t server = 0) const { return Bases_[server]; }
  const std::string& Session(std::size_t server = 0) const { return Sessions_[server]; }
  int Port() const { return std::stoi(Bases_.front().substr(Bases_.front().rfind(':') + 1)); }
  std::string BatchUrl(const std::string& gameNumber, std::size_t server = 0) const {
    return Base(server) + "default.asp?game_number=" + gameNumber + "&do=multipleaction&SESSIONID=" + Session(server);
  }

 private:
  void Open(const TLoadOptions& options, const std::string& database, int games, int users) {
    Prepare(database, games, users);
    if (options.Servers.empty()) {
      Start(options, database);
    } else {
      Bases_ = options.Servers;
      for (std::string& base : Bases_) {
        if (!base.ends_with("/")) base += "/";
      }
    }
    for (const std::string& base : Bases_) {
      std::string session;
      for (int attempt = 0; attempt < 100 && session.empty(); ++attempt) {
        if (auto value = LoginAt(base, "load", "load")) session = "{" + *value + "}";
        if (session.empty()) std::this_thread::sleep_for(100ms);
      }
      if (session.empty()) throw std::runtime_error("the server at " + base + " does not answer");
      Sessions_.push_back(session);
    }
  }

  static void Prepare(const std::string& database, int games, int users) {
    auto opened = statserver::TServerStore::Open(database, ProgramFolder() / "dravon.db");
    if (!opened) throw std::runtime_error(opened.Error());
    statserver::TServerStore& store = *opened.Value();
    if (!store.AddUser("load", "load")) throw std::runtime_error("cannot add the user");
    for (int u = 0; u < users; ++u) {
      if (!store.AddUser("load-" + std::to_string(u), "load")) throw std::runtime_error("cannot add a user");
    }
    // From several threads, so that the store may commit them together.
    std::vector<std::string> earlier;
    for (const auto& game : store.GamesOf(std::nullopt)) {
      if (game.GameNumber.starts_with("L-")) earlier.push_back(game.GameNumber);
    }
    std::atomic<int> next = 0;
    std::atomic<bool> failed = false;
    std::vector<std::thread> writers;
    for (int t = 0; t < 8; ++t) {
      writers.emplace_back([&] {
        for (int i = next++; i < static_cast<int>(earlier.size()); i = next++) {
          if (!store.Unpublish(earlier[static_cast<std::size_t>(i)])) failed = true;
        }
      });
    }
    for (auto& writer : writers) writer.join();
    writers.clear();
    next = 0;
    for (int t = 0; t < 8; ++t) {
      writers.emplace_back([&] {
        for (int g = next++; g < games; g = next++) {
          const TMatchInfo matchInfo = testing::MakeMatchInfo(12, GameNumber(g));
          const std::string xml = "<MATCHINFO GameNumber=\"" + GameNumber(g) + "\"/>";
          if (!store.Publish(matchInfo, xml, nullptr, "load")) failed = true;
        }
      });
    }
    for (auto& writer : writers) writer.join();
    if (failed) throw std::runtime_error("cannot prepare the games");
  }

  // Each process picks a free port itself and names it in its log: ports chosen here could be
  // taken meanwhile, by the load's own connections among others.
  void Start(const TLoadOptions& options, const std::string& database) {
    const std::string program =
        options.Server.empty() ? (ProgramFolder() / "velmora-statserver").string() : options.Server;
    std::vector<std::filesystem::path> logs;
    for (int p = 0; p < std::max(1, options.Processes); ++p) {
      logs.push_back(Folder_ / ("server-" + std::to_string(p) + ".log"));
      const pid_t pid = fork();
      if (pid == 0) {
        if (!freopen(logs.back().c_str(), "w", stderr)) _exit(126);
        execl(program.c_str(), "velmora-statserver", "--db", database.c_str(), "serve", "--listen", "127.0.0.1:0",
              static_cast<char*>(nullptr));
        _exit(127);
      }
      Pids_.push_back(pid);
    }
    const std::string listening = "listening on ";
    for (std::size_t p = 0; p < logs.size(); ++p) {
      std::string text;
      std::size_t at = std::string::npos;
      bool ended = false;
      for (int wait = 0; wait < 200 && at == std::string::npos && !ended; ++wait) {
        std::this_thread::sleep_for(50ms);
        ended = waitpid(Pids_[p], nullptr, WNOHANG) == Pids_[p];
        std::ifstream file(logs[p]);
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        at = text.find(listening);
      }
      if (ended) Pids_.erase(Pids_.begin() + static_cast<std::ptrdiff_t>(p));  // gone: nothing to stop
      if (at == std::string::npos || ended) throw std::runtime_error("the server did not start: " + text);
      const std::size_t begin = at + listening.size();
      Bases_.push_back(text.substr(begin, text.find(' ', begin) - begin));
    }
  }

  void Stop() {
    for (const pid_t pid : Pids_) kill(pid, SIGTERM);
    for (const pid_t pid : Pids_) waitpid(pid, nullptr, 0);
    Pids_.clear();
    if (!std::getenv("VELMORA_LOAD_KEEP")) std::filesystem::remove_all(Folder_);
  }

  std::filesystem::path Folder_;
  std::vector<pid_t> Pids_;
  std::vector<std::string> Bases_;
  std::vector<std::string> Sessions_;
};

// A plain socket to the server, for clients that do not speak HTTP as they should.
int Connect(int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(socket);
    return -1;
  }
  return socket;
}

// The batches one game posts (at most `most`): its actions a few at a time, with the clock marks
// between them.
std::vector<std::string> Batches(const std::string& gameNumber, std::uint32_t seed,
                                 std::size_t most = std::numeric_limits<std::size_t>::max()) {
  TMatchInfo matchInfo = testing::MakeMatchInfo(12, gameNumber);
  const TActionList actions = testing::SimulateGame(matchInfo, 450, seed);
  std::vector<std::string> batches;
  for (std::size_t first = 0; first < actions.size() && batches.size() < most; first += 3) {
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("ACTIONS");
    for (std::size_t i = first; i < std::min(first + 3, actions.size()); ++i) actions[i]->ToXml(root, gameNumber);
    std::ostringstream text;
    root.print(text, "", pugi::format_raw);
    batches.push_back(FormBody({{"action", text.str()}, {"do", "multipleaction"}}));
  }
  return batches;
}

// ---- many requests from one thread

// One client of a request loop: what it asks, and what it was answered.
struct TLoopClient {
  CURL* Curl = nullptr;
  std::string Url;
  std::vector<std::string>* Bodies = nullptr;  // posts one after the other; none: gets
  std::size_t Next = 0;
  std::string ETag;  // asked with If-None-Match when not empty
  bool Revalidates = false;
  curl_slist* Headers = nullptr;
  std::string Answer;
  Clock::time_point Started;
};

struct TLoopOutcome {
  std::vector<double> Latencies;
  long Failures = 0;
  long NotModified = 0;
};

std::size_t KeepETag(char* data, std::size_t size, std::size_t count, void* target) {
  const std::string line(data, size * count);
  auto& client = *static_cast<TLoopClient*>(target);
  if (line.size() > 6 && strncasecmp(line.c_str(), "ETag: ", 6) == 0) {
    client.ETag = line.substr(6, line.find_last_not_of("\r\n") - 5);
  }
  return size * count;
}

// Runs the clients on libcurl's multi interface until `end`: each asks again `pause` after its
// answer (a post client until its posts run out).
TLoopOutcome RunLoop(std::vector<TLoopClient>& clients, Clock::time_point end, Clock::duration pause,
                     Clock::duration spread) {
  CURLM* multi = curl_multi_init();
  // Every client keeps its connection between requests, as a program sending every 1.5 s does.
  curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, static_cast<long>(clients.size()));
  using TDue = std::pair<Clock::time_point, std::size_t>;
  std::priority_queue<TDue, std::vector<TDue>, std::greater<>> due;
  const auto start = Clock::now();
  for (std::size_t i = 0; i < clients.size(); ++i) {
    TLoopClient& client = clients[i];
    client.Curl = curl_easy_init();
    curl_easy_setopt(client.Curl, CURLOPT_URL, client.Url.c_str());
    curl_easy_setopt(client.Curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(client.Curl, CURLOPT_WRITEDATA, &client.Answer);
    curl_easy_setopt(client.Curl, CURLOPT_HEADERFUNCTION, KeepETag);
    curl_easy_setopt(client.Curl, CURLOPT_HEADERDATA, &client);
    curl_easy_setopt(client.Curl, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(client.Curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(client.Curl, CURLOPT_PRIVATE, &client);
    // Clients start spread, as games start over one period of the sender in a league.
    due.emplace(start + spread * static_cast<long>(i) / static_cast<long>(std::max<std::size_t>(clients.size(), 1)), i);
  }
  TLoopOutcome outcome;
  int running = 0;
  while (!due.empty() || running > 0) {
    const auto now = Clock::now();
    while (!due.empty() && due.top().first <= now) {
      TLoopClient& client = clients[due.top().second];
      due.pop();
      if (now >= end || (client.Bodies && client.Next >= client.Bodies->size())) continue;
      client.Answer.clear();
      if (client.Bodies) {
        const std::string& body = (*client.Bodies)[client.Next];
        curl_easy_setopt(client.Curl, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(client.Curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
      } else if (client.Revalidates && !client.ETag.empty()) {
        curl_slist_free_all(client.Headers);
        client.Headers = curl_slist_append(nullptr, ("If-None-Match: " + client.ETag).c_str());
        curl_easy_setopt(client.Curl, CURLOPT_HTTPHEADER, client.Headers);
      }
      client.Started = now;
      curl_multi_add_handle(multi, client.Curl);
      ++running;
    }
    curl_multi_perform(multi, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      TLoopClient* client = nullptr;
      curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &client);
      long status = 0;
      curl_easy_getinfo(message->easy_handle, CURLINFO_RESPONSE_CODE, &status);
      const auto finish = Clock::now();
      outcome.Latencies.push_back(Milliseconds(finish - client->Started));
      if (message->data.result != CURLE_OK || (status != 200 && status != 304)) ++outcome.Failures;
      if (status == 304) ++outcome.NotModified;
      curl_multi_remove_handle(multi, message->easy_handle);
      ++client->Next;
      due.emplace(finish + pause, static_cast<std::size_t>(client - clients.data()));
    }
    const auto wait =
        due.empty() ? 100ms : std::chrono::ceil<std::chrono::milliseconds>(due.top().first - Clock::now());
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(std::clamp<long>(wait.count(), 0, 100)), nullptr);
  }
  for (TLoopClient& client : clients) {
    curl_easy_cleanup(client.Curl);
    curl_slist_free_all(client.Headers);
  }
  curl_multi_cleanup(multi);
  return outcome;
}

// Runs the clients split over two request loops, and gathers what they were answered.
TLoopOutcome RunLoops(std::vector<TLoopClient>& clients, Clock::time_point end, Clock::duration pause,
                      Clock::duration spread) {
  std::vector<TLoopClient> halves[2];
  for (std::size_t i = 0; i < clients.size(); ++i) halves[i % 2].push_back(clients[i]);
  TLoopOutcome outcomes[2];
  std::thread second([&] { outcomes[1] = RunLoop(halves[1], end, pause, spread); });
  outcomes[0] = RunLoop(halves[0], end, pause, spread);
  second.join();
  TLoopOutcome all = std::move(outcomes[0]);
  all.Latencies.insert(all.Latencies.end(), outcomes[1].Latencies.begin(), outcomes[1].Latencies.end());
  all.Failures += outcomes[1].Failures;
  all.NotModified += outcomes[1].NotModified;
  return all;
}

// ---- games played at once

struct TRound {
  int Games = 0;
  TPercentiles Latency;
  double PerSecond = 0;
  long Failures = 0;
  long MemoryKiB = 0;
  // Processor time a batch cost the servers of its own, every process called "postgres", and this
  // program's clients.
  double ServerMilliseconds = 0;
  double DatabaseMilliseconds = 0;
  double ClientMilliseconds = 0;
};

double OwnCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

TRound RunRound(const TLoadOptions& options, int games) {
  TLoadSite site(options, games);
  // The games' requests are made before the clock starts, so that making them does not slow the server.
  std::vector<std::vector<std::string>> gameBatches;
  std::vector<TLoopClient> clients;
  // A game posts at most one batch every 1.5 s.
  const auto perGame = static_cast<std::size_t>(options.Seconds * 2 / 3 + 2);
  for (int g = 0; g < games; ++g) {
    gameBatches.push_back(Batches(GameNumber(g), static_cast<std::uint32_t>(g + 1), perGame));
  }
  for (int g = 0; g < games; ++g) {
    TLoopClient client;
    client.Url = site.BatchUrl(GameNumber(g), static_cast<std::size_t>(g) % site.Servers());
    client.Bodies = &gameBatches[static_cast<std::size_t>(g)];
    clients.push_back(std::move(client));
  }
  long peakMemory = 0;
  std::atomic<bool> playing = true;
  std::thread sampler([&] {
    while (playing) {
      peakMemory = std::max(peakMemory, site.MemoryKiB());
      std::this_thread::sleep_for(500ms);
    }
  });
  const double serverBefore = site.CpuSeconds();
  const double databaseBefore = CpuSecondsOfAll("postgres");
  const double clientBefore = OwnCpuSeconds();
  const auto start = Clock::now();
  const TLoopOutcome outcome = RunLoops(clients, start + std::chrono::seconds(options.Seconds), 1500ms, 1500ms);
  const double seconds = SecondsOf(Clock::now() - start);
  playing = false;
  sampler.join();
  const double batches = static_cast<double>(std::max<std::size_t>(outcome.Latencies.size(), 1));
  return TRound{games,
                PercentilesOf(outcome.Latencies),
                static_cast<double>(outcome.Latencies.size()) / seconds,
                outcome.Failures,
                peakMemory,
                (site.CpuSeconds() - serverBefore) * 1000 / batches,
                (CpuSecondsOfAll("postgres") - databaseBefore) * 1000 / batches,
                (OwnCpuSeconds() - clientBefore) * 1000 / batches};
}

int PlayGames(const TLoadOptions& options) {
  std::printf("%6s %9s %7s %8s %8s %8s %10s %8s %21s\n", "games", "batches", "failed", "p50 ms", "p99 ms", "max ms",
              "batches/s", "RSS MiB", "CPU ms/batch srv/db/cl");
  int held = 0;
  for (const int games : options.Games) {
    const TRound round = RunRound(options, games);
    std::printf("%6d %9zu %7ld %8.1f %8.1f %8.1f %10.0f %8.1f %9.2f/%.2f/%.2f\n", round.Games, round.Latency.Count,
                round.Failures, round.Latency.Median, round.Latency.P99, round.Latency.Max, round.PerSecond,
                static_cast<double>(round.MemoryKiB) / 1024.0, round.ServerMilliseconds, round.DatabaseMilliseconds,
                round.ClientMilliseconds);
    std::fflush(stdout);
    if (round.Latency.P99 < 100 && round.Failures == 0) held = games;
  }
  std::printf("held with p99 below 100 ms: %d concurrent games\n", held);
  return 0;
}

// ---- spectators of one game

int Spectators(const TLoadOptions& options) {
  TLoadSite site(options, 1);
  // The game is well under way, and goes on while the spectators watch.
  std::vector<std::string> game = Batches(GameNumber(0), 1);
  TConnection operatorConnection;
  const std::size_t played = game.size() / 2;
  for (std::size_t b = 0; b < played; ++b) {
    if (operatorConnection.Post(site.BatchUrl(GameNumber(0)), game[b]) != 200) {
      throw std::runtime_error("the game's first half was refused");
    }
  }
  std::printf("%d spectators of one game (%zu batches sent, one more every 1.5 s), %d s each\n", options.Spectators,
              played, options.Seconds);
  std::printf("%-28s %9s %9s %9s %9s %9s %9s\n", "", "answers", "failed", "304", "p50 ms", "p99 ms", "answers/s");
  std::size_t next = played;
  for (const bool revalidate : {false, true}) {
    std::vector<TLoopClient> clients;
    for (int s = 0; s < options.Spectators; ++s) {
      TLoopClient client;
      client.Url = site.Base(static_cast<std::size_t>(s) % site.Servers()) + "live/" + GameNumber(0) + "?format=json";
      client.Revalidates = revalidate;
      clients.push_back(std::move(client));
    }
    std::atomic<bool> watching = true;
    std::thread operatorThread([&] {
      TConnection connection;
      while (watching && next < game.size()) {
        connection.Post(site.BatchUrl(GameNumber(0)), game[next++]);
        for (int i = 0; i < 15 && watching; ++i) std::this_thread::sleep_for(100ms);
      }
    });
    const auto start = Clock::now();
    const TLoopOutcome outcome = RunLoops(clients, start + std::chrono::seconds(options.Seconds), 0ms, 0ms);
    const double seconds = SecondsOf(Clock::now() - start);
    watching = false;
    operatorThread.join();
    const TPercentiles p = PercentilesOf(outcome.Latencies);
    std::printf("%-28s %9zu %9ld %9ld %9.2f %9.2f %9.0f\n", revalidate ? "with If-None-Match" : "plain", p.Count,
                outcome.Failures, outcome.NotModified, p.Median, p.P99, static_cast<double>(p.Count) / seconds);
  }
  return 0;
}

// ---- slow clients

// Connections that send their request's head one byte every two seconds, and come back whenever
// the server ends one.
class TSlowCrowd {
 public:
  TSlowCrowd(int port, int clients) : Port_(port) {
    for (int i = 0; i < clients; ++i) Sockets_.push_back(Open());
  }
  ~TSlowCrowd() {
    for (const int socket : Sockets_) ::close(socket);
  }
  void Trickle(const std::atomic<bool>& going) {
    while (going) {
      for (int& socket : Sockets_) {
        pollfd entry{socket, POLLIN, 0};
        const bool ended = socket < 0 || ::poll(&entry, 1, 0) > 0 || ::send(socket, "X", 1, MSG_NOSIGNAL) != 1;
        if (ended) {
          ::close(socket);
          socket = Open();
          ++Reconnections;
        }
      }
      for (int i = 0; i < 20 && going; ++i) std::this_thread::sleep_for(100ms);
    }
  }
  std::atomic<long> Reconnections{0};

 private:
  int Open() {
    const int socket = Connect(Port_);
    if (socket >= 0) ::send(socket, "GET /default.asp?do=ping HTTP/1.1\r\n", 35, MSG_NOSIGNAL);
    return socket;
  }
  int Port_;
  std::vector<int> Sockets_;
};

int SlowClients(const TLoadOptions& options) {
  TLoadSite server(options, 1);
  TSlowCrowd crowd(server.Port(), options.SlowClients);
  std::atomic<bool> going = true;
  std::thread trickle([&] { crowd.Trickle(going); });
  std::this_thread::sleep_for(2s);  // every slow client has begun

  const auto end = Clock::now() + std::chrono::seconds(options.Seconds);
  std::vector<double> pings, batches;
  std::atomic<long> pingFailures = 0, pageFailures = 0, pages = 0, batchFailures = 0;
  std::thread pinger([&] {
    while (Clock::now() < end) {
      TConnection connection;
      const auto start = Clock::now();
      if (connection.Get(server.Base() + "default.asp?do=ping") != 200 || connection.Body() != "pong") ++pingFailures;
      pings.push_back(Milliseconds(Clock::now() - start));
      std::this_thread::sleep_for(50ms);
    }
  });
  std::thread spectator([&] {
    while (Clock::now() < end) {
      TConnection connection;
      ++pages;
      if (connection.Get(server.Base() + "live/L-0?format=json") != 200) ++pageFailures;
      std::this_thread::sleep_for(1s);
    }
  });
  std::thread operatorClient([&] {
    const std::vector<std::string> game = Batches("L-0", 1);
    for (std::size_t b = 0; Clock::now() < end && b < game.size(); ++b) {
      TConnection connection;
      const auto start = Clock::now();
      if (connection.Post(server.BatchUrl("L-0"), game[b]) != 200) ++batchFailures;
      batches.push_back(Milliseconds(Clock::now() - start));
      std::this_thread::sleep_for(1500ms);
    }
  });
  pinger.join();
  spectator.join();
  operatorClient.join();
  going = false;
  trickle.join();

  const TPercentiles ping = PercentilesOf(pings);
  const TPercentiles batch = PercentilesOf(batches);
  std::printf("%d slow clients for %d s (%ld times ended by the server and opened again)\n", options.SlowClients,
              options.Seconds, crowd.Reconnections.load());
  std::printf("pings:   %zu, %ld failed, p50 %.1f ms, p99 %.1f ms, max %.1f ms\n", ping.Count, pingFailures.load(),
              ping.Median, ping.P99, ping.Max);
  std::printf("live page: %ld, %ld failed\n", pages.load(), pageFailures.load());
  std::printf("batches: %zu, %ld failed, p50 %.1f ms, p99 %.1f ms, max %.1f ms\n", batch.Count, batchFailures.load(),
              batch.Median, batch.P99, batch.Max);
  return 0;
}

// ---- oversized posts

int BigPosts(const TLoadOptions& options) {
  TLoadSite server(options, 1);
  const std::size_t length = static_cast<std::size_t>(options.PostMiB) * 1024 * 1024;
  // To the request that may have the largest body: refused for the missing session alone.
  const std::string head =
      "POST /default.asp?do=send_action_list&game_number=L-0&append=0 HTTP/1.1\r\nHost: load\r\n"
      "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
      std::to_string(length) + "\r\n\r\n";
  const std::string chunk(64 * 1024, 'a');
  const long before = server.MemoryKiB();
  std::atomic<bool> posting = true;
  long peak = before;
  std::thread sampler([&] {
    while (posting) {
      peak = std::max(peak, server.MemoryKiB());
      std::this_thread::sleep_for(20ms);
    }
  });
  std::mutex lock;
  std::map<std::string, int> answers;
  const auto start = Clock::now();
  std::vector<std::thread> posters;
  for (int i = 0; i < options.BigPosts; ++i) {
    posters.emplace_back([&] {
      const int socket = Connect(server.Port());
      std::string status = "no connection";
      if (socket >= 0) {
        // The whole body as fast as the server takes it, as a hostile client sends it.
        std::size_t sent = ::send(socket, head.data(), head.size(), MSG_NOSIGNAL) > 0 ? 0 : length;
        while (sent < length) {
          const ssize_t n = ::send(socket, chunk.data(), std::min(chunk.size(), length - sent), MSG_NOSIGNAL);
          if (n <= 0) break;
          sent += static_cast<std::size_t>(n);
        }
        char answer[256] = {};
        pollfd entry{socket, POLLIN, 0};
        const ssize_t n = ::poll(&entry, 1, 30000) > 0 ? ::recv(socket, answer, sizeof answer - 1, 0) : 0;
        status = n > 0 ? std::string(answer, static_cast<std::size_t>(n)) : std::string("no answer");
        status = status.substr(0, status.find("\r\n"));
        ::close(socket);
      }
      const std::lock_guard guard(lock);
      ++answers[status];
    });
  }
  for (auto& poster : posters) poster.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::this_thread::sleep_for(1s);
  posting = false;
  sampler.join();
  std::printf("%d posts of %d MiB without a session, done in %.1f s\n", options.BigPosts, options.PostMiB, seconds);
  for (const auto& [status, count] : answers) std::printf("  %4d x %s\n", count, status.c_str());
  std::printf("server memory: %.1f MiB before, %.1f MiB at the peak, %.1f MiB a second after\n", before / 1024.0,
              peak / 1024.0, server.MemoryKiB() / 1024.0);
  return 0;
}

// ---- logins

int Logins(const TLoadOptions& options) {
  TLoadSite server(options, 0, options.Logins);
  std::vector<double> right, wrong, unknown;
  std::mt19937 random(7);
  const auto time = [&](std::vector<double>& into, const std::string& user, const std::string& password,
                        const std::string& address) {
    const auto start = Clock::now();
    if (!server.Login(user, password, address)) throw std::runtime_error("a login got no answer");
    into.push_back(Milliseconds(Clock::now() - start));
  };
  for (int i = 0; i < options.Logins; ++i) {
    // Each from an address of its own, which the server has not seen failing.
    const std::string address = "127.0.0." + std::to_string(2 + i % 250);
    time(right, "load", "load", address);
    time(wrong, "load-" + std::to_string(i), "wrong", address);
    time(unknown, "nobody-" + std::to_string(random()), "wrong", address);
  }
  for (const auto& [name, values] :
       {std::pair{"known user, right password", &right}, std::pair{"known user, wrong password", &wrong},
        std::pair{"unknown user", &unknown}}) {
    const TPercentiles p = PercentilesOf(*values);
    std::printf("ValidateUser, %-27s %zu logins, p50 %.1f ms, p99 %.1f ms\n", name, p.Count, p.Median, p.P99);
  }

  std::atomic<long> checked = 0, slowedDown = 0;
  const auto end = Clock::now() + std::chrono::seconds(options.Seconds);
  std::vector<std::thread> guessers;
  for (int g = 0; g < 16; ++g) {
    guessers.emplace_back([&, g] {
      for (int i = 0; Clock::now() < end; ++i) {
        const auto answer = server.Login("load", "guess-" + std::to_string(g) + "-" + std::to_string(i));
        ++(answer ? checked : slowedDown);
      }
    });
  }
  for (auto& guesser : guessers) guesser.join();
  std::printf("16 clients guessing for %d s: %ld wrong passwords checked, %ld attempts told to wait\n", options.Seconds,
              checked.load(), slowedDown.load());
  return 0;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  velmora::TLoadOptions options;
  bool secondsGiven = false;
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      std::cout << velmora::kUsage;
      return 0;
    }
    if (i + 1 >= args.size()) {
      std::cerr << "statserver_load: " << option << " needs a value\n" << velmora::kUsage;
      return 2;
    }
    const std::string& value = args[++i];
    try {
      if (option == "--games") {
        options.Games.clear();
        for (const std::string& part : velmora::SplitTrimmed(value, ',')) options.Games.push_back(std::stoi(part));
      } else if (option == "--seconds") {
        options.Seconds = std::stoi(value);
        secondsGiven = true;
      } else if (option == "--live") {
        options.Spectators = std::stoi(value);
      } else if (option == "--slow-clients") {
        options.SlowClients = std::stoi(value);
      } else if (option == "--big-posts") {
        options.BigPosts = std::stoi(value);
      } else if (option == "--mib") {
        options.PostMiB = std::stoi(value);
      } else if (option == "--logins") {
        options.Logins = std::stoi(value);
      } else if (option == "--db") {
        options.Database = value;
      } else if (option == "--processes") {
        options.Processes = std::stoi(value);
      } else if (option == "--server") {
        options.Server = value;
      } else if (option == "--servers") {
        options.Servers = velmora::SplitTrimmed(value, ',');
      } else {
        std::cerr << "statserver_load: unknown option " << option << "\n" << velmora::kUsage;
        return 2;
      }
    } catch (const std::logic_error&) {
      std::cerr << "statserver_load: " << option << " takes a number\n" << velmora::kUsage;
      return 2;
    }
  }
  if (!options.Servers.empty() && options.Database.empty()) {
    std::cerr << "statserver_load: --servers needs the --db they serve\n" << velmora::kUsage;
    return 2;
  }
  if (options.Logins > 0 && !secondsGiven) options.Seconds = 5;
  curl_global_init(CURL_GLOBAL_DEFAULT);
  int status = 0;
  try {
    if (options.Spectators > 0) {
      status = velmora::Spectators(options);
    } else if (options.SlowClients > 0) {
      status = velmora::SlowClients(options);
    } else if (options.BigPosts > 0) {
      status = velmora::BigPosts(options);
    } else if (options.Logins > 0) {
      status = velmora::Logins(options);
    } else {
      status = velmora::PlayGames(options);
    }
  } catch (const std::exception& failure) {
    std::cerr << "statserver_load: " << failure.what() << '\n';
    status = 1;
  }
  curl_global_cleanup();
  return status;
}

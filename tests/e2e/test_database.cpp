#include "test_database.h"

#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>

#include "pg_connection.h"
#include "temp_folder.h"

namespace velmora::testing {

namespace {

std::filesystem::path ServerBinaries() {
  std::string folder;
  if (FILE* pipe = popen("pg_config --bindir 2>/dev/null", "r")) {
    char line[512] = {};
    if (fgets(line, sizeof line, pipe)) folder = line;
    pclose(pipe);
  }
  while (!folder.empty() && (folder.back() == '\n' || folder.back() == ' ')) folder.pop_back();
  if (!folder.empty() && std::filesystem::exists(std::filesystem::path(folder) / "initdb")) return folder;
  std::error_code error;
  std::filesystem::path found;
  for (const auto& version : std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
    if (std::filesystem::exists(version.path() / "bin" / "initdb") && version.path() > found.parent_path()) {
      found = version.path() / "bin";
    }
  }
  if (found.empty()) {
    throw std::runtime_error("PostgreSQL's server programs (initdb, postgres, pg_ctl) are missing; scripts/deps.sh "
                             "installs them");
  }
  return found;
}

int FreePort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(probe);
    throw std::runtime_error("no free loopback port");
  }
  ::close(probe);
  return ntohs(address.sin_port);
}

// In a child: takes the owner's identity (when run as root) and sends its output to the log.
void BecomeOwner(uid_t owner, gid_t group, const std::filesystem::path& log) {
  if (::geteuid() == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(owner) != 0) _exit(125);
  }
  const int file = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  if (file >= 0) {
    ::dup2(file, 1);
    ::dup2(file, 2);
    ::close(file);
  }
}

[[noreturn]] void Exec(const std::filesystem::path& program, const std::vector<std::string>& args) {
  std::vector<std::string> line = {program.string()};
  line.insert(line.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : line) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  _exit(127);
}

std::string DatabaseOf(std::string_view uri) { return std::string(uri.substr(uri.rfind('/') + 1)); }

}  // namespace

bool TestsUsePostgres() {
  const char* engine = std::getenv("VELMORA_TEST_ENGINE");
  return engine && std::string_view(engine) == "postgresql";
}

TPostgresCluster::TPostgresCluster() : Binaries_(ServerBinaries()) {
  Owner_ = ::geteuid();
  Group_ = ::getegid();
  if (Owner_ == 0) {
    const passwd* user = ::getpwnam("postgres");
    if (!user) user = ::getpwnam("nobody");
    if (!user) throw std::runtime_error("no unprivileged user to run PostgreSQL as");
    Owner_ = user->pw_uid;
    Group_ = user->pw_gid;
  }
  char pattern[] = "/tmp/velmora-pg-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("cannot make the cluster's folder");
  Folder_ = pattern;
  if (::chown(Folder_.c_str(), Owner_, Group_) != 0) throw std::runtime_error("cannot give the cluster its folder");
  // No flushes: the tests kill server processes, never the machine.
  if (RunAsOwner("initdb", {"-D", (Folder_ / "data").string(), "-U", "velmora", "-A", "trust", "-E", "UTF8",
                            "--locale=C", "--no-sync"}) != 0) {
    throw std::runtime_error("initdb failed: " + ReadFile(Folder_ / "log"));
  }
  const pid_t parent = ::getpid();
  for (int attempt = 0; attempt < 3 && Server_ < 0; ++attempt) {
    Port_ = FreePort();
    const pid_t server = ::fork();
    if (server == 0) {
      BecomeOwner(Owner_, Group_, Folder_ / "log");
      // The cluster goes when the tests go, however they end.
      ::prctl(PR_SET_PDEATHSIG, SIGINT);
      if (::getppid() != parent) _exit(0);
      Exec(Binaries_ / "postgres", {"-D", (Folder_ / "data").string(), "-p", std::to_string(Port_), "-c",
                                    "listen_addresses=127.0.0.1", "-c", "unix_socket_directories=", "-c", "fsync=off",
                                    "-c", "full_page_writes=off", "-c", "max_connections=200"});
    }
    for (int wait = 0; wait < 300; ++wait) {
      if (::waitpid(server, nullptr, WNOHANG) == server) break;  // the port was taken meanwhile
      try {
        statserver::TPgConnection probe(Uri("postgres"));
        Server_ = server;
        break;
      } catch (const statserver::ESqlError&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    }
  }
  if (Server_ < 0) throw std::runtime_error("PostgreSQL did not start: " + ReadFile(Folder_ / "log"));
}

TPostgresCluster::~TPostgresCluster() {
  if (Server_ > 0) {
    if (RunAsOwner("pg_ctl", {"-D", (Folder_ / "data").string(), "-m", "fast", "-w", "stop"}) != 0) {
      ::kill(Server_, SIGQUIT);
    }
    ::waitpid(Server_, nullptr, 0);
  }
  std::error_code error;
  std::filesystem::remove_all(Folder_, error);
}

TPostgresCluster& TPostgresCluster::Shared() {
  static std::unique_ptr<TPostgresCluster> cluster;
  static std::string failure;
  if (!cluster && failure.empty()) {
    try {
      cluster = std::make_unique<TPostgresCluster>();
    } catch (const std::exception& error) {
      failure = error.what();
    }
  }
  if (!cluster) throw std::runtime_error(failure);
  return *cluster;
}

int TPostgresCluster::RunAsOwner(const std::string& program, const std::vector<std::string>& args) const {
  const pid_t child = ::fork();
  if (child == 0) {
    BecomeOwner(Owner_, Group_, Folder_ / "log");
    Exec(Binaries_ / program, args);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TPostgresCluster::Uri(std::string_view database) const {
  return "postgresql://velmora@127.0.0.1:" + std::to_string(Port_) + "/" + std::string(database);
}

std::string TPostgresCluster::CreateDatabase() {
  const std::string name = "velmora_" + std::to_string(::getpid()) + "_" + std::to_string(++Databases_);
  statserver::TPgConnection admin(Uri("postgres"));
  admin.Execute("CREATE DATABASE " + name);
  return Uri(name);
}

void TPostgresCluster::DropDatabase(std::string_view uri) {
  statserver::TPgConnection admin(Uri("postgres"));
  admin.Execute("DROP DATABASE IF EXISTS " + DatabaseOf(uri) + " WITH (FORCE)");
}

TTestDatabase::TTestDatabase(const std::filesystem::path& folder, std::string_view file)
    : Postgres_(TestsUsePostgres()) {
  Location_ = Postgres_ ? TPostgresCluster::Shared().CreateDatabase() : (folder / file).string();
}

TTestDatabase::~TTestDatabase() {
  if (!Postgres_) return;
  try {
    TPostgresCluster::Shared().DropDatabase(Location_);
  } catch (const std::exception&) {
    // The cluster goes with its folder at the end anyway.
  }
}

}  // namespace velmora::testing

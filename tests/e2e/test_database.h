#pragma once
// Where the server's tests keep their data: an SQLite file in the test's folder or, when the
// environment variable VELMORA_TEST_ENGINE is "postgresql", a new database on a PostgreSQL cluster
// that the tests start for themselves in a temporary folder, on a free loopback port, and remove
// at the end. A cluster the machine may run is never touched.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace velmora::testing {

bool TestsUsePostgres();

class TPostgresCluster {
 public:
  // Initialises and starts a cluster. Run as root (as CI does), the cluster belongs to the system
  // user "postgres", or "nobody" when there is none: PostgreSQL refuses to run as root.
  TPostgresCluster();
  // Stops the cluster and removes its folder.
  ~TPostgresCluster();
  TPostgresCluster(const TPostgresCluster&) = delete;
  TPostgresCluster& operator=(const TPostgresCluster&) = delete;

  // The cluster of this test process, started on first use and stopped when the process ends.
  static TPostgresCluster& Shared();

  std::string Uri(std::string_view database) const;
  // A new, empty database; its URI.
  std::string CreateDatabase();
  void DropDatabase(std::string_view uri);

 private:
  // Runs a program of the cluster's binaries as the cluster's user; its exit status.
  int RunAsOwner(const std::string& program, const std::vector<std::string>& args) const;

  std::filesystem::path Folder_;
  std::filesystem::path Binaries_;
  uid_t Owner_ = 0;
  gid_t Group_ = 0;
  int Port_ = 0;
  pid_t Server_ = -1;
  int Databases_ = 0;
};

// The database of one test: a file in `folder`, or a new PostgreSQL database dropped afterwards.
class TTestDatabase {
 public:
  explicit TTestDatabase(const std::filesystem::path& folder, std::string_view file = "server.db");
  ~TTestDatabase();
  TTestDatabase(const TTestDatabase&) = delete;
  TTestDatabase& operator=(const TTestDatabase&) = delete;

  // What the store and the executable's --db take.
  const std::string& Location() const { return Location_; }
  bool Postgres() const { return Postgres_; }

 private:
  std::string Location_;
  bool Postgres_;
};

}  // namespace velmora::testing

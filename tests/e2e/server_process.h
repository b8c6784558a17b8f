#pragma once
// The server executable run as an administrator runs it, its output going to files: a command to
// its end, or `serve` on a free loopback port until it is terminated or killed.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {

// Starts velmora-statserver with the arguments; standard output and error go to the files.
pid_t SpawnServerProgram(const std::vector<std::string>& args, const std::filesystem::path& out,
                         const std::filesystem::path& err);

class TServerProcess {
 public:
  // `serve` of the database, with the options given; its log is "<name>.log" in the folder.
  // Raises when it does not listen within five seconds.
  TServerProcess(const std::string& database, const std::filesystem::path& folder, const std::string& name,
                 const std::vector<std::string>& options = {});
  ~TServerProcess();
  TServerProcess(const TServerProcess&) = delete;
  TServerProcess& operator=(const TServerProcess&) = delete;

  // "http://127.0.0.1:PORT/" followed by the path.
  std::string Url(const std::string& path = "") const { return Base_ + path; }
  // Ends it as a crash would, at once.
  void Kill();
  // Ends it as an administrator does; its exit status.
  int Terminate();
  std::string Log() const;

 private:
  pid_t Pid_ = -1;
  std::filesystem::path Log_;
  std::string Base_;
};

}  // namespace velmora::testing

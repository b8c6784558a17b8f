#include "server_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <regex>
#include <stdexcept>
#include <thread>

#include "platform/folders.h"
#include "temp_folder.h"

extern char** environ;

namespace velmora::testing {

pid_t SpawnServerProgram(const std::vector<std::string>& args, const std::filesystem::path& out,
                         const std::filesystem::path& err) {
  std::vector<std::string> line = {(ProgramFolder() / "velmora-statserver").string()};
  line.insert(line.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : line) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  if (failed) throw std::runtime_error("cannot start " + line[0]);
  return pid;
}

TServerProcess::TServerProcess(const std::string& database, const std::filesystem::path& folder,
                               const std::string& name, const std::vector<std::string>& options)
    : Log_(folder / (name + ".log")) {
  std::vector<std::string> args = {"--db", database, "serve", "--listen", "127.0.0.1:0"};
  args.insert(args.end(), options.begin(), options.end());
  Pid_ = SpawnServerProgram(args, folder / (name + ".out"), Log_);
  const std::regex listening(R"(listening on (http://127\.0\.0\.1:\d+/))");
  std::smatch match;
  std::string log;
  for (int i = 0; i < 100 && !std::regex_search(log, match, listening); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    log = ReadFile(Log_);
  }
  if (match.empty()) {
    Kill();
    throw std::runtime_error("the server did not start: " + log);
  }
  Base_ = match[1].str();
}

TServerProcess::~TServerProcess() {
  if (Pid_ > 0) Terminate();
}

void TServerProcess::Kill() {
  if (Pid_ <= 0) return;
  ::kill(Pid_, SIGKILL);
  ::waitpid(Pid_, nullptr, 0);
  Pid_ = -1;
}

int TServerProcess::Terminate() {
  if (Pid_ <= 0) return -1;
  ::kill(Pid_, SIGTERM);
  int status = 0;
  ::waitpid(Pid_, &status, 0);
  Pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TServerProcess::Log() const { return ReadFile(Log_); }

}  // namespace velmora::testing

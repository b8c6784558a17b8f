#include "platform/logger.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "records/date_time.h"

namespace velmora {

TLogger::~TLogger() { Close(); }

TStatus TLogger::Open(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / (FormatDate(Today()) + ".log");
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return TError{file.string() + ": " + std::strerror(errno)};
  {
    const std::lock_guard guard(Lock_);
    if (Fd_ >= 0) ::close(Fd_);
    Fd_ = fd;
    File_ = file;
    LineCut_ = false;
    WriteLine(std::string(68, '-'));
    WriteLine("Program started");
  }
  return {};
}

void TLogger::Close() {
  const std::lock_guard guard(Lock_);
  if (Fd_ >= 0) ::close(Fd_);
  Fd_ = -1;
}

bool TLogger::IsOpen() const {
  const std::lock_guard guard(Lock_);
  return Fd_ >= 0;
}

std::filesystem::path TLogger::File() const {
  const std::lock_guard guard(Lock_);
  return File_;
}

void TLogger::Log(std::string_view message) {
  const std::lock_guard guard(Lock_);
  WriteLine(message);
}

void TLogger::WriteLine(std::string_view message) {
  if (Fd_ < 0) return;
  std::string line = FormatLongTime(Now());
  line += ' ';
  line += message;
  line += "\r\n";
  // A line cut short by a full disk is ended before the next one, which must not continue it.
  if (LineCut_) line.insert(0, "\r\n");
  // One write per line: with O_APPEND, lines of several runs of the day never interleave.
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(Fd_, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a full disk must not stop the game; the line is lost
    written += static_cast<std::size_t>(n);
  }
  // Nothing written leaves the file as it was; part of a line leaves it open.
  if (written == line.size()) {
    LineCut_ = false;
  } else if (written > 0) {
    LineCut_ = true;
  }
}

TLogger& Logger() {
  static TLogger logger;
  return logger;
}

}  // namespace velmora

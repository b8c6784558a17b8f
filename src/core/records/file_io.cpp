#include "records/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace velmora {

namespace {

TError SystemError(const std::filesystem::path& file, int error) {
  return TError{file.string() + ": " + std::strerror(error)};
}

// Writes all bytes to the open descriptor and flushes them to disk; closes it in every case. The
// errno of the first failure, or 0.
int WriteAndClose(int fd, std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : ENOSPC;
      ::close(fd);
      return error;
    }
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  return ::close(fd) != 0 ? errno : 0;
}

// Flushes a file that another writer has closed; the errno of a failure, or 0.
int SyncFile(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = ::fsync(fd) != 0 ? errno : 0;
  ::close(fd);
  return error;
}

// Appends the rest of the file to `content`, stopping once it holds more than `limit` bytes;
// the errno of a failed read, or 0.
int ReadToEnd(int fd, std::string& content, std::size_t limit) {
  char buffer[65536];
  while (content.size() <= limit) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return 0;
}

// Creates the file with the bytes on disk; the reason alone on failure (for ReplaceFileWith).
TStatus WriteNewFile(const std::filesystem::path& file, std::string_view bytes, mode_t mode) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  const int error = fd < 0 ? errno : WriteAndClose(fd, bytes);
  if (error != 0) return TError{std::strerror(error)};
  return {};
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string content;
  const int error = ReadToEnd(fd, content, std::string::npos);
  ::close(fd);
  if (error != 0) return std::nullopt;
  return content;
}

TResult<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes) {
  // Without O_NONBLOCK opening a pipe waits for a writer; the type is checked on what was opened.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SystemError(file, errno);
  const auto refuse = [&](const std::string& reason) -> TResult<std::string> {
    ::close(fd);
    return TError{"\"" + file.string() + "\" " + reason};
  };
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return refuse("is not a regular file.");
  const std::string tooLarge = "is larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB.";
  if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) return refuse(tooLarge);
  std::string content;
  if (const int error = ReadToEnd(fd, content, maxBytes); error != 0) {
    ::close(fd);
    return SystemError(file, error);
  }
  if (content.size() > maxBytes) return refuse(tooLarge);  // it grew while being read
  ::close(fd);
  return content;
}

TStatus WriteFileDurably(const std::filesystem::path& file, std::string_view bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return SystemError(file, errno);
  if (const int error = WriteAndClose(fd, bytes); error != 0) return SystemError(file, error);
  return {};
}

TStatus ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  return ReplaceFileWith(
      file, [bytes](const std::filesystem::path& temporary) { return WriteNewFile(temporary, bytes, 0600); });
}

TStatus ReplaceExportedFile(const std::filesystem::path& file, std::string_view bytes) {
  return ReplaceFileWith(
      file, [bytes](const std::filesystem::path& temporary) { return WriteNewFile(temporary, bytes, 0666); });
}

TStatus ReplaceFileWith(const std::filesystem::path& file,
                        const std::function<TStatus(const std::filesystem::path& temporary)>& write) {
  // A name of this process alone, so that two programs saving at once never share a temporary file.
  const std::filesystem::path temporary = file.string() + ".tmp." + std::to_string(::getpid());
  const auto fail = [&](const std::string& reason) -> TStatus {
    ::unlink(temporary.c_str());
    return TError{file.string() + ": " + reason};
  };
  if (TStatus written = write(temporary); !written) return fail(written.Error());
  if (const int error = SyncFile(temporary); error != 0) return fail(std::strerror(error));
  if (std::rename(temporary.c_str(), file.c_str()) != 0) return fail(std::strerror(errno));
  // The rename itself must reach the disk too.
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

}  // namespace velmora

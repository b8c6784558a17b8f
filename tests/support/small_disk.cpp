#include "small_disk.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace velmora::testing {

namespace {
constexpr const char* kFillerName = "filler";
}

TSmallDisk::TSmallDisk(std::filesystem::path folder, std::size_t bytes)
    : Folder_(std::move(folder)), Size_("size=" + std::to_string(bytes)) {
  std::filesystem::create_directories(Folder_);
  if (::mount("tmpfs", Folder_.c_str(), "tmpfs", 0, Size_.c_str()) == 0) {
    Mounted_ = true;
  } else {
    Failure_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
  }
}

TSmallDisk::~TSmallDisk() {
  if (Mounted_) ::umount2(Folder_.c_str(), MNT_DETACH);
}

void TSmallDisk::Fill() {
  const int fd = ::open((Folder_ / kFillerName).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const std::vector<char> block(4096, '\0');
  while (::write(fd, block.data(), block.size()) > 0) {
  }
  // The last partial block too: a tmpfs counts whole pages.
  while (::write(fd, block.data(), 1) > 0) {
  }
  ::close(fd);
}

void TSmallDisk::Free() { std::filesystem::remove(Folder_ / kFillerName); }

bool TSmallDisk::MakeReadOnly() { return Remount(true); }
bool TSmallDisk::MakeWritable() { return Remount(false); }

bool TSmallDisk::Remount(bool readOnly) {
  if (!Mounted_) return false;
  const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
  return ::mount("tmpfs", Folder_.c_str(), "tmpfs", flags, Size_.c_str()) == 0;
}

}  // namespace velmora::testing

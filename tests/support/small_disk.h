#pragma once
// A tmpfs of a given size mounted on a folder for the length of a test: a real disk that fills
// up, or that turns read-only, for the program and its SQLite alike. Mounting needs root.

#include <cstddef>
#include <filesystem>
#include <string>

namespace velmora::testing {

class TSmallDisk {
 public:
  // Creates the folder and mounts the disk on it; Mounted() says whether that worked.
  TSmallDisk(std::filesystem::path folder, std::size_t bytes);
  ~TSmallDisk();
  TSmallDisk(const TSmallDisk&) = delete;
  TSmallDisk& operator=(const TSmallDisk&) = delete;

  bool Mounted() const { return Mounted_; }
  // Why it could not be mounted.
  const std::string& Failure() const { return Failure_; }
  const std::filesystem::path& Path() const { return Folder_; }

  // Takes every free byte with a file of its own; Free gives them back.
  void Fill();
  void Free();
  // Remounts the disk read-only or writable again; false when that failed.
  bool MakeReadOnly();
  bool MakeWritable();

 private:
  bool Remount(bool readOnly);

  std::filesystem::path Folder_;
  std::string Size_;
  bool Mounted_ = false;
  std::string Failure_;
};

}  // namespace velmora::testing

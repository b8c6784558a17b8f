#pragma once
// The day log: one file per day in the user data folder, shared by every run of that day; each
// line is the time, a blank and the message, ended by CR LF. Safe to use from any thread.

#include <filesystem>
#include <mutex>
#include <string_view>

#include "records/result.h"

namespace velmora {

class TLogger {
 public:
  TLogger() = default;
  ~TLogger();
  TLogger(const TLogger&) = delete;
  TLogger& operator=(const TLogger&) = delete;

  // Opens (creating it when needed) "<folder>/yyyy.MM.dd.log" for today, appends the dashed line
  // and "Program started". The error names the file and the reason. A logger that is open already
  // is closed first.
  TStatus Open(const std::filesystem::path& folder);
  void Close();
  bool IsOpen() const;
  std::filesystem::path File() const;

  // Appends one line; does nothing while the log is not open.
  void Log(std::string_view message);

 private:
  void WriteLine(std::string_view message);

  mutable std::mutex Lock_;
  int Fd_ = -1;
  std::filesystem::path File_;
  bool LineCut_ = false;  // the last line was written only in part
};

// The program's one log.
TLogger& Logger();
inline void Log(std::string_view message) { Logger().Log(message); }

}  // namespace velmora

#pragma once
// One long server job on a thread of its own, while the user interface shows a progress window and
// waits: uploading the box score, bringing a server game into the local store, or comparing the
// local and the server copy of a game and, on the operator's word, overwriting the server's.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "records/match_info.h"
#include "records/result.h"

namespace velmora {

class TModel;
class TInternetPlugin;
class TDatabasePlugin;
class TUserInterface;

class TUploaderThread {
 public:
  enum class TJob { UploadBoxScore = 1, BringIntoStore = 2, CompareAndOverwrite = 3 };

  // Job 1 takes the box score document text, job 3 the games-list entry of the game. Everything
  // given outlives the job.
  static std::unique_ptr<TUploaderThread> UploadBoxScore(TModel& model, TInternetPlugin& server, std::string boxScore);
  static std::unique_ptr<TUploaderThread> BringIntoStore(TModel& model, TInternetPlugin& server,
                                                         TDatabasePlugin& store);
  static std::unique_ptr<TUploaderThread> CompareAndOverwrite(TModel& model, TInternetPlugin& server,
                                                              TDatabasePlugin& store, TMatchInfo entry,
                                                              TUserInterface& userInterface);
  ~TUploaderThread();
  TUploaderThread(const TUploaderThread&) = delete;
  TUploaderThread& operator=(const TUploaderThread&) = delete;

  bool Finished() const { return Finished_; }
  // Waits for the job to end.
  void Wait();
  // Job 1: the server's answer or the error message.
  const std::string& ResultText() const { return ResultText_; }
  // Job 3: true when the game may be worked on online.
  bool ResultFlag() const { return ResultFlag_; }
  // Whether the job did all it set out to do; the error says what failed. Declining to overwrite
  // the server's copy (job 3) is no failure.
  const TStatus& Outcome() const { return Outcome_; }

 private:
  TUploaderThread() = default;
  void Start(std::function<void()> job);
  void Fail(std::string reason) { Outcome_ = TError{std::move(reason)}; }

  std::string ResultText_;
  bool ResultFlag_ = false;
  TStatus Outcome_;
  std::atomic<bool> Finished_{false};
  std::thread Thread_;
};

}  // namespace velmora

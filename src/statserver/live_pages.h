#pragma once
// The spectators' pages: the list of games being played and one page per game that follows it
// live (score, period and clock, fouls and time-outs, box scores, play-by-play), fed by a JSON
// document computed with the statistics engine from the server's copy of the game.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/messages.h"

namespace velmora::statserver {

class TServerStore;
struct TGameSnapshot;

// A state of a game's live document, named by its strong entity tag (with its quotes).
struct TLiveDocument {
  std::string ETag;
  std::string Json;
};

class TLivePages {
 public:
  // Play-by-play texts use the messages file of `language` in `programFolder`.
  TLivePages(TServerStore& store, const std::filesystem::path& programFolder, std::string_view language);

  std::string IndexPage();
  // None when the game is not published.
  std::optional<std::string> GamePage(std::string_view gameNumber);
  // The entity tag of the game's document as the game stands, found without making the document;
  // none when the game is not published.
  std::optional<std::string> CurrentETag(std::string_view gameNumber);
  // Computed once for each state of the game, however many spectators ask, in every process
  // alike. None when the game is not published.
  std::optional<TLiveDocument> GameJson(std::string_view gameNumber);

 private:
  struct TCachedJson {
    std::mutex Lock;  // held while the document is computed
    std::int64_t Revision = 0;
    std::optional<std::string> Json;
  };

  std::string ComputeGameJson(std::string_view gameNumber, TGameSnapshot snapshot);
  std::string ETagOf(std::int64_t revision) const;

  TServerStore& Store_;
  std::filesystem::path ProgramFolder_;
  TMessages Messages_;
  std::mutex CacheLock_;
  std::unordered_map<std::string, std::shared_ptr<TCachedJson>> Cache_;
};

}  // namespace velmora::statserver

#pragma once
// The spectators' pages: the list of games being played and one page per game that follows it
// live (score, period and clock, fouls and time-outs, box scores, play-by-play), fed by a JSON
// document computed with the statistics engine from the server's copy of the game.

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/messages.h"

namespace velmora::statserver {

class TServerStore;

class TLivePages {
 public:
  // Play-by-play texts use the messages file of `language` in `programFolder`.
  TLivePages(TServerStore& store, const std::filesystem::path& programFolder, std::string_view language);

  std::string IndexPage();
  // None when the game is not published.
  std::optional<std::string> GamePage(std::string_view gameNumber);
  std::optional<std::string> GameJson(std::string_view gameNumber);

 private:
  std::optional<std::string> ComputeGameJson(std::string_view gameNumber, std::int64_t revision);

  TServerStore& Store_;
  std::filesystem::path ProgramFolder_;
  TMessages Messages_;
  std::mutex CacheLock_;
  // The last document of each game, computed again only when the game has changed.
  std::unordered_map<std::string, std::pair<std::int64_t, std::string>> Cache_;
};

}  // namespace velmora::statserver

// Feeds arbitrary bytes to the transfer-file reader. A refusal must be one of the reader's two
// errors; a game it accepts must load into a model, and writing that game out again must give a
// file the reader accepts with the same game number and rosters.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "platform/configuration.h"
#include "stats/game_documents.h"
#include "stats/model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  using fuzz::Check;
  static const TConfiguration config("/nonexistent");

  auto game = ParseTransferText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!game.Ok()) {
    Check(game.Error().starts_with(kTransferCorruptError));
    return 0;
  }
  const TMatchInfo read = game.Value().MatchInfo;

  TModel model(config);
  LoadTransferGame(model, std::move(game.Value()));
  pugi::xml_document boxScore;
  BoxScoreDocument(model, boxScore);

  const auto again = ParseTransferText(TransferFileText(model));
  Check(again.Ok());
  const TMatchInfo& written = again.Value().MatchInfo;
  Check(written.GameNumber == read.GameNumber);
  Check(written.Team1.PlayerCount == read.Team1.PlayerCount);
  Check(written.Team2.PlayerCount == read.Team2.PlayerCount);
  Check(again.Value().Actions && again.Value().Actions->size() == model.Actions().size());
  return 0;
}

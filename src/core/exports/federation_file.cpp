#include "exports/federation_file.h"

#include <algorithm>

#include "records/date_time.h"
#include "records/file_io.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "stats/model.h"

namespace velmora {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// The results line has places for eight periods, the overtime count after the fourth.
constexpr std::size_t kFixedPeriods = 8;
constexpr std::size_t kRegulationPeriods = 4;

std::string Field(std::string_view utf8) {
  std::string text = Utf8ToWindows1252BestFit(utf8);
  for (char& c : text) {
    if (c == ';') c = ',';
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

// ";" and the value, for each of the keys.
std::string Figures(const TIntegerHash& table, std::initializer_list<std::string_view> keys) {
  std::string line;
  for (const std::string_view key : keys) line += ';' + std::to_string(table.Get(std::string(key)));
  return line;
}

std::string ResultsLine(const TModel& model) {
  const auto [home, away] = model.Score();
  std::string line = std::to_string(home) + ';' + std::to_string(away) + ';';
  const auto periods = model.PeriodScores();
  for (std::size_t i = 0; i < std::max(periods.size(), kFixedPeriods); ++i) {
    const auto [first, second] = i < periods.size() ? periods[i] : std::pair{0, 0};
    line += std::to_string(first) + ';' + std::to_string(second) + ';';
    if (i + 1 == kRegulationPeriods) {
      const std::size_t overtimes = periods.size() > kRegulationPeriods ? periods.size() - kRegulationPeriods : 0;
      line += std::to_string(overtimes) + ';';
    }
  }
  return line;
}

std::string TeamSection(const TModel& model, int team) {
  std::string section = std::string("[FIBAStatisticTeam") + (team == 1 ? 'A' : 'B') + ']';
  section += kLineEnd;
  const TTeam& roster = model.MatchInfo.Team(team);
  for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
    const TPlayer& player = roster.Player(slot);
    const TIntegerHash& table = model.Stats(TModel::PlayerSlot(team, slot));
    section += Field(player.ID) + ';' + std::to_string(player.Number) + ';' + Field(player.Surname) + ';' +
               Field(player.Name) + ';' + std::to_string(table.Get("MIN") / 60) +
               Figures(table, {"P2M", "P2A", "P3M", "P3A", "P1M", "P1A", "RO", "RD", "AS", "PF", "RF", "TO", "ST", "BS",
                               "STA"});
    section += kLineEnd;
  }
  const TIntegerHash& own = model.Stats(model.EntitySlot(team));
  section += "5;TEAM;;;" + std::to_string(own.Get("MIN") / 60) +
             Figures(own, {"P2M", "P2A", "P3M", "P3A", "P1M", "P1A", "RO", "RD", "AS", "PF", "TO", "ST", "BS", "STA"});
  section += kLineEnd;
  section += kLineEnd;
  return section;
}

}  // namespace

std::string FederationFileText(const TModel& model) {
  const TMatchInfo& game = model.MatchInfo;
  const TDateParts date = DecodeDate(game.Time);
  std::string text = "[FIBAGameContext]";
  text += kLineEnd;
  text += std::to_string(date.Year) + '/' + std::to_string(date.Month) + '/' + std::to_string(date.Day);
  text += kLineEnd;
  for (int team = 1; team <= 2; ++team) {
    text += Field(game.Team(team).ID) + ';' + Field(game.Team(team).Name);
    text += kLineEnd;
  }
  text += kLineEnd;
  text += "[FIBAGameResults]";
  text += kLineEnd;
  text += ResultsLine(model);
  text += kLineEnd;
  text += TeamSection(model, 1);
  text += TeamSection(model, 2);
  // The checksum covers every byte before it; it stands on a line of its own after one more CR LF.
  const std::uint16_t checksum = LineChecksum(text);
  text += kLineEnd;
  text += std::to_string(checksum);
  return text;
}

TStatus WriteFederationFile(const TModel& model, const std::filesystem::path& file) {
  return ReplaceExportedFile(file, FederationFileText(model));
}

}  // namespace velmora

#pragma once
// The XML documents of a game: the box score, the actions, and the transfer file that carries a
// whole game (actions and match information) from one installation to another.

#include <filesystem>
#include <optional>

#include <pugixml.hpp>

#include "records/action.h"
#include "records/match_info.h"
#include "records/result.h"

namespace velmora {

class TModel;

// Builds the BOXSCORE element as the root of `document` and returns it.
pugi::xml_node BoxScoreDocument(const TModel& model, pugi::xml_document& document);
// Builds the ACTIONS element, one ACTION per action of the model, as the root of `document`.
pugi::xml_node ActionsDocument(const TModel& model, pugi::xml_document& document);
// The ACTION children of the element (other elements are skipped), read with `currentGameTime` for a missing game time. With
// `keepEntryTime` each also keeps its "AstroTime", which orders actions of one game time in the
// store and in its checksum (lists exchanged with the statistics server).
TActionList ReadActionElements(const pugi::xml_node& element, TDateTime currentGameTime, bool keepEntryTime);
// Replaces the model's actions by the ACTION children of the element; does not recompute.
void ReadActionsDocument(TModel& model, const pugi::xml_node& element);

// The transfer file text: windows-1252 bytes; characters that code page cannot hold are written
// as character references.
std::string TransferFileText(const TModel& model);
// Writes the transfer file anew and flushes it to disk; the error says why it could not be written.
TStatus WriteTransferFile(const TModel& model, const std::filesystem::path& file);

// A game read from a transfer file.
struct TTransferGame {
  TMatchInfo MatchInfo;
  // Present when the file carries an ACTIONS element (even an empty one).
  std::optional<TActionList> Actions;
};

inline constexpr const char* kTransferReadError = "Failed to read game data from specified file.";
inline constexpr const char* kTransferCorruptError =
    "Error al interpretar el fichero - quizá los datos están corruptos.";

// Real games are well under a megabyte; anything larger is not a game file.
inline constexpr std::size_t kMaxTransferFileBytes = 64 * 1024 * 1024;

// Reads a transfer file. Fails with kTransferReadError and the reason when the file cannot be
// read, is no regular file or is larger than kMaxTransferFileBytes, and with
// kTransferCorruptError when it does not hold a usable game (or holds a team too large to keep
// statistics for, or a period number beyond kMaxPeriod: the reason appended).
TResult<TTransferGame> ReadTransferFile(const std::filesystem::path& file);
// The same for the file's bytes.
TResult<TTransferGame> ParseTransferText(std::string_view bytes);

// Why a team of the match information is too large to keep statistics for; none when both fit.
std::optional<std::string> RosterTooLargeReason(const TMatchInfo& matchInfo);

// The text of an XML file as program text: windows-1252 unless the file declares UTF-8 (or has a
// UTF-8 byte order mark) and is valid UTF-8.
std::string DecodeXmlBytes(std::string_view bytes);

// Puts a game read from a transfer file into the model and recomputes every statistic.
void LoadTransferGame(TModel& model, TTransferGame game);

}  // namespace velmora

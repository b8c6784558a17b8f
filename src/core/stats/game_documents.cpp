#include "stats/game_documents.h"

#include "platform/configuration.h"
#include "records/file_io.h"
#include "records/text_encoding.h"
#include "records/text_utils.h"
#include "records/xml_text.h"
#include "stats/model.h"

namespace velmora {

pugi::xml_node BoxScoreDocument(const TModel& model, pugi::xml_document& document) {
  pugi::xml_node root = document.append_child("BOXSCORE");
  for (int team = 1; team <= 2; ++team) {
    const TTeam& roster = model.MatchInfo.Team(team);
    pugi::xml_node teamNode = root.append_child("TEAM");
    teamNode.append_attribute("ID") = roster.ID.c_str();
    for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
      const TPlayer& player = roster.Player(slot);
      pugi::xml_node playerNode = teamNode.append_child("PLAYER");
      playerNode.append_attribute("ID") = player.ID.c_str();
      playerNode.append_attribute("Number") = player.Number;
      const TIntegerHash& table = model.Stats(TModel::PlayerSlot(team, slot));
      for (const std::string& key : table.KeysInOrder()) playerNode.append_attribute(key.c_str()) = table.Get(key);
    }
  }
  pugi::xml_node quarters = root.append_child("QUARTERS");
  const auto scores = model.PeriodScores();
  for (std::size_t i = 0; i < scores.size(); ++i) {
    pugi::xml_node quarter = quarters.append_child("QUARTER");
    quarter.append_attribute("number") = std::to_string(i + 1).c_str();
    quarter.append_attribute("scoreA") = scores[i].first;
    quarter.append_attribute("scoreB") = scores[i].second;
  }
  root.append_attribute("Spectators") = model.MatchInfo.Spectators;
  root.append_attribute("TV") = model.MatchInfo.TV;
  return root;
}

pugi::xml_node ActionsDocument(const TModel& model, pugi::xml_document& document) {
  pugi::xml_node root = document.append_child("ACTIONS");
  for (const auto& action : model.Actions()) action->ToXml(root, model.MatchInfo.GameNumber);
  return root;
}

TActionList ReadActionElements(const pugi::xml_node& element, TDateTime currentGameTime, bool keepEntryTime) {
  TActionList actions;
  for (const pugi::xml_node& child : element.children()) {
    // Anything else would become an action without a kind.
    if (child.type() != pugi::node_element || std::string_view(child.name()) != "ACTION") continue;
    auto action = TAction::CreateFromXml(child, currentGameTime);
    if (keepEntryTime) action->AstroTime = ParseTime(child.attribute("AstroTime").value()).value_or(0);
    actions.push_back(std::move(action));
  }
  return actions;
}

void ReadActionsDocument(TModel& model, const pugi::xml_node& element) {
  TActionList actions = ReadActionElements(element, model.MatchInfo.CurrentGameTime, false);
  for (auto& action : actions) action->Period = model.CurrentPeriod();
  model.SetActions(std::move(actions));
}

std::string TransferFileText(const TModel& model) {
  pugi::xml_document actions;
  ActionsDocument(model, actions);
  pugi::xml_document matchInfo;
  model.MatchInfo.ToXml(matchInfo, PeriodSettingsOf(model.Config()));
  std::string text = R"(<?xml version="1.0" encoding="windows-1252"?><DRAVON>)";
  text += Utf8ToWindows1252XmlSafe(XmlText(actions.document_element()));
  if (matchInfo.document_element()) text += Utf8ToWindows1252XmlSafe(XmlText(matchInfo.document_element()));
  text += "</DRAVON>";
  return text;
}

TStatus WriteTransferFile(const TModel& model, const std::filesystem::path& file) {
  return WriteFileDurably(file, TransferFileText(model));
}

// Files name their encoding in the declaration; ours are windows-1252, but a UTF-8 file that says
// so is taken as UTF-8.
std::string DecodeXmlBytes(std::string_view bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  const bool hasBom = bytes.starts_with(kBom);
  const std::string_view body = hasBom ? bytes.substr(kBom.size()) : bytes;
  bool declaresUtf8 = hasBom;
  if (body.starts_with("<?xml")) {
    const std::string declaration = ToLowerAscii(body.substr(0, body.find("?>")));
    declaresUtf8 = declaration.find("utf-8") != std::string::npos;
  }
  if (declaresUtf8 && IsValidUtf8(body)) return std::string(body);
  return Windows1252ToUtf8(bytes);
}

std::optional<std::string> RosterTooLargeReason(const TMatchInfo& matchInfo) {
  for (int team = 1; team <= 2; ++team) {
    const TTeam& roster = matchInfo.Team(team);
    if (roster.PlayerCount > TModel::kMaxStatPlayers) {
      return "El equipo \"" + roster.Name + "\" tiene " + std::to_string(roster.PlayerCount) +
             " jugadores; un equipo puede tener como máximo " + std::to_string(TModel::kMaxStatPlayers) + ".";
    }
  }
  return std::nullopt;
}

TResult<TTransferGame> ParseTransferText(std::string_view bytes) {
  const TError corrupt{kTransferCorruptError};
  const std::string text = DecodeXmlBytes(bytes);
  pugi::xml_document document;
  if (!document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8)) return corrupt;
  const pugi::xml_node root = document.document_element();
  if (!root) return corrupt;
  // The parser is lenient about a second top-level element; a file holding one is no document.
  if (root.next_sibling()) return corrupt;

  std::size_t childCount = 0;
  for (const pugi::xml_node& child : root.children()) {
    (void)child;
    ++childCount;
  }
  const pugi::xml_node last = root.last_child();
  if (childCount == 0 || childCount >= 3 || last.type() != pugi::node_element) return corrupt;

  TTransferGame game;
  game.MatchInfo.ReadXml(last);
  // A match information that could not be read, or without a game number, is no game.
  if (game.MatchInfo.Empty || game.MatchInfo.GameNumber.empty()) return corrupt;
  if (const auto reason = RosterTooLargeReason(game.MatchInfo)) return TError{corrupt.Message + " " + *reason};
  if (childCount == 2) {
    game.Actions = ReadActionElements(root.first_child(), game.MatchInfo.CurrentGameTime, false);
    for (const auto& action : *game.Actions) {
      if (const TStatus bounded = CheckActionBounds(*action); !bounded) return TError{corrupt.Message + " " + bounded.Error()};
    }
  }
  return game;
}

TResult<TTransferGame> ReadTransferFile(const std::filesystem::path& file) {
  const auto bytes = ReadRegularFile(file, kMaxTransferFileBytes);
  if (!bytes) return TError{std::string(kTransferReadError) + " " + bytes.Error()};
  return ParseTransferText(bytes.Value());
}

void LoadTransferGame(TModel& model, TTransferGame game) {
  model.MatchInfo = game.MatchInfo;
  model.SetActions(game.Actions ? std::move(*game.Actions) : TActionList{});
  model.Recompute();
}

}  // namespace velmora

// Feeds arbitrary bytes to the reading of an action list, as a live batch reaches the server and
// a server's list reaches the client. Every action read must write out and read back alike, and a
// list without impossible periods must go through the statistics and the box score.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "fuzz_check.h"
#include "platform/configuration.h"
#include "stats/game_documents.h"
#include "stats/model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  using fuzz::Check;
  static const TConfiguration config("/nonexistent");

  const std::string text = DecodeXmlBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  pugi::xml_document document;
  if (!document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8)) return 0;
  TActionList actions = ReadActionElements(document.document_element(), 0, true);

  pugi::xml_document written;
  pugi::xml_node root = written.append_child("ACTIONS");
  bool bounded = true;
  for (const auto& action : actions) {
    action->ToXml(root, "G-1");
    bounded = bounded && CheckActionBounds(*action).Ok();
  }
  const TActionList again = ReadActionElements(root, 0, true);
  Check(again.size() == actions.size());
  for (std::size_t i = 0; i < actions.size(); ++i) {
    Check(again[i]->ID == actions[i]->ID);
    Check(again[i]->ShortName == actions[i]->ShortName);
    Check(again[i]->Parameters.size() == actions[i]->Parameters.size());
  }
  if (!bounded) return 0;

  TModel model(config);
  model.MatchInfo.GameNumber = "G-1";
  model.SetActions(std::move(actions));
  model.Recompute();
  pugi::xml_document boxScore;
  BoxScoreDocument(model, boxScore);
  return 0;
}

// Feeds arbitrary bytes to the reading of match information, as the server takes an update and
// the client takes a game from the server. What reads as match information must write out and
// read back with the same game and rosters.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "fuzz_check.h"
#include "records/match_info.h"
#include "records/xml_text.h"
#include "stats/game_documents.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  using fuzz::Check;
  const std::string text = DecodeXmlBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  pugi::xml_document document;
  if (!document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8)) return 0;
  TMatchInfo read;
  read.ReadXml(document.document_element());
  (void)RosterTooLargeReason(read);
  if (read.Empty) return 0;

  pugi::xml_document written;
  const std::string xml = XmlText(read.ToXml(written, TPeriodSettings{}));
  pugi::xml_document reparsed;
  Check(static_cast<bool>(reparsed.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8)));
  TMatchInfo again;
  again.ReadXml(reparsed.document_element());
  Check(!again.Empty);
  Check(again.GameNumber == read.GameNumber);
  Check(again.Team1.PlayerCount == read.Team1.PlayerCount);
  Check(again.Team2.PlayerCount == read.Team2.PlayerCount);
  return 0;
}

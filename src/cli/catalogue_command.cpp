#include <ostream>

#include <pugixml.hpp>

#include "commands.h"
#include "records/catalogue.h"

namespace velmora::cli {

int CatalogueCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty()) {
    err << "usage: velmora-cli catalogue\n";
    return kUsageError;
  }
  TCatalogue catalogue;
  catalogue.LoadCatalogue();
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("ACTIONS");
  for (const auto& entry : catalogue.Entries()) entry->ToXml(root, "");
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return kSuccess;
}

}  // namespace velmora::cli

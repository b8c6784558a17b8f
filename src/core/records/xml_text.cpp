#include "records/xml_text.h"

#include <sstream>

namespace velmora {

std::string Attribute(const pugi::xml_node& element, const char* name, const char* fallback) {
  const pugi::xml_attribute attribute = element.attribute(name);
  return attribute ? attribute.value() : fallback;
}

std::string XmlText(const pugi::xml_node& node) {
  std::ostringstream text;
  node.print(text, "", pugi::format_raw, pugi::encoding_utf8);
  return text.str();
}

}  // namespace velmora

#pragma once
// Small helpers around the XML library shared by every reader and writer of documents.

#include <string>

#include <pugixml.hpp>

namespace velmora {

// The attribute's text; `fallback` when the element has no such attribute.
std::string Attribute(const pugi::xml_node& element, const char* name, const char* fallback = "");
// The node as XML text without added white space (program text, UTF-8).
std::string XmlText(const pugi::xml_node& node);

}  // namespace velmora

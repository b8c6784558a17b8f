#include "protocol/soap.h"

#include <sstream>

#include <pugixml.hpp>

namespace velmora {

namespace {

// A value of blanks alone (a password of spaces) is a value: kept, not dropped as layout.
constexpr unsigned kSoapParsing = pugi::parse_default | pugi::parse_ws_pcdata_single;

constexpr const char* kEnvelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";

std::string_view LocalName(const pugi::xml_node& node) {
  const std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node FirstElement(const pugi::xml_node& parent) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) return child;
  }
  return {};
}

pugi::xml_node ChildNamed(const pugi::xml_node& parent, std::string_view localName) {
  for (const pugi::xml_node& child : parent.children()) {
    if (child.type() == pugi::node_element && LocalName(child) == localName) return child;
  }
  return {};
}

// The document's envelope body, or an empty node.
pugi::xml_node BodyOf(const pugi::xml_document& document) {
  const pugi::xml_node envelope = document.document_element();
  if (LocalName(envelope) != "Envelope") return {};
  return ChildNamed(envelope, "Body");
}

std::string Serialize(const pugi::xml_document& document) {
  std::ostringstream text;
  document.save(text, "", pugi::format_raw, pugi::encoding_utf8);
  // The writer leaves a carriage return in element text as it is, and every reader turns it into a
  // line feed; as a reference it arrives. Nowhere else can one stand in a raw envelope.
  std::string xml = text.str();
  for (std::size_t at = xml.find('\r'); at != std::string::npos; at = xml.find('\r', at)) xml.replace(at, 1, "&#13;");
  return xml;
}

pugi::xml_node NewEnvelope(pugi::xml_document& document) {
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "utf-8";
  pugi::xml_node envelope = document.append_child("soap:Envelope");
  envelope.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
  envelope.append_attribute("xmlns:xsd") = "http://www.w3.org/2001/XMLSchema";
  envelope.append_attribute("xmlns:soap") = kEnvelopeNamespace;
  return envelope.append_child("soap:Body");
}

pugi::xml_node ServiceElement(pugi::xml_node body, std::string_view name) {
  pugi::xml_node element = body.append_child(std::string(name).c_str());
  element.append_attribute("xmlns") = std::string(kSoapServiceNamespace).c_str();
  return element;
}

}  // namespace

std::string SoapRequestEnvelope(std::string_view operation, const TFormFields& parameters) {
  pugi::xml_document document;
  pugi::xml_node call = ServiceElement(NewEnvelope(document), operation);
  for (const auto& [name, value] : parameters) call.append_child(name.c_str()).text() = value.c_str();
  return Serialize(document);
}

std::string SoapResponseEnvelope(std::string_view operation, std::string_view result) {
  pugi::xml_document document;
  pugi::xml_node response = ServiceElement(NewEnvelope(document), std::string(operation) + "Response");
  response.append_child((std::string(operation) + "Result").c_str()).text() = std::string(result).c_str();
  return Serialize(document);
}

std::string SoapFaultEnvelope(std::string_view code, std::string_view message) {
  pugi::xml_document document;
  pugi::xml_node fault = NewEnvelope(document).append_child("soap:Fault");
  fault.append_child("faultcode").text() = ("soap:" + std::string(code)).c_str();
  fault.append_child("faultstring").text() = std::string(message).c_str();
  return Serialize(document);
}

TResult<TSoapCall> ParseSoapRequest(std::string_view body) {
  pugi::xml_document document;
  if (!document.load_buffer(body.data(), body.size(), kSoapParsing)) return TError{"the request is not XML"};
  const pugi::xml_node soapBody = BodyOf(document);
  if (!soapBody) return TError{"the request is not a SOAP envelope"};
  const pugi::xml_node call = FirstElement(soapBody);
  if (!call) return TError{"the SOAP body names no operation"};
  TSoapCall result;
  result.Operation = LocalName(call);
  for (const pugi::xml_node& parameter : call.children()) {
    if (parameter.type() == pugi::node_element) {
      result.Parameters.emplace_back(std::string(LocalName(parameter)), parameter.text().get());
    }
  }
  return result;
}

TResult<std::string> ParseSoapResult(std::string_view body, std::string_view operation) {
  pugi::xml_document document;
  if (!document.load_buffer(body.data(), body.size(), kSoapParsing)) return TError{"the answer is not XML"};
  const pugi::xml_node soapBody = BodyOf(document);
  if (!soapBody) return TError{"the answer is not a SOAP envelope"};
  if (const pugi::xml_node fault = ChildNamed(soapBody, "Fault")) {
    return TError{ChildNamed(fault, "faultstring").text().get()};
  }
  const pugi::xml_node response = ChildNamed(soapBody, std::string(operation) + "Response");
  if (!response) return TError{"the answer holds no " + std::string(operation) + "Response"};
  return std::string(ChildNamed(response, std::string(operation) + "Result").text().get());
}

}  // namespace velmora

#include "pdf_reader.h"

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>

namespace velmora::testing {

namespace {

std::string Quoted(const std::filesystem::path& file) {
  std::string quoted = "'";
  for (const char c : file.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Output(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return {};
  std::string text;
  std::array<char, 4096> buffer{};
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;) text.append(buffer.data(), n);
  return text;
}

}  // namespace

std::string PdfText(const std::filesystem::path& pdf) {
  return Output("pdftotext -layout -enc UTF-8 " + Quoted(pdf) + " - 2>/dev/null");
}

std::vector<TPdfPicture> PdfPictures(const std::filesystem::path& pdf) {
  // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
  std::istringstream lines(Output("pdfimages -list " + Quoted(pdf) + " 2>/dev/null"));
  std::vector<TPdfPicture> pictures;
  std::string line;
  for (int skipped = 0; skipped < 2 && std::getline(lines, line); ++skipped) {
  }
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    TPdfPicture picture;
    std::string skip;
    fields >> picture.Page >> skip >> skip >> picture.Width >> picture.Height;
    for (int i = 0; i < 7; ++i) fields >> skip;
    fields >> picture.Dpi;
    if (fields) pictures.push_back(picture);
  }
  return pictures;
}

}  // namespace velmora::testing

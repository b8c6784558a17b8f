#pragma once
// Reads a written PDF back as a reader of it would: its text and the pictures it holds, with
// poppler's command-line tools.

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {

struct TPdfPicture {
  int Page = 0;
  int Width = 0;  // pixels
  int Height = 0;
  double Dpi = 0;  // across, as placed on the page
};

// The text of every page in reading order, its layout kept (pdftotext -layout); empty when the
// file cannot be read.
std::string PdfText(const std::filesystem::path& pdf);
// Every picture of the document (pdfimages -list).
std::vector<TPdfPicture> PdfPictures(const std::filesystem::path& pdf);

}  // namespace velmora::testing

#include "xlsx_reader.h"

#include <zip.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include <pugixml.hpp>

namespace velmora::testing {

namespace {

using TZip = std::unique_ptr<zip_t, decltype(&zip_discard)>;

std::string Entry(zip_t* archive, const char* name) {
  zip_stat_t status;
  if (zip_stat(archive, name, 0, &status) != 0) throw std::runtime_error(std::string("no ") + name);
  std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen(archive, name, 0), zip_fclose);
  if (!file) throw std::runtime_error(std::string("cannot open ") + name);
  std::string bytes(static_cast<std::size_t>(status.size), '\0');
  if (zip_fread(file.get(), bytes.data(), status.size) != static_cast<zip_int64_t>(status.size)) {
    throw std::runtime_error(std::string("cannot read ") + name);
  }
  return bytes;
}

pugi::xml_document Parse(zip_t* archive, const char* name) {
  pugi::xml_document document;
  const std::string bytes = Entry(archive, name);
  if (!document.load_buffer(bytes.data(), bytes.size())) throw std::runtime_error(std::string("bad XML in ") + name);
  return document;
}

// The whole text of a shared string or inline string, rich runs joined.
std::string StringText(const pugi::xml_node& item) {
  std::string text;
  for (const pugi::xpath_node& run : item.select_nodes(".//t")) text += run.node().text().get();
  return text;
}

// "AB12" as (12, 28).
std::pair<int, int> RowAndColumn(std::string_view reference) {
  int column = 0;
  std::size_t i = 0;
  for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i)
    column = column * 26 + (reference[i] - 'A' + 1);
  return {std::stoi(std::string(reference.substr(i))), column};
}

struct TStyle {
  std::string Format;
  bool Bold;
};

std::vector<TStyle> Styles(zip_t* archive) {
  const pugi::xml_document document = Parse(archive, "xl/styles.xml");
  const pugi::xml_node sheet = document.child("styleSheet");
  std::map<int, std::string> formats = {{0, "General"}, {1, "0"}, {2, "0.00"}};
  for (const pugi::xml_node& format : sheet.child("numFmts").children("numFmt")) {
    formats[format.attribute("numFmtId").as_int()] = format.attribute("formatCode").value();
  }
  std::vector<bool> boldFonts;
  for (const pugi::xml_node& font : sheet.child("fonts").children("font")) boldFonts.push_back(bool(font.child("b")));
  std::vector<TStyle> styles;
  for (const pugi::xml_node& xf : sheet.child("cellXfs").children("xf")) {
    const auto font = static_cast<std::size_t>(xf.attribute("fontId").as_int());
    const int format = xf.attribute("numFmtId").as_int();
    styles.push_back({formats.contains(format) ? formats[format] : "builtin " + std::to_string(format),
                      font < boldFonts.size() && boldFonts[font]});
  }
  return styles;
}

}  // namespace

TXlsxSheet::TXlsxSheet(const std::filesystem::path& file) {
  int error = 0;
  TZip archive(zip_open(file.c_str(), ZIP_RDONLY, &error), zip_discard);
  if (!archive) throw std::runtime_error("not a zip file: " + file.string());

  const pugi::xml_document workbook = Parse(archive.get(), "xl/workbook.xml");
  Name_ = workbook.child("workbook").child("sheets").child("sheet").attribute("name").value();
  std::vector<std::string> shared;
  if (zip_name_locate(archive.get(), "xl/sharedStrings.xml", 0) >= 0) {
    const pugi::xml_document strings = Parse(archive.get(), "xl/sharedStrings.xml");
    for (const pugi::xml_node& item : strings.child("sst").children("si")) shared.push_back(StringText(item));
  }
  const std::vector<TStyle> styles = Styles(archive.get());

  const pugi::xml_document sheet = Parse(archive.get(), "xl/worksheets/sheet1.xml");
  for (const pugi::xml_node& row : sheet.child("worksheet").child("sheetData").children("row")) {
    for (const pugi::xml_node& c : row.children("c")) {
      TXlsxCell cell;
      const auto style = static_cast<std::size_t>(c.attribute("s").as_int());
      cell.Format = style < styles.size() ? styles[style].Format : "General";
      cell.Bold = style < styles.size() && styles[style].Bold;
      const std::string type = c.attribute("t").value();
      const pugi::xml_node value = c.child("v");
      if (type == "s" && value) {
        cell.Kind = TXlsxCell::TKind::Text;
        cell.Text = shared.at(static_cast<std::size_t>(value.text().as_int()));
      } else if (type == "inlineStr" || type == "str") {
        cell.Kind = TXlsxCell::TKind::Text;
        cell.Text = type == "str" ? value.text().get() : StringText(c.child("is"));
      } else if (value) {
        cell.Kind = TXlsxCell::TKind::Number;
        cell.Text = value.text().get();
        cell.Number = value.text().as_double();
      }
      Cells_[RowAndColumn(c.attribute("r").value())] = cell;
    }
  }
}

std::optional<TXlsxCell> TXlsxSheet::Cell(int row, int column) const {
  const auto found = Cells_.find({row, column});
  if (found == Cells_.end()) return std::nullopt;
  return found->second;
}

std::string TXlsxSheet::Value(int row, int column) const {
  const auto cell = Cell(row, column);
  return cell ? cell->Text : std::string();
}

}  // namespace velmora::testing

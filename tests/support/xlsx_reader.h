#pragma once
// Reads the cells of a written .xlsx workbook back, as a spreadsheet program would see them: the
// first sheet's values with their kind, number format and boldness.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace velmora::testing {

struct TXlsxCell {
  enum class TKind { Text, Number, Blank };
  TKind Kind = TKind::Blank;
  std::string Text;  // the text, or a number as stored in the file ("66.7")
  double Number = 0;
  std::string Format;  // the number format code ("0.0"), "General" when none
  bool Bold = false;
};

class TXlsxSheet {
 public:
  // Throws std::runtime_error when the file is not a readable workbook.
  explicit TXlsxSheet(const std::filesystem::path& file);

  // Rows and columns from 1; none when the sheet has no cell there.
  std::optional<TXlsxCell> Cell(int row, int column) const;
  // The cell's text or number as stored; empty for a blank or missing cell.
  std::string Value(int row, int column) const;
  const std::string& Name() const { return Name_; }

 private:
  std::map<std::pair<int, int>, TXlsxCell> Cells_;
  std::string Name_;
};

}  // namespace velmora::testing

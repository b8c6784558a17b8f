#include "reports/engine/report_project.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include <QRegularExpression>
#include <pugixml.hpp>

#include "records/file_io.h"

namespace velmora::report {

namespace {

// A fault in the file at the node; caught once, where the line is known.
struct TFault {
  pugi::xml_node Node;
  std::string Text;
};

QString Q(const char* text) { return QString::fromUtf8(text); }

class TReader {
 public:
  explicit TReader(TProject& project) : Project_(project) {}

  void ReadProject(const pugi::xml_node& root) {
    if (std::string_view(root.name()) != "project") throw TFault{root, "the document is no <project>"};
    Attributes(root, {});
    for (const pugi::xml_node& node : root.children()) {
      if (node.type() != pugi::node_element) continue;
      const std::string_view name = node.name();
      if (name == "font") {
        ReadFont(node);
      } else if (name == "band") {
        Attributes(node, {"name", "h"});
        TBlock band = ReadBlock(node);
        Bands_[Required(node, "name")] = std::move(band);
      } else if (name == "report") {
        ReadReport(node);
      } else {
        throw TFault{node, "unknown element <" + std::string(name) + ">"};
      }
    }
  }

 private:
  // Refuses attributes the element does not have, so that a misspelt one is found at once.
  static void Attributes(const pugi::xml_node& node, std::initializer_list<std::string_view> known) {
    for (const pugi::xml_attribute& attribute : node.attributes()) {
      if (std::find(known.begin(), known.end(), std::string_view(attribute.name())) == known.end()) {
        throw TFault{node, "<" + std::string(node.name()) + "> has no attribute \"" + attribute.name() + "\""};
      }
    }
  }

  static QString Required(const pugi::xml_node& node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute || !*attribute.value()) {
      throw TFault{node, "<" + std::string(node.name()) + "> needs \"" + name + "\""};
    }
    return Q(attribute.value());
  }

  static double Number(const pugi::xml_node& node, const char* name, double fallback) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return fallback;
    bool ok = false;
    const double value = Q(attribute.value()).trimmed().toDouble(&ok);
    if (!ok) throw TFault{node, std::string(name) + "=\"" + attribute.value() + "\" is no number"};
    return value;
  }

  static TLength Length(const pugi::xml_node& node, const char* name, TLength fallback = {}) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return fallback;
    QString text = Q(attribute.value()).trimmed();
    const bool percent = text.endsWith(QLatin1Char('%'));
    if (percent) text.chop(1);
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok) throw TFault{node, std::string(name) + "=\"" + attribute.value() + "\" is no length"};
    return {value, percent};
  }

  static std::optional<QColor> Colour(const pugi::xml_node& node, const char* name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return std::nullopt;
    const QColor colour = QColor::fromString(Q(attribute.value()));
    if (!colour.isValid()) throw TFault{node, std::string(name) + "=\"" + attribute.value() + "\" is no colour"};
    return colour;
  }

  // The attribute as one of its named values; the fallback when it is not given.
  template <class T>
  static T Choice(const pugi::xml_node& node, const char* name,
                  std::initializer_list<std::pair<std::string_view, T>> values, T fallback) {
    const std::string_view value = node.attribute(name).value();
    if (value.empty()) return fallback;
    std::string names;
    for (const auto& [text, choice] : values) {
      if (text == value) return choice;
      names += (names.empty() ? "\"" : ", \"") + std::string(text) + "\"";
    }
    throw TFault{node, std::string(name) + " is one of " + names};
  }

  static bool Flag(const pugi::xml_node& node, const char* name) {
    return Choice(node, name, {{"yes", true}, {"no", false}}, false);
  }

  static THAlign HAlign(const pugi::xml_node& node, THAlign fallback) {
    return Choice(node, "align", {{"left", THAlign::Left}, {"center", THAlign::Center}, {"right", THAlign::Right}},
                  fallback);
  }

  static TFit Fit(const pugi::xml_node& node, TFit fallback) {
    return Choice(node, "fit", {{"shrink", TFit::Shrink}, {"name", TFit::Name}, {"elide", TFit::Elide}}, fallback);
  }

  static TCondition Condition(const pugi::xml_node& node) {
    return {Q(node.attribute("when").value()), Q(node.attribute("unless").value())};
  }

  static std::vector<QString> Keys(const pugi::xml_node& node) {
    auto keys = ExpandKeys(Required(node, "keys"));
    if (!keys) throw TFault{node, std::string("keys=\"") + node.attribute("keys").value() + "\" cannot be read"};
    return *keys;
  }

  QString FontName(const pugi::xml_node& node, const char* attribute) const {
    const QString name = Q(node.attribute(attribute).value());
    if (!name.isEmpty() && !Project_.Fonts.count(name)) {
      throw TFault{node, "the font \"" + name.toStdString() + "\" is not defined"};
    }
    return name;
  }

  void ReadFont(const pugi::xml_node& node) {
    Attributes(node, {"name", "family", "size", "bold", "italic", "condensed"});
    TFontStyle font;
    font.Family = Required(node, "family");
    font.Size = Number(node, "size", 8);
    if (font.Size < 4 || font.Size > 72) throw TFault{node, "a font size is from 4 to 72 points"};
    font.Bold = Flag(node, "bold");
    font.Italic = Flag(node, "italic");
    font.Condensed = Flag(node, "condensed");
    Project_.Fonts[Required(node, "name")] = font;
  }

  void ReadReport(const pugi::xml_node& node) {
    Attributes(node, {"name", "margin", "font"});
    TReportLayout report;
    report.Name = Required(node, "name");
    report.Margin = Number(node, "margin", 10);
    report.Font = FontName(node, "font");
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = child.name();
      if (name == "pageheader" || name == "pagefooter") {
        Attributes(child, {"h"});
        (name == "pageheader" ? report.PageHeader : report.PageFooter) = ReadBlock(child);
      } else if (name == "body") {
        Attributes(child, {});
        ReadBody(child, report);
      } else {
        throw TFault{child, "unknown element <" + std::string(name) + "> in <report>"};
      }
    }
    Project_.Reports[report.Name] = std::move(report);
  }

  void ReadBody(const pugi::xml_node& body, TReportLayout& report) {
    for (const pugi::xml_node& node : body.children()) {
      if (node.type() != pugi::node_element) continue;
      const std::string_view name = node.name();
      if (name == "block") {
        Attributes(node, {"h", "keepnext"});
        report.Body.emplace_back(ReadBlock(node));
      } else if (name == "use") {
        Attributes(node, {"band", "keepnext"});
        TBlock block = Band(node);
        block.KeepWithNext = Flag(node, "keepnext");
        report.Body.emplace_back(std::move(block));
      } else if (name == "space") {
        Attributes(node, {"h"});
        report.Body.emplace_back(TSpace{Number(node, "h", 0)});
      } else if (name == "table") {
        report.Body.emplace_back(ReadTable(node));
      } else {
        throw TFault{node, "unknown element <" + std::string(name) + "> in <body>"};
      }
    }
  }

  TBlock Band(const pugi::xml_node& node) const {
    const auto band = Bands_.find(Required(node, "band"));
    if (band == Bands_.end())
      throw TFault{node, std::string("the band \"") + node.attribute("band").value() + "\" is not defined"};
    return band->second;
  }

  // The items of a band, a block or a page band; <use> takes in a band defined before.
  TBlock ReadBlock(const pugi::xml_node& node) {
    TBlock block;
    block.Height = Number(node, "h", 0);
    block.KeepWithNext = Flag(node, "keepnext");
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      if (std::string_view(child.name()) == "use") {
        Attributes(child, {"band"});
        TBlock band = Band(child);
        block.Items.insert(block.Items.end(), band.Items.begin(), band.Items.end());
        block.Height = std::max(block.Height, band.Height);
      } else {
        block.Items.push_back(ReadItem(child));
      }
    }
    return block;
  }

  // Where an item stands: x, y, w (to the right edge when not given) and h.
  template <class T>
  static void Box(const pugi::xml_node& node, double height, T& item) {
    item.X = Length(node, "x");
    item.Y = Number(node, "y", 0);
    item.Width = Length(node, "w", kToEdge);
    item.Height = Number(node, "h", height);
    item.Condition = Condition(node);
  }

  TItem ReadItem(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    if (name == "text") {
      Attributes(node, {"x", "y", "w", "h", "font", "align", "valign", "wrap", "fit", "color", "when", "unless"});
      TTextItem text;
      Box(node, 5, text);
      text.Font = FontName(node, "font");
      text.Align = HAlign(node, THAlign::Left);
      text.VAlign =
          Choice(node, "valign", {{"top", TVAlign::Top}, {"middle", TVAlign::Middle}, {"bottom", TVAlign::Bottom}},
                 TVAlign::Middle);
      text.Wrap = Flag(node, "wrap");
      text.Fit = Fit(node, TFit::Shrink);
      text.Color = Colour(node, "color").value_or(Qt::black);
      text.Template = Q(node.child_value());
      return text;
    }
    if (name == "line") {
      Attributes(node, {"x1", "y1", "x2", "y2", "width", "color", "when", "unless"});
      TLineItem line;
      line.X1 = Length(node, "x1");
      line.X2 = Length(node, "x2");
      line.Y1 = Number(node, "y1", 0);
      line.Y2 = Number(node, "y2", line.Y1);
      line.Width = Number(node, "width", 0.2);
      line.Color = Colour(node, "color").value_or(Qt::black);
      line.Condition = Condition(node);
      return line;
    }
    if (name == "rect") {
      Attributes(node, {"x", "y", "w", "h", "fill", "border", "width", "when", "unless"});
      TRectItem rect;
      Box(node, 5, rect);
      rect.Fill = Colour(node, "fill");
      rect.Border = Colour(node, "border").value_or(Qt::black);
      rect.BorderWidth = Number(node, "width", 0);
      return rect;
    }
    if (name == "picture") {
      Attributes(node, {"x", "y", "w", "h", "source", "align", "when", "unless"});
      TPictureItem picture;
      Box(node, 10, picture);
      picture.Source = Required(node, "source");
      picture.Align = HAlign(node, THAlign::Left);
      return picture;
    }
    if (name == "repeat") {
      Attributes(node, {"keys", "x", "y", "w", "dx", "dy", "align", "when", "unless"});
      auto repeat = std::make_shared<TRepeatItem>();
      repeat->Keys = Keys(node);
      repeat->X = Length(node, "x");
      repeat->Y = Number(node, "y", 0);
      repeat->Width = Length(node, "w", kToEdge);
      repeat->DX = Number(node, "dx", 0);
      repeat->DY = Number(node, "dy", 0);
      if (node.attribute("align")) repeat->Align = HAlign(node, THAlign::Left);
      repeat->Condition = Condition(node);
      for (const pugi::xml_node& child : node.children()) {
        if (child.type() == pugi::node_element) repeat->Items.push_back(ReadItem(child));
      }
      return repeat;
    }
    throw TFault{node, "unknown item <" + std::string(name) + ">"};
  }

  TTable ReadTable(const pugi::xml_node& node) {
    Attributes(node, {"x", "w", "font", "headfont", "groupfont", "rowh", "pad", "vpad", "stripe", "headfill",
                      "groupfill", "headrule", "continued"});
    TTable table;
    table.X = Length(node, "x");
    table.Width = Length(node, "w", kToEdge);
    table.Font = FontName(node, "font");
    table.HeadFont = FontName(node, "headfont");
    table.GroupFont = FontName(node, "groupfont");
    table.RowHeight = Number(node, "rowh", 4);
    table.Padding = Number(node, "pad", 0.8);
    table.VerticalPadding = Number(node, "vpad", 0.4);
    table.Stripe = Colour(node, "stripe");
    table.HeadFill = Colour(node, "headfill");
    table.GroupFill = Colour(node, "groupfill");
    table.HeadRule = Number(node, "headrule", 0.3);
    table.Continued = Q(node.attribute("continued").value());
    std::set<QString> ids;
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      const std::string_view name = child.name();
      if (name == "column") {
        Attributes(child, {"id", "w", "align", "wrap", "fit", "head"});
        TColumn column;
        column.Id = Q(child.attribute("id").value());
        if (!column.Id.isEmpty() && !ids.insert(column.Id).second) throw TFault{child, "two columns have one id"};
        if (std::string_view(child.attribute("w").value()) != "*") column.Width = Length(child, "w", {10, false});
        column.Align = HAlign(child, THAlign::Left);
        column.Wrap = Flag(child, "wrap");
        column.Fit = Fit(child, TFit::Elide);
        column.Head = Q(child.attribute("head").value());
        column.Template = Q(child.child_value());
        table.Columns.push_back(std::move(column));
      } else if (name == "rows") {
        Attributes(child, {"source", "keys", "group", "when", "unless"});
        TRowSource rows;
        rows.Connection = Q(child.attribute("source").value());
        if (rows.Connection.isEmpty() == !child.attribute("keys")) {
          throw TFault{child, "<rows> takes either a source or keys"};
        }
        if (child.attribute("keys")) rows.Keys = Keys(child);
        rows.Group = Q(child.attribute("group").value());
        rows.Condition = Condition(child);
        table.Parts.emplace_back(std::move(rows));
      } else if (name == "row") {
        table.Parts.emplace_back(ReadFixedRow(child, ids));
      } else {
        throw TFault{child, "unknown element <" + std::string(name) + "> in <table>"};
      }
    }
    if (table.Columns.empty()) throw TFault{node, "a table needs columns"};
    return table;
  }

  TFixedRow ReadFixedRow(const pugi::xml_node& node, const std::set<QString>& ids) {
    Attributes(node, {"key", "font", "fill", "ruleabove", "when", "unless"});
    TFixedRow row;
    if (node.attribute("key")) row.Key = Q(node.attribute("key").value());
    row.Font = FontName(node, "font");
    row.Fill = Colour(node, "fill");
    row.RuleAbove = Number(node, "ruleabove", 0);
    row.Condition = Condition(node);
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      if (std::string_view(child.name()) != "cell") throw TFault{child, "a <row> holds <cell> elements"};
      Attributes(child, {"col", "span", "align"});
      TCell cell;
      cell.Column = Required(child, "col");
      if (!ids.count(cell.Column)) throw TFault{child, "no column has the id \"" + cell.Column.toStdString() + "\""};
      cell.Span = static_cast<int>(Number(child, "span", 1));
      if (cell.Span < 1) throw TFault{child, "a cell spans one column or more"};
      if (child.attribute("align")) cell.Align = HAlign(child, THAlign::Left);
      cell.Template = Q(child.child_value());
      row.Cells.push_back(std::move(cell));
    }
    return row;
  }

  TProject& Project_;
  std::map<QString, TBlock> Bands_;
};

int LineOf(std::string_view text, std::ptrdiff_t offset) {
  if (offset < 0) return 0;
  const auto end = text.begin() + std::min<std::ptrdiff_t>(offset, static_cast<std::ptrdiff_t>(text.size()));
  return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

}  // namespace

std::optional<std::vector<QString>> ExpandKeys(const QString& keys) {
  static const QRegularExpression kRange(QStringLiteral("^([A-Za-z_]*)(\\d+)-\\1(\\d+)$"));
  std::vector<QString> expanded;
  for (const QString& part : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QRegularExpressionMatch range = kRange.match(part);
    if (!range.hasMatch()) {
      if (part.contains(QLatin1Char('-'))) return std::nullopt;
      expanded.push_back(part);
      continue;
    }
    const int from = range.captured(2).toInt();
    const int to = range.captured(3).toInt();
    if (to < from || to - from > 1000) return std::nullopt;
    for (int n = from; n <= to; ++n) expanded.push_back(range.captured(1) + QString::number(n));
  }
  return expanded;
}

TResult<TProject> ParseProject(std::string_view text, const std::string& fileName) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size());
  if (!parsed) {
    return TError{"El proyecto de informes \"" + fileName + "\" está dañado (línea " +
                  std::to_string(LineOf(text, parsed.offset)) + "): " + parsed.description()};
  }
  TProject project;
  try {
    TReader(project).ReadProject(document.document_element());
  } catch (const TFault& fault) {
    return TError{"El proyecto de informes \"" + fileName + "\" está dañado (línea " +
                  std::to_string(LineOf(text, fault.Node.offset_debug())) + "): " + fault.Text};
  }
  return project;
}

TResult<TProject> LoadProject(const std::filesystem::path& file) {
  // Layouts are small; anything larger is not one.
  auto text = ReadRegularFile(file, 4 * 1024 * 1024);
  if (!text) return TError{"No se puede leer el proyecto de informes: " + text.Error()};
  return ParseProject(text.Value(), file.filename().string());
}

}  // namespace velmora::report

#pragma once
// A report project as read from its file: fonts, shared bands and the reports with their page
// bands and body. Lengths are millimetres; a horizontal length may be a share of its container.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <QColor>
#include <QString>

namespace velmora::report {

// A horizontal position or width: millimetres, or a percentage of the container's width.
struct TLength {
  double Value = 0;
  bool Percent = false;
  double Resolve(double containerWidth) const { return Percent ? Value * containerWidth / 100 : Value; }
};
// A width that reaches the right edge of the container.
inline constexpr TLength kToEdge{-1, false};

enum class THAlign { Left, Center, Right };
enum class TVAlign { Top, Middle, Bottom };
// How a text too wide for its box is fitted: the font shrinks (not below 7 pt), then the text is
// cut with an ellipsis; a name first gives its leading words as initials.
enum class TFit { Shrink, Name, Elide };

struct TFontStyle {
  QString Family;
  double Size = 8;  // points
  bool Bold = false;
  bool Italic = false;
  bool Condensed = false;
};

// Printed only when the parameter (or column) named by `When` has a text (more than blanks) and
// the one named by `Unless` has none; both may hold the row key "$".
struct TCondition {
  QString When;
  QString Unless;
};

struct TTextItem {
  TLength X, Width = kToEdge;
  double Y = 0, Height = 0;
  QString Font;
  THAlign Align = THAlign::Left;
  TVAlign VAlign = TVAlign::Middle;
  bool Wrap = false;
  TFit Fit = TFit::Shrink;
  QColor Color = Qt::black;
  QString Template;
  TCondition Condition;
};

struct TLineItem {
  TLength X1, X2;
  double Y1 = 0, Y2 = 0;
  double Width = 0.2;
  QColor Color = Qt::black;
  TCondition Condition;
};

struct TRectItem {
  TLength X, Width = kToEdge;
  double Y = 0, Height = 0;
  std::optional<QColor> Fill;
  QColor Border = Qt::black;
  double BorderWidth = 0;  // no frame when 0
  TCondition Condition;
};

struct TPictureItem {
  TLength X, Width = kToEdge;
  double Y = 0, Height = 0;
  QString Source;  // a picture the report is given: "header", "footer", "logo", ...
  THAlign Align = THAlign::Left;
  TCondition Condition;
};

struct TRepeatItem;
using TItem = std::variant<TTextItem, TLineItem, TRectItem, TPictureItem, std::shared_ptr<TRepeatItem>>;

// Its items once per key that passes the condition, each time moved on by (DX, DY); with an
// alignment the whole run is placed inside Width.
struct TRepeatItem {
  std::vector<QString> Keys;
  TLength X, Width = kToEdge;
  double Y = 0, DX = 0, DY = 0;
  std::optional<THAlign> Align;
  TCondition Condition;
  std::vector<TItem> Items;
};

struct TBlock {
  double Height = 0;
  bool KeepWithNext = false;  // starts a new page unless the next table's first row fits below it
  std::vector<TItem> Items;
};

struct TColumn {
  QString Id;
  std::optional<TLength> Width;  // none: the column takes what the others leave
  THAlign Align = THAlign::Left;
  bool Wrap = false;
  TFit Fit = TFit::Elide;
  QString Head;
  QString Template;
};

struct TCell {
  QString Column;  // id of the first column it covers
  int Span = 1;
  std::optional<THAlign> Align;
  QString Template;
};

// Rows of a data connection, or of parameter places (one per key).
struct TRowSource {
  QString Connection;
  std::vector<QString> Keys;
  TCondition Condition;
  QString Group;  // a band across the table whenever this text changes
};

// One row of its own: with a key it prints the columns' texts for that key where it gives no cell.
struct TFixedRow {
  std::optional<QString> Key;
  QString Font;
  std::optional<QColor> Fill;
  double RuleAbove = 0;
  TCondition Condition;
  std::vector<TCell> Cells;
};

struct TTable {
  TLength X, Width = kToEdge;
  QString Font, HeadFont, GroupFont;
  double RowHeight = 4;
  double Padding = 0.8;          // left and right in every cell
  double VerticalPadding = 0.4;  // above and below the lines of a row
  std::optional<QColor> Stripe, HeadFill, GroupFill;
  double HeadRule = 0.3;
  QString Continued;  // a band above the heads on every page the table goes on to
  std::vector<TColumn> Columns;
  std::vector<std::variant<TRowSource, TFixedRow>> Parts;
};

struct TSpace {
  double Height = 0;
};

using TBodyElement = std::variant<TBlock, TTable, TSpace>;

struct TReportLayout {
  QString Name;
  double Margin = 10;
  QString Font;  // the default of its texts and tables
  TBlock PageHeader;
  TBlock PageFooter;
  std::vector<TBodyElement> Body;
};

struct TProject {
  std::map<QString, TFontStyle> Fonts;
  std::map<QString, TReportLayout> Reports;
};

}  // namespace velmora::report

#include "reports/engine/table_layout.h"

#include <algorithm>

namespace velmora::report {

namespace {

class TTablePreparer {
 public:
  TTablePreparer(const TTable& table, double containerWidth, const TTemplateSource& source, TFontBook& book)
      : Table_(table), Source_(source), Book_(book) {
    Result_.Left = table.X.Resolve(containerWidth);
    Result_.Width = ExtentOf(table.Width, Result_.Left, containerWidth);
    Result_.Padding = table.Padding;
    double fixed = 0;
    int flexible = 0;
    for (const TColumn& column : table.Columns) {
      if (column.Width) {
        fixed += column.Width->Resolve(Result_.Width);
      } else {
        ++flexible;
      }
    }
    const double share = flexible ? std::max(5.0, (Result_.Width - fixed) / flexible) : 0;
    double x = 0;
    for (const TColumn& column : table.Columns) {
      const double width = column.Width ? column.Width->Resolve(Result_.Width) : share;
      X_.push_back(x);
      Widths_.push_back(width);
      x += width;
    }
  }

  TPreparedTable Run() {
    const int headFont = Book_.Font(Table_.HeadFont.isEmpty() ? Table_.Font : Table_.HeadFont);
    std::vector<TCellText> heads;
    for (const TColumn& column : Table_.Columns) {
      heads.push_back({Source_.Expand(column.Head, {}, {}), column.Align, true});
    }
    Result_.Head = Row(heads, headFont, Table_.HeadFill.value_or(QColor()));
    Result_.Head.RuleBelow = Table_.HeadRule;
    if (!Table_.Continued.isEmpty()) Result_.Continued = Band(Source_.Expand(Table_.Continued, {}, {}));
    for (const auto& part : Table_.Parts) {
      if (const auto* rows = std::get_if<TRowSource>(&part)) {
        Source(*rows);
      } else {
        Fixed(std::get<TFixedRow>(part));
      }
    }
    return std::move(Result_);
  }

 private:
  struct TCellText {
    QString Text;
    THAlign Align = THAlign::Left;
    bool Wrap = false;
    TFit Fit = TFit::Elide;
    bool Covered = false;  // by a cell to its left that spans it
  };

  TPreparedRow Row(const std::vector<TCellText>& texts, int font, QColor fill) {
    TPreparedRow row;
    row.Fill = fill;
    row.LineHeight = Book_.LineHeight(font);
    std::size_t most = 1;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (texts[i].Covered) continue;
      TPreparedCell cell;
      cell.X = X_[i];
      cell.Width = Widths_[i];
      for (std::size_t covered = 1; i + covered < texts.size() && texts[i + covered].Covered; ++covered) {
        cell.Width += Widths_[i + covered];
      }
      cell.Align = AlignOf(texts[i].Align);
      const double room = std::max(1.0, cell.Width - 2 * Table_.Padding);
      for (const QString& line : SplitLines(texts[i].Text)) {
        for (const QString& part : texts[i].Wrap ? Book_.Wrap(line, font, room) : QStringList{line}) {
          const TFontBook::TFitted fitted = Book_.Fit(part, font, room, texts[i].Wrap ? TFit::Elide : texts[i].Fit);
          cell.Lines.emplace_back(fitted.Text, fitted.Font);
        }
      }
      most = std::max(most, cell.Lines.size());
      row.Cells.push_back(std::move(cell));
    }
    row.Height = std::max(Table_.RowHeight, static_cast<double>(most) * row.LineHeight + 2 * Table_.VerticalPadding);
    return row;
  }

  // A row across the table in the group font.
  TPreparedRow Band(const QString& text) {
    std::vector<TCellText> band(Table_.Columns.size());
    for (std::size_t i = 1; i < band.size(); ++i) band[i].Covered = true;
    band[0].Text = text;
    TPreparedRow row = Row(band, Book_.Font(Table_.GroupFont.isEmpty() ? Table_.HeadFont : Table_.GroupFont),
                           Table_.GroupFill.value_or(QColor()));
    row.Group = true;
    return row;
  }

  // The cell texts of the columns for the key or the connection's row.
  std::vector<TCellText> ColumnTexts(const QString& key, const TRowContext& context) const {
    std::vector<TCellText> texts;
    for (const TColumn& column : Table_.Columns) {
      texts.push_back({Source_.Expand(column.Template, key, context), column.Align, column.Wrap, column.Fit});
    }
    return texts;
  }

  void Source(const TRowSource& rows) {
    const int font = Book_.Font(Table_.Font);
    const auto add = [&](const QString& key, const TRowContext& context) {
      if (!Source_.Passes(rows.Condition, key, context)) return;
      if (!rows.Group.isEmpty()) {
        const QString group = Source_.Expand(rows.Group, key, context);
        if (group != Group_) {
          Group_ = group;
          Result_.Rows.push_back(Band(group));
        }
      }
      const bool striped = Table_.Stripe && Striped_++ % 2 == 1;
      Result_.Rows.push_back(Row(ColumnTexts(key, context), font, striped ? *Table_.Stripe : QColor()));
    };
    if (rows.Connection.isEmpty()) {
      for (const QString& key : rows.Keys) add(key, {});
      return;
    }
    const TConnectionRows& connection = Source_.Connection(rows.Connection);
    for (const std::vector<std::string>& values : connection.Rows) add({}, TRowContext{&connection.Columns, &values});
  }

  void Fixed(const TFixedRow& fixed) {
    const QString key = fixed.Key.value_or(QString());
    if (!Source_.Passes(fixed.Condition, key, {})) return;
    std::vector<TCellText> texts = fixed.Key ? ColumnTexts(key, {}) : std::vector<TCellText>(Table_.Columns.size());
    for (const TCell& cell : fixed.Cells) {
      const auto column = std::find_if(Table_.Columns.begin(), Table_.Columns.end(),
                                       [&](const TColumn& c) { return c.Id == cell.Column; });
      const std::size_t first = static_cast<std::size_t>(column - Table_.Columns.begin());
      texts[first] = {Source_.Expand(cell.Template, key, {}), cell.Align.value_or(column->Align), column->Wrap,
                      column->Fit};
      for (std::size_t covered = 1; covered < static_cast<std::size_t>(cell.Span) && first + covered < texts.size();
           ++covered) {
        texts[first + covered].Covered = true;
      }
    }
    const int font = Book_.Font(fixed.Font.isEmpty() ? Table_.Font : fixed.Font);
    TPreparedRow row = Row(texts, font, fixed.Fill.value_or(QColor()));
    row.RuleAbove = fixed.RuleAbove;
    Result_.Rows.push_back(std::move(row));
  }

  const TTable& Table_;
  const TTemplateSource& Source_;
  TFontBook& Book_;
  std::vector<double> X_;
  std::vector<double> Widths_;
  TPreparedTable Result_;
  QString Group_;
  int Striped_ = 0;
};

}  // namespace

double TPreparedTable::FirstRowsHeight() const {
  double height = Head.Height;
  if (!Rows.empty()) height += Rows[0].Height;
  if (Rows.size() > 1 && Rows[0].Group) height += Rows[1].Height;
  return height;
}

TPreparedTable PrepareTable(const TTable& table, double containerWidth, const TTemplateSource& source,
                            TFontBook& book) {
  return TTablePreparer(table, containerWidth, source, book).Run();
}

double DrawRow(const TPreparedRow& row, const TPreparedTable& table, double left, double y, std::vector<TRun>& out) {
  const double x = left + table.Left;
  if (row.Fill.isValid()) out.emplace_back(TRectRun{QRectF(x, y, table.Width, row.Height), row.Fill, {}, 0});
  if (row.RuleAbove > 0) out.emplace_back(TLineRun{QPointF(x, y), QPointF(x + table.Width, y), row.RuleAbove});
  for (const TPreparedCell& cell : row.Cells) {
    double lineTop = y + (row.Height - static_cast<double>(cell.Lines.size()) * row.LineHeight) / 2;
    for (const auto& [text, font] : cell.Lines) {
      if (!text.isEmpty()) {
        out.emplace_back(
            TTextRun{QRectF(x + cell.X + table.Padding, lineTop, cell.Width - 2 * table.Padding, row.LineHeight), text,
                     font, cell.Align});
      }
      lineTop += row.LineHeight;
    }
  }
  if (row.RuleBelow > 0) {
    out.emplace_back(TLineRun{QPointF(x, y + row.Height), QPointF(x + table.Width, y + row.Height), row.RuleBelow});
  }
  return row.Height;
}

}  // namespace velmora::report

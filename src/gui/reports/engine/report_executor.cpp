#include "reports/engine/report_executor.h"

#include <QHash>

#include "records/game_time.h"
#include "reports/engine/font_book.h"
#include "reports/engine/table_layout.h"

namespace velmora::report {

namespace {

constexpr double kA4Short = 210;
constexpr double kA4Long = 297;
// Stands for the page count until the last page is known.
constexpr QChar kPagesMark(0xE000);

struct TExecutionError {
  std::string Text;
};

template <class... T>
struct TOverloaded : T... {
  using T::operator()...;
};
// Clang before 17 deduces no aggregate's template arguments by itself.
template <class... T>
TOverloaded(T...) -> TOverloaded<T...>;

class TExecutor final : public TTemplateSource {
 public:
  TExecutor(const TProject& project, const TReportLayout& layout, const TReportInput& input)
      : Layout_(layout), Input_(input), Book_(project.Fonts, layout.Font) {
    for (const auto& [name, text] : input.Parameters) {
      Parameters_.insert(QString::fromStdString(name), QString::fromStdString(text));
    }
    const bool landscape = input.Orientation == TReportOrientation::Landscape;
    Stream_.Orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    Stream_.PageSize = landscape ? QSizeF(kA4Long, kA4Short) : QSizeF(kA4Short, kA4Long);
    Content_ = QRectF(layout.Margin, layout.Margin, Stream_.PageSize.width() - 2 * layout.Margin,
                      Stream_.PageSize.height() - 2 * layout.Margin);
    BodyTop_ = Content_.top() + layout.PageHeader.Height;
    BodyBottom_ = Content_.bottom() - layout.PageFooter.Height;
  }

  TPageStream Run() {
    std::vector<std::optional<TPreparedTable>> tables;
    for (const TBodyElement& element : Layout_.Body) {
      const TTable* table = std::get_if<TTable>(&element);
      tables.push_back(table ? std::optional(PrepareTable(*table, Content_.width(), *this, Book_)) : std::nullopt);
    }
    NewPage();
    for (std::size_t i = 0; i < Layout_.Body.size(); ++i) {
      std::visit(TOverloaded{
                     [&](const TBlock& block) {
                       double needed = block.Height;
                       if (block.KeepWithNext && i + 1 < tables.size() && tables[i + 1]) {
                         needed += tables[i + 1]->FirstRowsHeight();
                       }
                       if (Y_ + needed > BodyBottom_ && Y_ > BodyTop_) NewPage();
                       Items(block.Items, Content_.left(), Y_, Content_.width(), {}, Page().Runs);
                       Y_ += block.Height;
                     },
                     [&](const TTable&) { FlowTable(*tables[i]); },
                     [&](const TSpace& space) {
                       Y_ += space.Height;
                       if (Y_ >= BodyBottom_) NewPage();
                     },
                 },
                 Layout_.Body[i]);
    }
    FinishPages();
    Stream_.Fonts = Book_.Fonts();
    return std::move(Stream_);
  }

  QString Lookup(const QString& name, const TRowContext& row) const override {
    if (row.Columns) {
      for (std::size_t i = 0; i < row.Columns->size(); ++i) {
        if (QString::fromStdString((*row.Columns)[i].Name) == name) return QString::fromStdString((*row.Values)[i]);
      }
    }
    if (name == QLatin1String("#page")) return QString::number(PageNumber_);
    if (name == QLatin1String("#pages")) return QString(kPagesMark);
    if (name.startsWith(QLatin1String("#roman:"))) {
      return QString::fromStdString(RomanNumeral(name.mid(7).toInt()));
    }
    return Parameters_.value(name);
  }

  const TConnectionRows& Connection(const QString& name) const override {
    for (const auto& [connectionName, rows] : Input_.Connections) {
      if (QString::fromStdString(connectionName) == name) return rows;
    }
    throw TExecutionError{"el informe no tiene la conexión de datos \"" + name.toStdString() + "\""};
  }

 private:
  TRecordedPage& Page() { return Stream_.Pages.back(); }

  void NewPage() {
    Stream_.Pages.emplace_back();
    Y_ = BodyTop_;
  }

  void FlowTable(const TPreparedTable& table) {
    bool headOnPage = false;
    bool continued = false;
    const auto heads = [&] { return table.Head.Height + (continued && table.Continued ? table.Continued->Height : 0); };
    for (std::size_t i = 0; i < table.Rows.size(); ++i) {
      double needed = table.Rows[i].Height + (headOnPage ? 0 : heads());
      // A band stays with the row it opens.
      if (table.Rows[i].Group && i + 1 < table.Rows.size()) needed += table.Rows[i + 1].Height;
      if (Y_ + needed > BodyBottom_ && Y_ > BodyTop_) {
        NewPage();
        headOnPage = false;
        continued = i > 0;
      }
      if (!headOnPage) {
        if (continued && table.Continued) Y_ += Draw(*table.Continued, table);
        Y_ += Draw(table.Head, table);
        headOnPage = true;
      }
      Y_ += Draw(table.Rows[i], table);
    }
    if (table.Rows.empty() && Y_ + table.Head.Height <= BodyBottom_) Y_ += Draw(table.Head, table);
  }

  double Draw(const TPreparedRow& row, const TPreparedTable& table) {
    return DrawRow(row, table, Content_.left(), Y_, Page().Runs);
  }

  // The page bands, once the page count is known.
  void FinishPages() {
    const QString pages = QString::number(Stream_.PageCount());
    for (std::size_t index = 0; index < Stream_.Pages.size(); ++index) {
      PageNumber_ = static_cast<int>(index) + 1;
      std::vector<TRun> bands;
      Items(Layout_.PageHeader.Items, Content_.left(), Content_.top(), Content_.width(), {}, bands);
      Items(Layout_.PageFooter.Items, Content_.left(), BodyBottom_, Content_.width(), {}, bands);
      TRecordedPage& page = Stream_.Pages[index];
      page.Runs.insert(page.Runs.begin(), bands.begin(), bands.end());
      for (TRun& run : page.Runs) {
        if (auto* text = std::get_if<TTextRun>(&run)) text->Text.replace(kPagesMark, pages);
      }
    }
  }

  int Picture(const QString& source) {
    if (const auto known = Images_.find(source); known != Images_.end()) return known->second;
    const auto picture = Input_.Pictures.find(source);
    if (picture == Input_.Pictures.end()) {
      throw TExecutionError{"el informe no tiene la imagen \"" + source.toStdString() + "\""};
    }
    Stream_.Images.push_back(picture->second);
    return Images_[source] = static_cast<int>(Stream_.Images.size() - 1);
  }

  void Items(const std::vector<TItem>& items, double left, double top, double width, const QString& key,
             std::vector<TRun>& out) {
    for (const TItem& item : items) {
      std::visit(
          TOverloaded{
              [&](const TTextItem& text) {
                if (Passes(text.Condition, key, {})) Text(text, left, top, width, key, out);
              },
              [&](const TLineItem& line) {
                if (!Passes(line.Condition, key, {})) return;
                out.emplace_back(TLineRun{QPointF(left + line.X1.Resolve(width), top + line.Y1),
                                          QPointF(left + line.X2.Resolve(width), top + line.Y2), line.Width,
                                          line.Color});
              },
              [&](const TRectItem& rect) {
                if (!Passes(rect.Condition, key, {})) return;
                const double x = rect.X.Resolve(width);
                out.emplace_back(TRectRun{QRectF(left + x, top + rect.Y, ExtentOf(rect.Width, x, width), rect.Height),
                                          rect.Fill.value_or(QColor()), rect.Border, rect.BorderWidth});
              },
              [&](const TPictureItem& picture) {
                if (Passes(picture.Condition, key, {})) Place(picture, left, top, width, out);
              },
              [&](const std::shared_ptr<TRepeatItem>& repeat) { Repeat(*repeat, left, top, width, out); },
          },
          item);
    }
  }

  void Text(const TTextItem& item, double left, double top, double width, const QString& key, std::vector<TRun>& out) {
    const double x = left + item.X.Resolve(width);
    const double w = ExtentOf(item.Width, item.X.Resolve(width), width);
    const int font = Book_.Font(item.Font);
    const double lineHeight = Book_.LineHeight(font);
    QStringList lines;
    for (const QString& line : SplitLines(Expand(item.Template, key, {}))) {
      lines << (item.Wrap ? Book_.Wrap(line, font, w) : QStringList{line});
    }
    const qsizetype room = std::max<qsizetype>(1, static_cast<qsizetype>(item.Height / lineHeight + 0.01));
    if (item.Wrap && lines.size() > room) {
      lines.resize(room);
      lines.back() += QStringLiteral(" …");
    }
    const double height = static_cast<double>(lines.size()) * lineHeight;
    double y = top + item.Y;
    if (item.VAlign == TVAlign::Middle) y += (item.Height - height) / 2;
    if (item.VAlign == TVAlign::Bottom) y += item.Height - height;
    for (const QString& line : lines) {
      if (!line.isEmpty()) {
        const TFontBook::TFitted fitted = Book_.Fit(line, font, w, item.Wrap ? TFit::Elide : item.Fit);
        out.emplace_back(
            TTextRun{QRectF(x, y, w, lineHeight), fitted.Text, fitted.Font, AlignOf(item.Align), item.Color});
      }
      y += lineHeight;
    }
  }

  void Place(const TPictureItem& item, double left, double top, double width, std::vector<TRun>& out) {
    const int index = Picture(item.Source);
    const QImage& image = Stream_.Images[static_cast<std::size_t>(index)];
    const double x = item.X.Resolve(width);
    const QRectF box(left + x, top + item.Y, ExtentOf(item.Width, x, width), item.Height);
    if (image.isNull() || box.isEmpty()) return;
    const double aspect = static_cast<double>(image.width()) / image.height();
    QSizeF size(box.height() * aspect, box.height());
    if (size.width() > box.width()) size = QSizeF(box.width(), box.width() / aspect);
    const double free = box.width() - size.width();
    const double dx = item.Align == THAlign::Left ? 0 : item.Align == THAlign::Center ? free / 2 : free;
    out.emplace_back(
        TImageRun{QRectF(QPointF(box.left() + dx, box.top() + (box.height() - size.height()) / 2), size), index});
  }

  void Repeat(const TRepeatItem& repeat, double left, double top, double width, std::vector<TRun>& out) {
    std::vector<QString> keys;
    for (const QString& key : repeat.Keys) {
      if (Passes(repeat.Condition, key, {})) keys.push_back(key);
    }
    const double x = repeat.X.Resolve(width);
    const double room = ExtentOf(repeat.Width, x, width);
    double start = left + x;
    if (repeat.Align && repeat.DX > 0) {
      const double free = room - repeat.DX * static_cast<double>(keys.size());
      start += *repeat.Align == THAlign::Left ? 0 : *repeat.Align == THAlign::Center ? free / 2 : free;
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const double step = static_cast<double>(i);
      Items(repeat.Items, start + step * repeat.DX, top + repeat.Y + step * repeat.DY, repeat.DX > 0 ? repeat.DX : room,
            keys[i], out);
    }
  }

  const TReportLayout& Layout_;
  const TReportInput& Input_;
  TFontBook Book_;
  QHash<QString, QString> Parameters_;
  TPageStream Stream_;
  std::map<QString, int> Images_;
  QRectF Content_;
  double BodyTop_ = 0;
  double BodyBottom_ = 0;
  double Y_ = 0;
  int PageNumber_ = 0;
};

}  // namespace

TReportInput InputOf(const TReportData& data, std::map<QString, QImage> pictures) {
  return {data.Orientation, data.Parameters(), data.PullConnections(), std::move(pictures)};
}

TResult<TPageStream> ExecuteReport(const TProject& project, const QString& reportName, const TReportInput& input) {
  const auto layout = project.Reports.find(reportName);
  if (layout == project.Reports.end()) {
    return TError{"El proyecto de informes no contiene el informe \"" + reportName.toStdString() + "\"."};
  }
  try {
    return TExecutor(project, layout->second, input).Run();
  } catch (const TExecutionError& error) {
    return TError{"No se puede generar el informe \"" + reportName.toStdString() + "\": " + error.Text + "."};
  }
}

}  // namespace velmora::report

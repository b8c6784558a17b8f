#include "reports/engine/font_book.h"

#include <cmath>
#include <utility>

namespace velmora::report {

namespace {

constexpr double kMeasureDpi = 1200;
constexpr double kMillimetresPerDot = 25.4 / kMeasureDpi;

}  // namespace

TFontBook::TFontBook(const std::map<QString, TFontStyle>& styles, const QString& defaultFont)
    : Styles_(styles), Default_(defaultFont), Measure_(1, 1, QImage::Format_ARGB32) {
  const int dotsPerMetre = static_cast<int>(std::lround(kMeasureDpi / 0.0254));
  Measure_.setDotsPerMeterX(dotsPerMetre);
  Measure_.setDotsPerMeterY(dotsPerMetre);
}

int TFontBook::Font(const QString& name, double points) {
  const QString key = name.isEmpty() ? Default_ : name;
  const auto style = Styles_.find(key);
  const TFontStyle base = style != Styles_.end() ? style->second : TFontStyle{QStringLiteral("DejaVu Sans")};
  if (points <= 0) points = base.Size;
  for (std::size_t i = 0; i < Entries_.size(); ++i) {
    if (Entries_[i].Name == key && Entries_[i].Points == points) return static_cast<int>(i);
  }
  QFont font(base.Family);
  font.setPointSizeF(points);
  font.setBold(base.Bold);
  font.setItalic(base.Italic);
  if (base.Condensed) font.setStretch(QFont::SemiCondensed);
  // Hinting would make widths depend on the resolution.
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::PreferOutline);
  Entries_.push_back({key, points, font, std::make_unique<QFontMetricsF>(font, &Measure_), {}});
  return static_cast<int>(Entries_.size() - 1);
}

double TFontBook::Width(int font, const QString& text) const {
  // A wrapped line is measured again when it is fitted, and names and labels recur on every page.
  const TEntry& entry = Entries_[static_cast<std::size_t>(font)];
  const auto known = entry.Widths.constFind(text);
  if (known != entry.Widths.constEnd()) return *known;
  const double width = entry.Metrics->horizontalAdvance(text) * kMillimetresPerDot;
  entry.Widths.insert(text, width);
  return width;
}

double TFontBook::LineHeight(int font) const {
  return Entries_[static_cast<std::size_t>(font)].Metrics->height() * kMillimetresPerDot;
}

QString TFontBook::Elided(const QString& text, int font, double width) const {
  return Entries_[static_cast<std::size_t>(font)].Metrics->elidedText(text, Qt::ElideRight, width / kMillimetresPerDot);
}

TFontBook::TFitted TFontBook::Fit(const QString& text, int font, double width, TFit fit) {
  if (Width(font, text) <= width) return {text, font};
  if (fit == TFit::Shrink) {
    // Copies: Font() may add entries.
    const QString name = Entries_[static_cast<std::size_t>(font)].Name;
    const double original = Entries_[static_cast<std::size_t>(font)].Points;
    for (double points = original - 0.5; points >= kSmallestPoints; points -= 0.5) {
      const int smaller = Font(name, points);
      if (Width(smaller, text) <= width) return {text, smaller};
    }
    font = Font(name, std::min(original, kSmallestPoints));
  } else if (fit == TFit::Name) {
    // "Juan Carlos Navarro", "J. Carlos Navarro", "J. C. Navarro".
    QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
      words[i] = words[i].left(1) + QLatin1Char('.');
      const QString shortened = words.join(QLatin1Char(' '));
      if (Width(font, shortened) <= width) return {shortened, font};
    }
    return {Elided(words.join(QLatin1Char(' ')), font, width), font};
  }
  return {Elided(text, font, width), font};
}

QStringList TFontBook::Wrap(const QString& text, int font, double width) const {
  const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  QStringList lines;
  QString line;
  for (qsizetype i = 0; i < words.size(); ++i) {
    if (line.isEmpty()) {
      // The words left that all fit make the last line: one measure, not one for every word added.
      QString rest = words.mid(i).join(QLatin1Char(' '));
      if (Width(font, rest) <= width) {
        line = std::move(rest);
        break;
      }
      line = words[i];
      continue;
    }
    QString longer = line + QLatin1Char(' ') + words[i];
    if (Width(font, longer) > width) {
      lines << line;
      line.clear();
      --i;  // the word starts the next line
    } else {
      line = std::move(longer);
    }
  }
  if (!line.isEmpty() || lines.isEmpty()) lines << line;
  return lines;
}

std::vector<QFont> TFontBook::Fonts() const {
  std::vector<QFont> fonts;
  for (const TEntry& entry : Entries_) fonts.push_back(entry.Font);
  return fonts;
}

QStringList SplitLines(const QString& text) {
  QString normal = text;
  normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return normal.split(QLatin1Char('\n'));
}

}  // namespace velmora::report

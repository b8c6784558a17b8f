#pragma once
// The fonts of one generation and the measuring of texts in millimetres, device-independent: the
// texts are measured at a fixed high resolution without hinting, so that a text that fits on
// paper fits in the preview too.

#include <map>
#include <memory>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QStringList>

#include "reports/engine/report_layout.h"

namespace velmora::report {

inline constexpr double kSmallestPoints = 7;

class TFontBook {
 public:
  // `defaultFont` names the font of texts that name none; a built-in one stands in when empty.
  TFontBook(const std::map<QString, TFontStyle>& styles, const QString& defaultFont);

  // The index of the project font (the default one for an empty name), at `points` when given.
  int Font(const QString& name, double points = 0);
  double Width(int font, const QString& text) const;
  double LineHeight(int font) const;

  // The text fitted into `width` as `fit` says; a shrunk text comes with a smaller font.
  struct TFitted {
    QString Text;
    int Font;
  };
  TFitted Fit(const QString& text, int font, double width, TFit fit);
  // The text broken at blanks into lines no wider than `width` (a longer word keeps its line).
  QStringList Wrap(const QString& text, int font, double width) const;

  std::vector<QFont> Fonts() const;

 private:
  struct TEntry {
    QString Name;
    double Points;
    QFont Font;
    std::unique_ptr<QFontMetricsF> Metrics;
    mutable QHash<QString, double> Widths;  // in millimetres, by text
  };
  QString Elided(const QString& text, int font, double width) const;

  std::map<QString, TFontStyle> Styles_;
  QString Default_;
  QImage Measure_;
  std::vector<TEntry> Entries_;
};

// Lines of a text: carriage returns, line feeds or both end a line.
QStringList SplitLines(const QString& text);

}  // namespace velmora::report

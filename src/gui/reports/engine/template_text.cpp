#include "reports/engine/template_text.h"

namespace velmora::report {

QString TTemplateSource::Expand(const QString& text, const QString& key, const TRowContext& row) const {
  QString keyed = text;
  keyed.replace(QLatin1Char('$'), key);
  keyed.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
  QString result;
  result.reserve(keyed.size());
  for (qsizetype i = 0; i < keyed.size(); ++i) {
    const QChar c = keyed[i];
    if ((c == QLatin1Char('{') || c == QLatin1Char('}')) && i + 1 < keyed.size() && keyed[i + 1] == c) {
      result += c;
      ++i;
    } else if (c == QLatin1Char('{')) {
      const qsizetype end = keyed.indexOf(QLatin1Char('}'), i + 1);
      if (end < 0) {
        result += keyed.mid(i);
        break;
      }
      result += Lookup(keyed.mid(i + 1, end - i - 1), row);
      i = end;
    } else {
      result += c;
    }
  }
  return result;
}

bool TTemplateSource::Passes(const TCondition& condition, const QString& key, const TRowContext& row) const {
  const auto has = [&](const QString& name) {
    QString keyed = name;
    return !Lookup(keyed.replace(QLatin1Char('$'), key), row).trimmed().isEmpty();
  };
  return (condition.When.isEmpty() || has(condition.When)) && (condition.Unless.isEmpty() || !has(condition.Unless));
}

double ExtentOf(const TLength& width, double x, double containerWidth) {
  return width.Value < 0 ? containerWidth - x : width.Resolve(containerWidth);
}

Qt::Alignment AlignOf(THAlign align) {
  switch (align) {
    case THAlign::Left: return Qt::AlignLeft;
    case THAlign::Center: return Qt::AlignHCenter;
    case THAlign::Right: return Qt::AlignRight;
  }
  return Qt::AlignLeft;
}

}  // namespace velmora::report

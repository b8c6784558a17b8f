#include "reports/engine/pdf_info.h"

#include <cctype>

namespace velmora::report {

namespace {

// A PDF text string: UTF-16 big-endian after its byte order mark, with brackets and backslashes
// escaped.
QByteArray PdfString(const QString& text) {
  QByteArray string("(\xFE\xFF", 3);
  for (const QChar c : text) {
    for (const char byte : {static_cast<char>(c.unicode() >> 8), static_cast<char>(c.unicode() & 0xFF)}) {
      if (byte == '(' || byte == ')' || byte == '\\') string += '\\';
      string += byte;
    }
  }
  return string + ')';
}

// The end of the string that starts at `open` (its "("), or -1.
qsizetype StringEnd(const QByteArray& pdf, qsizetype open) {
  int depth = 0;
  for (qsizetype i = open; i < pdf.size(); ++i) {
    if (pdf[i] == '\\') {
      ++i;
    } else if (pdf[i] == '(') {
      ++depth;
    } else if (pdf[i] == ')' && --depth == 0) {
      return i + 1;
    }
  }
  return -1;
}

}  // namespace

QByteArray WithProducer(const QByteArray& pdf, const QString& producer) {
  const QByteArray key("/Producer ");
  const qsizetype at = pdf.indexOf(key);
  const qsizetype xref = pdf.lastIndexOf("\nxref\n");
  const qsizetype start = pdf.lastIndexOf("startxref\n");
  if (at < 0 || xref < at || start < xref) return pdf;
  const qsizetype open = at + key.size();
  const qsizetype end = pdf[open] == '(' ? StringEnd(pdf, open) : -1;
  if (end < 0) return pdf;

  const QByteArray replacement = PdfString(producer);
  const qsizetype delta = replacement.size() - (end - open);
  QByteArray result = pdf.left(open) + replacement + pdf.mid(end, xref + 1 - end);
  // "xref", the subsection line "0 N", then entries of 20 bytes: "oooooooooo ggggg n \n".
  const qsizetype header = pdf.indexOf('\n', xref + 6);
  if (header < 0) return pdf;
  result += pdf.mid(xref + 1, header + 1 - (xref + 1));
  qsizetype entry = header + 1;
  while (entry + 20 <= start && std::isdigit(static_cast<unsigned char>(pdf.at(entry)))) {
    const QByteArray line = pdf.mid(entry, 20);
    bool ok = false;
    qlonglong offset = line.left(10).toLongLong(&ok);
    if (!ok || (line.at(17) != 'n' && line.at(17) != 'f')) return pdf;
    if (line.at(17) == 'n' && offset > at) offset += delta;
    result += QByteArray::number(offset).rightJustified(10, '0') + line.mid(10);
    entry += 20;
  }
  result += pdf.mid(entry, start + 10 - entry);
  const qsizetype number = start + 10;
  const qsizetype numberEnd = pdf.indexOf('\n', number);
  if (numberEnd < 0) return pdf;
  bool ok = false;
  const qlonglong table = pdf.mid(number, numberEnd - number).trimmed().toLongLong(&ok);
  if (!ok) return pdf;
  result += QByteArray::number(table + delta) + pdf.mid(numberEnd);
  return result;
}

}  // namespace velmora::report

#pragma once
// The producer entry of the PDF files we write: the PDF writer always names itself there, so the
// entry is replaced afterwards and the file's cross-reference table moved along with it.

#include <QByteArray>
#include <QString>

namespace velmora::report {

// The document with `producer` as its producer; unchanged when it is not laid out as our PDF
// writer lays it out (one cross-reference table, the information dictionary before it).
QByteArray WithProducer(const QByteArray& pdf, const QString& producer);

}  // namespace velmora::report

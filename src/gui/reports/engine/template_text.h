#pragma once
// The texts of a layout filled in: "{NAME}" from the row or the parameters, "$" as the current
// key, and the conditions of items and rows.

#include <string>
#include <vector>

#include <QString>

#include "reports/engine/report_layout.h"
#include "reports/report_data.h"

namespace velmora::report {

// The row of a data connection that a template is filled from; empty outside tables.
struct TRowContext {
  const std::vector<TReportColumn>* Columns = nullptr;
  const std::vector<std::string>* Values = nullptr;
};

class TTemplateSource {
 public:
  virtual ~TTemplateSource() = default;
  // The row's column of the name, else the parameter (empty when never set).
  virtual QString Lookup(const QString& name, const TRowContext& row) const = 0;
  // Raises the generation's error when the report was given no such connection.
  virtual const TConnectionRows& Connection(const QString& name) const = 0;

  QString Expand(const QString& text, const QString& key, const TRowContext& row) const;
  bool Passes(const TCondition& condition, const QString& key, const TRowContext& row) const;
};

// The width of a box starting at `x`; kToEdge reaches the container's right edge.
double ExtentOf(const TLength& width, double x, double containerWidth);
Qt::Alignment AlignOf(THAlign align);

}  // namespace velmora::report

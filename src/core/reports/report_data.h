#pragma once
// What a report hands the report engine: the project and the report inside it, the page set-up,
// named text parameters in the order they were set, and named data connections that the engine
// reads row by row (open, then the columns, then each row).

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/hash_table.h"

namespace velmora {

enum class TReportOrientation { Portrait, Landscape };

struct TReportColumn {
  std::string Name;
  int Width = 0;  // in characters
  std::string FullName;
};

// A data connection as the report engine pulls it.
class TDataConnection {
 public:
  virtual ~TDataConnection() = default;
  // The number of rows.
  virtual int Open() = 0;
  virtual std::vector<TReportColumn> Columns() = 0;
  // The texts of row `index` (from 0), one per column in declaration order.
  virtual std::vector<std::string> Row(int index) = 0;
};

// The rows of one connection as read through the protocol.
struct TConnectionRows {
  std::vector<TReportColumn> Columns;
  std::vector<std::vector<std::string>> Rows;
};
// Opens the connection and reads its columns and every row.
TConnectionRows PullRows(TDataConnection& connection);

class TReportData {
 public:
  std::string ProjectFileName;
  std::string ReportName;
  std::string Caption;  // of the report window
  TReportOrientation Orientation = TReportOrientation::Landscape;
  int Copies = 2;

  // Sets the parameter; a parameter set again keeps its place and takes the new text.
  void SetParameter(std::string_view name, std::string text);
  // None when the parameter was never set.
  std::optional<std::string> Parameter(std::string_view name) const;
  const std::vector<std::pair<std::string, std::string>>& Parameters() const { return Parameters_; }

  // The connections in the order they were added; the data owns them.
  void AddConnection(std::string name, std::unique_ptr<TDataConnection> connection);
  TDataConnection* Connection(std::string_view name) const;
  const std::vector<std::pair<std::string, std::unique_ptr<TDataConnection>>>& Connections() const {
    return Connections_;
  }
  // Every connection read through the protocol, in the order they were added.
  std::vector<std::pair<std::string, TConnectionRows>> PullConnections() const;

 private:
  std::vector<std::pair<std::string, std::string>> Parameters_;
  std::map<std::string, std::size_t, std::less<>> ParameterIndex_;
  std::vector<std::pair<std::string, std::unique_ptr<TDataConnection>>> Connections_;
};

// Every entry of the messages table as the parameter "LANG_" + key, in the table's order.
void SetTranslatedLabels(TReportData& data, const TStringHash& messages);

}  // namespace velmora

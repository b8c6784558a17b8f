#include "reports/report_data.h"

namespace velmora {

TConnectionRows PullRows(TDataConnection& connection) {
  TConnectionRows rows;
  const int count = connection.Open();
  rows.Columns = connection.Columns();
  for (int index = 0; index < count; ++index) {
    std::vector<std::string> row = connection.Row(index);
    // The engine relies on one text per column.
    row.resize(rows.Columns.size());
    rows.Rows.push_back(std::move(row));
  }
  return rows;
}

void TReportData::SetParameter(std::string_view name, std::string text) {
  if (const auto found = ParameterIndex_.find(name); found != ParameterIndex_.end()) {
    Parameters_[found->second].second = std::move(text);
    return;
  }
  ParameterIndex_.emplace(std::string(name), Parameters_.size());
  Parameters_.emplace_back(std::string(name), std::move(text));
}

std::optional<std::string> TReportData::Parameter(std::string_view name) const {
  const auto found = ParameterIndex_.find(name);
  if (found == ParameterIndex_.end()) return std::nullopt;
  return Parameters_[found->second].second;
}

void TReportData::AddConnection(std::string name, std::unique_ptr<TDataConnection> connection) {
  Connections_.emplace_back(std::move(name), std::move(connection));
}

TDataConnection* TReportData::Connection(std::string_view name) const {
  for (const auto& [connectionName, connection] : Connections_) {
    if (connectionName == name) return connection.get();
  }
  return nullptr;
}

std::vector<std::pair<std::string, TConnectionRows>> TReportData::PullConnections() const {
  std::vector<std::pair<std::string, TConnectionRows>> pulled;
  for (const auto& [name, connection] : Connections_) pulled.emplace_back(name, PullRows(*connection));
  return pulled;
}

void SetTranslatedLabels(TReportData& data, const TStringHash& messages) {
  for (const std::string& key : messages.KeysInOrder())
    data.SetParameter("LANG_" + key, messages.Get(key).value_or(""));
}

}  // namespace velmora

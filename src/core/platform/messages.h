#pragma once
// The translated texts of the messages file "messages_<language>.txt": one KEY=VALUE per line.

#include <filesystem>
#include <string>
#include <string_view>

#include "records/hash_table.h"
#include "records/message_source.h"

namespace velmora {

class TMessages final : public TMessageSource {
 public:
  // "<folder>/messages_<language>.txt".
  static std::filesystem::path FileFor(const std::filesystem::path& folder, std::string_view language);
  // Empties the table and reads "<folder>/messages_<language>.txt"; false when the file cannot be
  // read. Lines without "=" or starting with it are skipped; "#13" in a value is a carriage return;
  // a later line replaces an earlier one with the same key. UTF-8 and windows-1252 files are read.
  bool Load(const std::filesystem::path& folder, std::string_view language);
  // Reads the pairs of a file's text into the table.
  void ReadText(std::string_view text);

  std::string Message(std::string_view key) const override;
  const TStringHash& Table() const { return Table_; }

 private:
  TStringHash Table_;
};

}  // namespace velmora

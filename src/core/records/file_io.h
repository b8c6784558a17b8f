#pragma once
// Whole-file reading and durable writing.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "records/result.h"

namespace velmora {

// The file's bytes; none when it cannot be opened or read (a folder, no permission, ...).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// The bytes of a regular file of at most `maxBytes`. A pipe, a device or a folder is refused
// without waiting on it, and so is a larger file; the error names the file and the reason.
TResult<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes);

// Creates the file anew with the bytes and flushes it to disk before closing it.
TStatus WriteFileDurably(const std::filesystem::path& file, std::string_view bytes);

// Writes a temporary file beside the target, flushes it and renames it over the target, so that
// a reader sees either the old or the new content, never a mix.
TStatus ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The same for a file made for other programs (an export): readable as the umask allows, and into a
// folder that must exist; the error names the file and the reason.
TStatus ReplaceExportedFile(const std::filesystem::path& file, std::string_view bytes);

// The same for content that another writer puts into a file of its own: `write` creates the
// temporary file at the path it is given and fails with the reason alone. The file's folder must
// exist; the error names the file and the reason, and the target is then left as it was.
TStatus ReplaceFileWith(const std::filesystem::path& file,
                        const std::function<TStatus(const std::filesystem::path& temporary)>& write);

}  // namespace velmora

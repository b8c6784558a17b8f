#pragma once
// Whole-file reading and durable writing.

#include <filesystem>
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

}  // namespace velmora

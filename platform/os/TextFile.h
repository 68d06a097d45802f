#pragma once
// Reading a whole file, and replacing a file's contents so that readers see either the old or
// the new contents, never a half-written file.

#include <string>
#include <string_view>

enum class FileReadStatus {
    Read,
    Missing, // the file or a folder on its path does not exist
    Failed,  // it exists but cannot be read, or is not a regular file
};

FileReadStatus ReadTextFile(const std::string& path, std::string& text);

// Writes `text` to a temporary file in the same folder, flushes it to disk and renames it over
// `path`. On failure returns false, removes the temporary file and leaves `path` as it was.
// An existing file keeps its permissions; a symbolic link keeps pointing at the replaced file.
bool ReplaceTextFile(const std::string& path, std::string_view text);

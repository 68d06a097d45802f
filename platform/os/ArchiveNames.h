#pragma once
// Names of files inside archives: how a path inside an archive is tidied and how entry names
// are matched against it.

#include <string>
#include <string_view>

// `path` with "." segments, empty segments and leading slashes dropped and ".." taken back;
// false when ".." would leave the archive.
bool NormaliseArchiveName(std::string_view path, std::string& name);

// Entry names match exactly; archives made on systems that ignore case are matched ignoring
// ASCII case when no name matches exactly.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The text after the last '/' or '\'.
std::string_view LastPathComponent(std::string_view path);

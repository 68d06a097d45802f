#pragma once
// Quake 2 PAK archives: the bytes "PACK", then the directory's offset and length, then (anywhere
// in the file) the directory: 64-byte entries of a 56-byte name and the entry's offset and length,
// all little-endian. Entries are stored whole, so an entry is read straight from the mapped file.

#include <string>

#include "platform/os/FileBytes.h"

// Reads entry `name` (already tidied, see ArchiveNames.h) of the archive at `archivePath` into
// `bytes`, or only looks for it when `bytes` is null. Every offset and length of the directory is
// checked against the file first; a damaged archive is refused as a whole, with `problem` saying why.
FileStatus ReadPakEntry(const std::string& archivePath, const std::string& name, FileBytes* bytes,
                        std::string& problem);

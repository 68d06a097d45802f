#pragma once
// Zip archives (.zip, and the .pk3 files of later games), read with libzip.

#include <string>

#include "platform/os/FileBytes.h"

// Reads entry `name` (already tidied, see ArchiveNames.h) of the archive at `archivePath` into
// `bytes`, unpacked and checked against its CRC, or only looks for it when `bytes` is null. An
// archive libzip cannot read, or an entry that does not unpack, is Damaged with `problem` set.
FileStatus ReadZipEntry(const std::string& archivePath, const std::string& name, FileBytes* bytes,
                        std::string& problem);

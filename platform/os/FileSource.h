#pragma once
// Reading a file by its path, where the path may run through an archive: a PAK (".pak") or zip
// (".pk3", ".zip") file named as if it were a folder, as in
// ".../baseq2/pak0.pak/models/monsters/tank/tris.md2". Plain files are mapped; entries are read
// from inside their archive.

#include <string>

#include "platform/os/FileBytes.h"

// Splits `path` at the first of its folders that is a file on disk with an archive's extension:
// `archive` is that file, `inner` the rest. False for a path that runs through no archive.
bool SplitArchivePath(const std::string& path, std::string& archive, std::string& inner);

// Reads the file at `path` into `bytes`. On Damaged, `problem` names the archive and what is wrong.
FileStatus ReadFileBytes(const std::string& path, FileBytes& bytes, std::string& problem);

// Whether `path` names a regular file on disk that can be read; a folder is not one.
bool IsReadablePlainFile(const std::string& path);

// Whether `path` names a regular file that can be read, or an entry of an archive that can be read.
bool FileExists(const std::string& path);

// Whether a file name ends in ".pak", ".pk3" or ".zip" (in any case).
bool IsArchiveName(const std::string& name);

#pragma once
// Where the program works when it is started from a desktop menu: the working folder has no Data/
// then, so a folder of the user's own takes its place, seeded with the bundled sample model.

#include <string>
#include <vector>

// $XDG_DATA_HOME/lumivox, or ~/.local/share/lumivox when that is unset or not absolute; empty
// when neither is known.
std::string UserDataFolder();

// Where the bundled sample may be: share/lumivox/Data beside the running program's bin/ (an
// installed program), then the Data/ of the source tree it was built from.
std::vector<std::string> BundledSampleFolders();

// Copies the files of `sampleFolder` that `dataFolder` lacks into it (never the settings file, and
// never over a file that is there). Each copy appears whole or not at all. False, with the reason
// in `error`, when the folder cannot be made or a copy fails.
bool SeedDataFolder(const std::string& dataFolder, const std::string& sampleFolder, std::string& error);

// The folder the program should work in: `workingFolder` when it has Data/; otherwise the user's
// folder, its Data/ seeded from the first of `sampleFolders` that exists. Empty (stay where you
// are) when the user's folder cannot be used; `error` then says why. `error` may also carry a
// warning (no sample found) with a folder returned.
std::string ChooseWorkingFolder(const std::string& workingFolder,
                                const std::vector<std::string>& sampleFolders, std::string& error);

// A command-line argument that names a file, or a path into an archive file, made absolute, so it
// names the same file after the program has moved to the user's folder; any other argument (an
// option, an option's value) as it is.
std::string AbsoluteFileArgument(const std::string& argument);

#pragma once
// Finding a model's skin when none is given: the skin names its MD2 header lists, then an image
// named after the model beside it. The viewer and the command-line tools use the same rule.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The skin names of an MD2 file's header, in order; empty names are left out. None when the
// header's skin count or offset does not fit the file.
std::vector<std::string> MD2SkinNames(const std::uint8_t* data, std::size_t size);

// The files tried for the skin of the model at `modelPath`, in order, without repeats:
//  - each header skin name in turn: one starting with "." lies in the model's folder (".plating"
//    is "plating" there, "./x" and "../x" are relative to it); any other lies in the game folder
//    (the archive root for a model inside an archive, else the folder that holds "models/", else
//    the model's folder). A name with an extension is tried as written, then with each other
//    image extension; a name without one, with each image extension;
//  - then the model's own name with each image extension, in its folder.
std::vector<std::string> ModelSkinCandidates(const std::string& modelPath);

// The first candidate that decodes as an image; empty when none does.
std::string FindModelSkin(const std::string& modelPath);

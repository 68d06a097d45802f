#pragma once
// The sample character's animation blocks: standing, running and jumping.

#include <string>
#include <vector>

#include "CharacterRig.h"

struct NamedPose {
    std::string name; // block name followed by a two-digit frame number, as MD2 frames are named
    CharacterPose pose;
};

std::vector<NamedPose> CharacterAnimation();

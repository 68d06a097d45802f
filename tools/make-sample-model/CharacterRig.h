#pragma once
// The sample character: a figure of boxes, cylinders and ellipsoids whose joints are turned by a
// pose. Angles are in degrees; "forward" is towards -y, where the face looks.

#include "Mesh.h"

struct ArmPose {
    float swing = 0.0f;  // forward (up in front) positive
    float spread = 6.0f; // away from the body
    float elbow = 10.0f; // forearm bent forward
};

struct LegPose {
    float swing = 0.0f;  // thigh forward positive
    float spread = 2.0f; // away from the other leg
    float knee = 0.0f;   // shin bent backward
    float toe = 0.0f;    // foot tipped down from level
};

struct CharacterPose {
    float lift = 0.0f;   // height of the lowest point above the ground
    float lean = 0.0f;   // upper body forward at the waist
    float sway = 0.0f;   // upper body sideways
    float twist = 0.0f;  // upper body about the vertical
    float breath = 0.0f; // chest growth, a fraction of its size
    float nod = 0.0f;    // head forward
    float headTurn = 0.0f;
    ArmPose arms[2]; // the character's left (+x), then right (-x)
    LegPose legs[2];
};

// The ground the character stands on in the file's axes: its feet reach down to here.
constexpr float CHARACTER_GROUND_Z = -24.0f;

// Builds the posed character; the topology never depends on the pose.
Mesh BuildCharacter(const CharacterPose& pose);

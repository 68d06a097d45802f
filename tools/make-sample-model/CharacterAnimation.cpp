#include "CharacterAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int STAND_FRAMES = 10;
constexpr int RUN_FRAMES = 8;

std::string FrameName(const char* block, int number) {
    char name[16];
    std::snprintf(name, sizeof name, "%s%02d", block, number);
    return name;
}

float Phase(int frame, int count) {
    return 2.0f * std::numbers::pi_v<float> * static_cast<float>(frame) / static_cast<float>(count);
}

// Idle: breathing chest, a slow sway of the upper body, arms and head following it.
CharacterPose StandPose(float phase) {
    CharacterPose pose;
    const float s = std::sin(phase);
    pose.breath = 0.04f * s;
    pose.sway = 3.0f * std::sin(phase + 0.6f);
    pose.nod = 4.0f * std::sin(phase + 1.2f);
    pose.headTurn = 6.0f * std::sin(phase - 0.5f);
    for (int side = 0; side < 2; ++side) {
        pose.arms[side].spread = 8.0f + 4.0f * s;
        pose.arms[side].swing = 4.0f * std::sin(phase + static_cast<float>(side) * 3.1f);
        pose.arms[side].elbow = 12.0f + 4.0f * s;
        pose.legs[side].spread = 3.0f;
    }
    return pose;
}

// Running: legs in opposite phase with the knee folding as the leg swings through, arms against
// the legs, body leaning in and bouncing twice per stride.
CharacterPose RunPose(float phase) {
    CharacterPose pose;
    pose.lean = 14.0f;
    pose.twist = 8.0f * std::sin(phase);
    pose.lift = 1.5f * (1.0f + std::cos(2.0f * phase)) / 2.0f;
    pose.nod = -8.0f;
    for (int side = 0; side < 2; ++side) {
        const float p = phase + static_cast<float>(side) * std::numbers::pi_v<float>;
        pose.legs[side].swing = 38.0f * std::sin(p);
        pose.legs[side].knee = 20.0f + 65.0f * std::max(0.0f, std::cos(p));
        pose.legs[side].toe = 10.0f * std::max(0.0f, -std::sin(p));
        pose.arms[side].swing = -45.0f * std::sin(p);
        pose.arms[side].elbow = 85.0f + 10.0f * std::sin(p);
        pose.arms[side].spread = 10.0f;
    }
    return pose;
}

// One jump as key poses: crouch, take off, stretch, tuck at the top, land and straighten up.
struct JumpKey {
    float crouch; // 0 upright .. 1 deep
    float lift;
    float arms; // -1 swung back .. 1 raised overhead
};
constexpr JumpKey JUMP_KEYS[] = {
    {0.0f, 0.0f, 0.0f},  {0.5f, 0.0f, -0.5f}, {1.0f, 0.0f, -1.0f}, {0.3f, 2.0f, 0.6f},  {0.0f, 8.0f, 1.0f},
    {0.5f, 13.0f, 0.9f}, {0.6f, 12.0f, 0.6f}, {0.2f, 6.0f, 0.3f},  {0.9f, 0.0f, -0.3f}, {0.4f, 0.0f, 0.0f},
};

CharacterPose JumpPose(const JumpKey& key) {
    CharacterPose pose;
    pose.lift = key.lift;
    pose.lean = 28.0f * key.crouch;
    pose.nod = -12.0f * key.crouch;
    for (int side = 0; side < 2; ++side) {
        pose.legs[side].swing = 55.0f * key.crouch;
        pose.legs[side].knee = 105.0f * key.crouch;
        pose.legs[side].spread = 4.0f;
        pose.arms[side].swing = key.arms >= 0.0f ? 160.0f * key.arms : 45.0f * key.arms;
        pose.arms[side].spread = 12.0f + 8.0f * std::abs(key.arms);
        pose.arms[side].elbow = 15.0f + 20.0f * key.crouch;
    }
    return pose;
}

} // namespace

std::vector<NamedPose> CharacterAnimation() {
    std::vector<NamedPose> frames;
    for (int i = 0; i < STAND_FRAMES; ++i)
        frames.push_back({FrameName("stand", i + 1), StandPose(Phase(i, STAND_FRAMES))});
    for (int i = 0; i < RUN_FRAMES; ++i)
        frames.push_back({FrameName("run", i + 1), RunPose(Phase(i, RUN_FRAMES))});
    int number = 1;
    for (const JumpKey& key : JUMP_KEYS)
        frames.push_back({FrameName("jump", number++), JumpPose(key)});
    return frames;
}

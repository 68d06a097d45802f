#include "CharacterRig.h"

namespace {

constexpr int LIMB_SLICES = 8;
constexpr int JOINT_SLICES = 8;
constexpr int JOINT_STACKS = 5;

// +1 for the character's left side (+x), -1 for its right.
float SideSign(int side) {
    return side == 0 ? 1.0f : -1.0f;
}

CylinderShape Limb(float top, float bottom, float topRadius, float bottomRadius) {
    return {bottom, top, bottomRadius, bottomRadius, topRadius, topRadius};
}

void AddJointBall(Mesh& mesh, const Placement& joint, float radius, const SkinRegion& region) {
    AddEllipsoid(mesh, joint, {radius, radius, radius}, JOINT_SLICES, JOINT_STACKS, region);
}

// Thigh from the hip down to the knee, shin down to the ankle, shoe kept level unless tipped.
void AddLeg(Mesh& mesh, const Placement& hips, int side, const LegPose& leg) {
    const float sign = SideSign(side);
    const Placement hip =
        hips.Joint({sign * 2.6f, 0.0f, -1.5f}, RotationX(-leg.swing) * RotationY(-sign * leg.spread));
    AddCylinder(mesh, hip, Limb(1.0f, -10.0f, 2.4f, 1.9f), 10, SkinLayout::Trousers);

    const Placement knee = hip.Joint({0, 0, -10.0f}, RotationX(leg.knee));
    AddJointBall(mesh, knee, 1.95f, SkinLayout::Trousers);
    AddCylinder(mesh, knee, Limb(0.0f, -10.8f, 1.85f, 1.5f), 10, SkinLayout::Trousers);

    const Placement ankle = knee.Joint({0, 0, -10.5f}, RotationX(leg.swing - leg.knee + leg.toe));
    AddBox(mesh, ankle.Joint({0, -1.3f, -1.1f}), {1.9f, 3.5f, 1.4f}, SkinLayout::Shoes);
}

// Shoulder ball, upper arm, elbow ball, forearm and hand, all hanging from the shoulder.
void AddArm(Mesh& mesh, const Placement& chest, int side, const ArmPose& arm) {
    const float sign = SideSign(side);
    const Placement shoulder =
        chest.Joint({sign * 6.9f, 0.0f, 13.2f}, RotationX(-arm.swing) * RotationY(-sign * arm.spread));
    AddJointBall(mesh, shoulder, 2.3f, SkinLayout::Sleeves);
    AddCylinder(mesh, shoulder, Limb(0.5f, -7.5f, 1.85f, 1.5f), LIMB_SLICES, SkinLayout::Sleeves);

    const Placement elbow = shoulder.Joint({0, 0, -7.5f}, RotationX(-arm.elbow));
    AddJointBall(mesh, elbow, 1.5f, SkinLayout::Sleeves);
    AddCylinder(mesh, elbow, Limb(0.0f, -6.8f, 1.45f, 1.25f), LIMB_SLICES, SkinLayout::Sleeves);
    AddEllipsoid(mesh, elbow.Joint({0, 0, -8.0f}), {1.3f, 1.6f, 2.0f}, 8, 6, SkinLayout::Hands);
}

// Neck, head with the face towards -y, and a nose that shows where the face is from any side.
void AddHead(Mesh& mesh, const Placement& chest, const CharacterPose& pose) {
    const Placement neck = chest.Joint({0, 0, 15.0f}, RotationX(-pose.nod) * RotationZ(pose.headTurn));
    AddCylinder(mesh, neck, Limb(2.5f, -0.8f, 1.5f, 1.7f), LIMB_SLICES, SkinLayout::Hands);
    const Placement head = neck.Joint({0, -0.3f, 6.5f});
    AddEllipsoid(mesh, head, {4.8f, 5.0f, 5.8f}, 12, 10, SkinLayout::Head);
    AddEllipsoid(mesh, head.Joint({0, -4.9f, -0.4f}), {0.75f, 0.9f, 1.0f}, 6, 4, SkinLayout::Hands);
}

} // namespace

// Built around the hips, then moved so the lowest point sits `lift` above the ground.
Mesh BuildCharacter(const CharacterPose& pose) {
    Mesh mesh;
    const Placement hips;
    AddBox(mesh, hips.Joint({0, 0, -0.5f}), {4.7f, 2.7f, 2.6f}, SkinLayout::Trousers);
    for (int side = 0; side < 2; ++side)
        AddLeg(mesh, hips, side, pose.legs[side]);

    const Placement chest =
        hips.Joint({0, 0, 1.5f}, RotationZ(pose.twist) * RotationX(-pose.lean) * RotationY(pose.sway));
    const float grow = 1.0f + pose.breath;
    const CylinderShape torso{0.0f, 15.0f, 4.6f, 2.9f, 6.0f * grow, 3.4f * grow};
    AddCylinder(mesh, chest, torso, 14, SkinLayout::Shirt);
    for (int side = 0; side < 2; ++side)
        AddArm(mesh, chest, side, pose.arms[side]);
    AddHead(mesh, chest, pose);

    mesh.Shift({0, 0, CHARACTER_GROUND_Z + pose.lift - mesh.LowestZ()});
    return mesh;
}

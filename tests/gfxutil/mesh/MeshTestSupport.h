#pragma once

#include "platform/d3d9/HeadlessDevice.h"
// What the mesh tests share: a headless software device, a holder that releases a reference,
// and readers for a mesh's buffers.

#include "gfxutil/math/D3DXMath.h"
#include "gfxutil/mesh/D3DX9Mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace meshtest {

// Holds one reference and releases it at the end of the scope.
template <typename T> class Held {
public:
    Held() = default;
    explicit Held(T* object) : object_(object) {}
    ~Held() {
        if (object_)
            object_->Release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    T** Out() { return &object_; }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

// A software device without a window and with a small lockable back buffer.
class HeadlessDevice {
public:
    explicit HeadlessDevice(UINT size = 32) { CreateHeadlessDevice(size, size, &device_); }
    ~HeadlessDevice() {
        if (device_)
            device_->Release();
    }
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;

    IDirect3DDevice9* get() const { return device_; }

private:
    IDirect3DDevice9* device_ = nullptr;
};

// Each test gets a fresh device.
class MeshTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(device.get(), nullptr) << "the software device could not be created"; }

    HeadlessDevice device;
};

struct PositionNormal {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
};

inline std::vector<PositionNormal> ReadVertices(ID3DXBaseMesh* mesh) {
    std::vector<PositionNormal> vertices(mesh->GetNumVertices());
    void* data = nullptr;
    EXPECT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    if (data)
        std::memcpy(vertices.data(), data, vertices.size() * sizeof(PositionNormal));
    mesh->UnlockVertexBuffer();
    return vertices;
}

inline void WriteVertices(ID3DXBaseMesh* mesh, const std::vector<PositionNormal>& vertices) {
    void* data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &data), D3D_OK);
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(PositionNormal));
    mesh->UnlockVertexBuffer();
}

inline std::vector<WORD> ReadIndices(ID3DXBaseMesh* mesh) {
    std::vector<WORD> indices(mesh->GetNumFaces() * 3);
    void* data = nullptr;
    EXPECT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    if (data)
        std::memcpy(indices.data(), data, indices.size() * sizeof(WORD));
    mesh->UnlockIndexBuffer();
    return indices;
}

inline void WriteIndices(ID3DXBaseMesh* mesh, const std::vector<WORD>& indices) {
    void* data = nullptr;
    ASSERT_EQ(mesh->LockIndexBuffer(0, &data), D3D_OK);
    std::memcpy(data, indices.data(), indices.size() * sizeof(WORD));
    mesh->UnlockIndexBuffer();
}

inline float Length(const D3DXVECTOR3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

} // namespace meshtest

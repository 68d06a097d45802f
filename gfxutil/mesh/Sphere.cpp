#include "gfxutil/math/D3DXMath.h"
#include "gfxutil/mesh/D3DX9Mesh.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kDefaultDivisions = 8;
constexpr UINT kMaxDivisions = 240;
constexpr float kPi = 3.14159265358979323846f;

struct SphereVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
};
static_assert(sizeof(SphereVertex) == 24);

SphereVertex MakeVertex(float radius, float x, float y, float z) {
    return {{radius * x, radius * y, radius * z}, {x, y, z}};
}

// The north pole, then rings of `slices` vertices from north to south, then the south pole.
void FillVertices(SphereVertex* vertices, float radius, UINT slices, UINT stacks) {
    std::size_t next = 0;
    vertices[next++] = MakeVertex(radius, 0.0f, 0.0f, 1.0f);
    for (UINT ring = 1; ring < stacks; ++ring) {
        const float phi = float(ring) * kPi / float(stacks);
        const float sinPhi = std::sin(phi);
        const float cosPhi = std::cos(phi);
        for (UINT slice = 0; slice < slices; ++slice) {
            const float theta = float(slice) * 2.0f * kPi / float(slices);
            vertices[next++] = MakeVertex(radius, sinPhi * std::sin(theta), sinPhi * std::cos(theta), cosPhi);
        }
    }
    vertices[next] = MakeVertex(radius, 0.0f, 0.0f, -1.0f);
}

class IndexWriter {
public:
    explicit IndexWriter(WORD* out) : out_(out) {}
    void Face(UINT a, UINT b, UINT c) {
        *out_++ = WORD(a);
        *out_++ = WORD(b);
        *out_++ = WORD(c);
    }

private:
    WORD* out_;
};

void FillIndices(WORD* indices, UINT slices, UINT stacks) {
    IndexWriter write(indices);
    const UINT w = slices;
    for (UINT k = 0; k + 1 < w; ++k)
        write.Face(0, k + 2, k + 1);
    write.Face(0, 1, w);
    for (UINT band = 0; band + 2 < stacks; ++band) {
        const UINT g = 1 + band * w;
        const UINT h = g + w;
        for (UINT k = 0; k + 1 < w; ++k) {
            write.Face(g + k, g + k + 1, h + k);
            write.Face(g + k + 1, h + k + 1, h + k);
        }
        write.Face(g + w - 1, g, h + w - 1);
        write.Face(g, h, h + w - 1);
    }
    const UINT e = w * (stacks - 2) + 1;
    const UINT s = e + w;
    for (UINT k = 0; k + 1 < w; ++k)
        write.Face(e + k, e + k + 1, s);
    write.Face(e + w - 1, e, s);
}

HRESULT FillSphere(ID3DXMesh* mesh, float radius, UINT slices, UINT stacks) {
    void* vertices = nullptr;
    HRESULT hr = mesh->LockVertexBuffer(0, &vertices);
    if (FAILED(hr))
        return hr;
    FillVertices(static_cast<SphereVertex*>(vertices), radius, slices, stacks);
    mesh->UnlockVertexBuffer();
    void* indices = nullptr;
    hr = mesh->LockIndexBuffer(0, &indices);
    if (FAILED(hr))
        return hr;
    FillIndices(static_cast<WORD*>(indices), slices, stacks);
    mesh->UnlockIndexBuffer();
    return D3D_OK;
}

HRESULT MakeAdjacency(ID3DXMesh* mesh, ID3DXBuffer** adjacency) {
    HRESULT hr = D3DXCreateBuffer(3 * mesh->GetNumFaces() * sizeof(DWORD), adjacency);
    if (FAILED(hr))
        return hr;
    hr = mesh->GenerateAdjacency(0.0f, static_cast<DWORD*>((*adjacency)->GetBufferPointer()));
    if (FAILED(hr)) {
        (*adjacency)->Release();
        *adjacency = nullptr;
    }
    return hr;
}

UINT Divisions(UINT requested) {
    if (requested == UINT(-1))
        return kDefaultDivisions;
    return requested > kMaxDivisions ? kMaxDivisions : requested;
}

} // namespace

HRESULT D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks, ID3DXMesh** mesh,
                         ID3DXBuffer** adjacency) {
    if (mesh)
        *mesh = nullptr;
    if (adjacency)
        *adjacency = nullptr;
    if (radius == FLT_MAX)
        radius = 1.0f;
    slices = Divisions(slices);
    stacks = Divisions(stacks);
    // A radius that is not a finite number would give vertices that are not numbers.
    if (!device || !mesh || !(radius >= 0.0f) || std::isinf(radius) || slices < 2 || stacks < 2)
        return D3DERR_INVALIDCALL;

    const DWORD numFaces = 2 * slices * (stacks - 1);
    const DWORD numVertices = slices * (stacks - 1) + 2;
    ID3DXMesh* created = nullptr;
    HRESULT hr = D3DXCreateMeshFVF(numFaces, numVertices, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL,
                                   device, &created);
    if (FAILED(hr))
        return hr;
    hr = FillSphere(created, radius, slices, stacks);
    if (SUCCEEDED(hr) && adjacency)
        hr = MakeAdjacency(created, adjacency);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *mesh = created;
    return D3D_OK;
}

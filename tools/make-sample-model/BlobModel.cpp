#include "BlobModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace {

constexpr float BLOB_RADIUS = 20.0f;
constexpr long long BLOB_MAX_FRAME_BYTES = 1LL << 30;

// The closed surface is a stack of rings between two poles. Joining rings of a and b vertices
// takes a + b triangles and each pole fan as many as its ring has vertices, so the surface has
// twice as many triangles as ring vertices: ring sizes summing to half the count give it exactly.
// An odd count splits one pole triangle in two at the middle of its ring edge.
struct BlobTopology {
    std::vector<int> ringSizes;
    std::vector<int> ringFirst;   // index of each ring's first vertex
    std::vector<int> ringFirstTc; // index of each ring's first texture coordinate
    int topPole = 0;
    int bottomPole = 0;
    int split = -1; // the extra vertex of an odd count
    int vertexCount = 0;
    std::vector<MeshTriangle> triangles;
    std::vector<MeshTexCoord> texCoords;
};

float Fraction(int i, int n) {
    return static_cast<float>(i) / static_cast<float>(n);
}

// Ring sizes follow the ring's circumference, as on a globe, so triangles near the poles are as
// well shaped as those at the equator; every ring keeps at least three vertices.
std::vector<int> RingSizes(int ringVertices) {
    const int rings =
        std::clamp(static_cast<int>(std::lround(std::sqrt(0.785 * ringVertices) - 1.0)), 1, ringVertices / 3);
    std::vector<double> weights(rings);
    double total = 0.0;
    for (int i = 0; i < rings; ++i)
        total += weights[i] = std::sin(std::numbers::pi * (i + 1) / (rings + 1));
    std::vector<int> sizes(rings);
    int given = 0;
    for (int i = 0; i < rings; ++i)
        given += sizes[i] = std::max(3, static_cast<int>(ringVertices * weights[i] / total));
    // Settle the rounding on the largest rings first, which can best spare or take a vertex.
    std::vector<int> order(rings);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return weights[a] > weights[b]; });
    for (int k = 0; given != ringVertices; k = (k + 1) % rings) {
        const int step = given < ringVertices ? 1 : -1;
        int& size = sizes[order[k]];
        if (size + step >= 3) {
            size += step;
            given += step;
        }
    }
    return sizes;
}

// Triangles between an upper ring A and a lower ring B, walking both by their fraction around.
void ZipRings(BlobTopology& topo, int upper, int lower) {
    const int a = topo.ringSizes[upper], b = topo.ringSizes[lower];
    auto vertex = [&](int ring, int i) { return topo.ringFirst[ring] + i % topo.ringSizes[ring]; };
    auto tc = [&](int ring, int i) { return topo.ringFirstTc[ring] + i; };
    int i = 0, j = 0;
    while (i < a || j < b) {
        const bool advanceUpper = j == b || (i < a && Fraction(i + 1, a) <= Fraction(j + 1, b));
        MeshTriangle tri;
        if (advanceUpper) {
            tri = {{vertex(upper, i), vertex(lower, j), vertex(upper, i + 1)},
                   {tc(upper, i), tc(lower, j), tc(upper, i + 1)}};
            ++i;
        } else {
            tri = {{vertex(upper, i), vertex(lower, j), vertex(lower, j + 1)},
                   {tc(upper, i), tc(lower, j), tc(lower, j + 1)}};
            ++j;
        }
        topo.triangles.push_back(tri);
    }
}

void AddPoleFan(BlobTopology& topo, int ring, int pole, int poleTc, bool top) {
    const int n = topo.ringSizes[ring];
    for (int j = 0; j < n; ++j) {
        const int v0 = topo.ringFirst[ring] + j, v1 = topo.ringFirst[ring] + (j + 1) % n;
        const int t0 = topo.ringFirstTc[ring] + j, t1 = t0 + 1;
        if (top)
            topo.triangles.push_back({{pole, v0, v1}, {poleTc, t0, t1}});
        else
            topo.triangles.push_back({{v0, pole, v1}, {t0, poleTc, t1}});
    }
}

BlobTopology BuildTopology(int triangles) {
    BlobTopology topo;
    topo.ringSizes = RingSizes(triangles / 2);
    const int rings = static_cast<int>(topo.ringSizes.size());
    int vertex = 1;
    for (int r = 0; r < rings; ++r) {
        topo.ringFirst.push_back(vertex);
        topo.ringFirstTc.push_back(static_cast<int>(topo.texCoords.size()));
        const float v = Fraction(r + 1, rings + 1);
        for (int j = 0; j <= topo.ringSizes[r]; ++j)
            topo.texCoords.push_back(
                {SkinLayout::Whole.S(Fraction(j, topo.ringSizes[r])), SkinLayout::Whole.T(v)});
        vertex += topo.ringSizes[r];
    }
    topo.bottomPole = vertex++;
    const int topTc = static_cast<int>(topo.texCoords.size());
    topo.texCoords.push_back({SkinLayout::Whole.S(0.5f), SkinLayout::Whole.T(0.0f)});
    topo.texCoords.push_back({SkinLayout::Whole.S(0.5f), SkinLayout::Whole.T(1.0f)});

    AddPoleFan(topo, 0, topo.topPole, topTc, true);
    for (int r = 0; r + 1 < rings; ++r)
        ZipRings(topo, r, r + 1);
    AddPoleFan(topo, rings - 1, topo.bottomPole, topTc + 1, false);

    if (triangles % 2 == 1) {
        topo.split = vertex++;
        MeshTriangle& first = topo.triangles.front(); // pole, ring vertex 0, ring vertex 1
        const int tc = static_cast<int>(topo.texCoords.size());
        const MeshTexCoord &a = topo.texCoords[first.texCoord[1]], &b = topo.texCoords[first.texCoord[2]];
        topo.texCoords.push_back({(a.s + b.s) / 2.0f, (a.t + b.t) / 2.0f});
        const MeshTriangle second{{first.vertex[0], topo.split, first.vertex[2]},
                                  {first.texCoord[0], tc, first.texCoord[2]}};
        first.vertex[2] = topo.split;
        first.texCoord[2] = tc;
        topo.triangles.push_back(second);
    }
    topo.vertexCount = vertex;
    return topo;
}

// Radius of the blob in a direction; the wobble differs per block and moves with the frame.
float Radius(float polar, float around, int block, float phase) {
    const float lobes = static_cast<float>(2 + block % 4);
    return BLOB_RADIUS * (1.0f + 0.12f * std::sin(lobes * around + phase) * std::sin(polar) +
                          0.06f * std::cos(2.0f * polar + phase));
}

Vec3 Direction(float polar, float around) {
    return {std::sin(polar) * std::cos(around), std::sin(polar) * std::sin(around), std::cos(polar)};
}

Mesh BuildFrameMesh(const BlobTopology& topo, int block, float phase) {
    const float pi = std::numbers::pi_v<float>;
    Mesh mesh;
    mesh.vertices.resize(topo.vertexCount);
    auto place = [&](int index, float polar, float around) {
        mesh.vertices[index].position = Direction(polar, around) * Radius(polar, around, block, phase);
    };
    place(topo.topPole, 0.0f, 0.0f);
    place(topo.bottomPole, pi, 0.0f);
    const int rings = static_cast<int>(topo.ringSizes.size());
    for (int r = 0; r < rings; ++r)
        for (int j = 0; j < topo.ringSizes[r]; ++j)
            place(topo.ringFirst[r] + j, pi * Fraction(r + 1, rings + 1),
                  pi / 2.0f + 2.0f * pi * Fraction(j, topo.ringSizes[r]));
    if (topo.split >= 0) // on the ring edge it splits, so the surface stays closed
        mesh.vertices[topo.split].position =
            (mesh.vertices[topo.ringFirst[0]].position + mesh.vertices[topo.ringFirst[0] + 1].position) *
            0.5f;

    // Smooth normals: the area-weighted outward normals of the triangles around each vertex.
    for (const MeshTriangle& tri : topo.triangles) {
        const Vec3 a = mesh.vertices[tri.vertex[0]].position, b = mesh.vertices[tri.vertex[1]].position,
                   c = mesh.vertices[tri.vertex[2]].position;
        const Vec3 faceNormal = Cross(b - a, c - a);
        for (int v : tri.vertex)
            mesh.vertices[v].normal = mesh.vertices[v].normal + faceNormal;
    }
    for (MeshVertex& v : mesh.vertices)
        v.normal = Normalized(v.normal);
    mesh.partCentres = {{0, 0, 0}};
    return mesh;
}

std::string FrameName(int block, int number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", number % 100);
    return "block" + BlobBlockName(block) + digits;
}

} // namespace

std::string BlobBlockName(int block) {
    std::string name;
    for (int n = block + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

bool BuildBlobFrames(const BlobOptions& options, std::vector<ModelFrame>& frames, std::string& error) {
    if (options.triangles < BLOB_MIN_TRIANGLES || options.triangles > BLOB_MAX_TRIANGLES) {
        error = "the triangle count must be from " + std::to_string(BLOB_MIN_TRIANGLES) + " to " +
                std::to_string(BLOB_MAX_TRIANGLES);
        return false;
    }
    if (options.frames < 1 || options.blocks < 1 || options.blocks > options.frames) {
        error = "there must be at least one frame and from 1 to the frame count blocks";
        return false;
    }
    const BlobTopology topo = BuildTopology(options.triangles);
    const long long fileBytes = static_cast<long long>(options.frames) * MD2FrameBytes(topo.vertexCount);
    if (fileBytes > BLOB_MAX_FRAME_BYTES) {
        error = "that many frames of that size would make the file larger than 1 GiB";
        return false;
    }
    frames.clear();
    for (int block = 0; block < options.blocks; ++block) {
        const int length =
            options.frames / options.blocks + (block < options.frames % options.blocks ? 1 : 0);
        for (int f = 0; f < length; ++f) {
            const float phase = 2.0f * std::numbers::pi_v<float> * Fraction(f, length);
            frames.push_back({FrameName(block, f + 1), BuildFrameMesh(topo, block, phase)});
        }
    }
    frames.front().mesh.texCoords = topo.texCoords; // the other frames share them
    frames.front().mesh.triangles = topo.triangles;
    return true;
}

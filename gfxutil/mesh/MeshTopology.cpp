#include "gfxutil/mesh/MeshTopology.h"
#include "gfxutil/mesh/D3DX9Mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace {

bool SamePoint(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float epsilon) {
    return std::fabs(a.x - b.x) <= epsilon && std::fabs(a.y - b.y) <= epsilon &&
           std::fabs(a.z - b.z) <= epsilon;
}

struct EdgeEnd {
    std::uint64_t key; // the two points, lower one first
    DWORD slot;        // 3 * face + edge
    bool forward;      // runs from the lower point to the higher one
};

std::vector<EdgeEnd> CollectEdges(const std::vector<DWORD>& indices, const std::vector<DWORD>& points) {
    std::vector<EdgeEnd> edges;
    edges.reserve(indices.size());
    for (DWORD slot = 0; slot < indices.size(); ++slot) {
        const DWORD face = slot / 3;
        const DWORD from = points[indices[slot]];
        const DWORD to = points[indices[3 * face + (slot + 1) % 3]];
        if (from == to)
            continue; // a collapsed edge has no neighbour
        const DWORD low = std::min(from, to);
        const DWORD high = std::max(from, to);
        edges.push_back({(std::uint64_t(low) << 32) | high, slot, from < to});
    }
    std::sort(edges.begin(), edges.end(), [](const EdgeEnd& a, const EdgeEnd& b) {
        return a.key != b.key ? a.key < b.key : a.slot < b.slot;
    });
    return edges;
}

// Pairs the edges of one group (all between the same two points) in order, preferring a partner
// that runs the other way.
void PairGroup(const std::vector<EdgeEnd>& edges, std::size_t begin, std::size_t end,
               std::vector<DWORD>& adjacency) {
    std::vector<bool> paired(end - begin, false);
    for (std::size_t i = begin; i < end; ++i) {
        if (paired[i - begin])
            continue;
        std::size_t partner = end;
        for (std::size_t j = i + 1; j < end; ++j) {
            if (paired[j - begin] || edges[j].slot / 3 == edges[i].slot / 3)
                continue;
            if (partner == end || edges[j].forward != edges[i].forward) {
                partner = j;
                if (edges[j].forward != edges[i].forward)
                    break;
            }
        }
        if (partner == end)
            continue;
        paired[i - begin] = paired[partner - begin] = true;
        adjacency[edges[i].slot] = edges[partner].slot / 3;
        adjacency[edges[partner].slot] = edges[i].slot / 3;
    }
}

DWORD FindRoot(std::vector<DWORD>& parent, DWORD v) {
    DWORD root = v;
    while (parent[root] != root)
        root = parent[root];
    while (parent[v] != root) {
        const DWORD next = parent[v];
        parent[v] = root;
        v = next;
    }
    return root;
}

void Join(std::vector<DWORD>& parent, DWORD a, DWORD b) {
    const DWORD rootA = FindRoot(parent, a);
    const DWORD rootB = FindRoot(parent, b);
    parent[std::max(rootA, rootB)] = std::min(rootA, rootB);
}

// The edge of `face` that the adjacency marks as shared with `neighbour`, or 3.
DWORD EdgeTowards(const DWORD* adjacency, DWORD face, DWORD neighbour) {
    for (DWORD edge = 0; edge < 3; ++edge)
        if (adjacency[3 * face + edge] == neighbour)
            return edge;
    return 3;
}

} // namespace

std::vector<DWORD> PointRepresentatives(const std::vector<D3DXVECTOR3>& positions, float epsilon) {
    std::vector<DWORD> points(positions.size());
    // Only representatives are kept, ordered by x, so a crowd of equal points stays cheap.
    std::multimap<float, DWORD> representatives;
    for (DWORD v = 0; v < positions.size(); ++v) {
        const D3DXVECTOR3& p = positions[v];
        points[v] = v;
        if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z))
            continue;
        auto it = representatives.lower_bound(p.x - epsilon);
        const auto last = representatives.upper_bound(p.x + epsilon);
        for (; it != last; ++it)
            if (it->second < points[v] && SamePoint(positions[it->second], p, epsilon))
                points[v] = it->second;
        if (points[v] == v)
            representatives.emplace(p.x, v);
    }
    return points;
}

std::vector<DWORD> AdjacencyFromIndices(const std::vector<DWORD>& indices, const std::vector<DWORD>& points) {
    std::vector<DWORD> adjacency(indices.size(), D3DX_UNUSED_ADJACENCY);
    const std::vector<EdgeEnd> edges = CollectEdges(indices, points);
    std::size_t begin = 0;
    while (begin < edges.size()) {
        std::size_t end = begin + 1;
        while (end < edges.size() && edges[end].key == edges[begin].key)
            ++end;
        PairGroup(edges, begin, end, adjacency);
        begin = end;
    }
    return adjacency;
}

bool PointRepresentativesFromAdjacency(const std::vector<DWORD>& indices, const DWORD* adjacency,
                                       DWORD numVertices, std::vector<DWORD>* points) {
    const DWORD numFaces = DWORD(indices.size() / 3);
    for (std::size_t slot = 0; slot < indices.size(); ++slot)
        if (adjacency[slot] != D3DX_UNUSED_ADJACENCY && adjacency[slot] >= numFaces)
            return false;
    std::vector<DWORD>& parent = *points;
    parent.resize(numVertices);
    std::iota(parent.begin(), parent.end(), 0u);
    for (DWORD face = 0; face < numFaces; ++face) {
        for (DWORD edge = 0; edge < 3; ++edge) {
            const DWORD neighbour = adjacency[3 * face + edge];
            if (neighbour == D3DX_UNUSED_ADJACENCY || neighbour == face)
                continue;
            const DWORD back = EdgeTowards(adjacency, neighbour, face);
            if (back == 3)
                continue;
            // The shared edge runs the other way in the neighbour.
            Join(parent, indices[3 * face + edge], indices[3 * neighbour + (back + 1) % 3]);
            Join(parent, indices[3 * face + (edge + 1) % 3], indices[3 * neighbour + back]);
        }
    }
    for (DWORD v = 0; v < numVertices; ++v)
        parent[v] = FindRoot(parent, v);
    return true;
}

#pragma once
// How the faces of a mesh hang together: which vertices are one point, and which faces share
// an edge.

#include "gfxutil/math/D3DXMath.h"

#include <vector>

// Maps every vertex to the lowest-numbered vertex that counts as the same point: one whose
// coordinates all lie within epsilon of its own. Vertices with a NaN coordinate stand alone.
std::vector<DWORD> PointRepresentatives(const std::vector<D3DXVECTOR3>& positions, float epsilon);

// For each face edge (corner 0 to 1, 1 to 2, 2 to 0) the other face that has the same two points
// on an edge, or D3DX_UNUSED_ADJACENCY. Each edge pairs with at most one other edge, one running
// the opposite way when there is one.
std::vector<DWORD> AdjacencyFromIndices(const std::vector<DWORD>& indices, const std::vector<DWORD>& points);

// Joins the vertices that meet across the shared edges of the adjacency (faces wound the same
// way) and maps every vertex to the lowest-numbered vertex it is joined with. False when the
// adjacency names a face that does not exist.
bool PointRepresentativesFromAdjacency(const std::vector<DWORD>& indices, const DWORD* adjacency,
                                       DWORD numVertices, std::vector<DWORD>* points);

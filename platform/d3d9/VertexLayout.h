#pragma once
// Where each part of a vertex lies, taken from a flexible vertex format code or from a vertex
// declaration, and how one part is read as four floats.

#include "platform/d3d9/D3D9Types.h"

constexpr int kMaxTextureCoordinateSets = 8;
constexpr int kMaxStreams = 8;

struct VertexElementRef {
    bool present = false;
    int stream = 0;
    UINT offset = 0;
    D3DDECLTYPE type = D3DDECLTYPE_UNUSED;
    int components = 0; // how many of x, y, z, w the element holds
};

struct VertexLayout {
    bool pretransformed = false; // XYZRHW / POSITIONT: screen coordinates and 1/w
    VertexElementRef position;
    VertexElementRef normal;
    VertexElementRef diffuse;
    VertexElementRef specular;
    VertexElementRef pointSize;
    VertexElementRef texcoord[kMaxTextureCoordinateSets];
    UINT fvfStride = 0; // vertex size implied by an FVF code
};

// False for codes that do not describe a usable vertex (no position, or reserved bits set).
bool LayoutFromFvf(DWORD fvf, VertexLayout* layout);

// False when the declaration is malformed or has no position.
bool LayoutFromDeclaration(const D3DVERTEXELEMENT9* elements, UINT count, VertexLayout* layout);

// Reads one element as (x, y, z, w), missing components being (0, 0, 0, 1). D3DCOLOR reads as
// (red, green, blue, alpha) in 0..1.
void ReadElement(const BYTE* source, D3DDECLTYPE type, float out[4]);

// Declaration elements equivalent to an FVF code (used by GetDeclaration of an FVF layout).
UINT DeclarationFromFvf(DWORD fvf, D3DVERTEXELEMENT9* elements, UINT capacity);

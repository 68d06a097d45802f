#include "gfxutil/mesh/D3DX9Mesh.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool SameElement(const D3DVERTEXELEMENT9& a, const D3DVERTEXELEMENT9& b) {
    return a.Stream == b.Stream && a.Offset == b.Offset && a.Type == b.Type && a.Method == b.Method &&
           a.Usage == b.Usage && a.UsageIndex == b.UsageIndex;
}

void ExpectDeclaration(DWORD fvf, const std::vector<D3DVERTEXELEMENT9>& expected) {
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    ASSERT_EQ(D3DXDeclaratorFromFVF(fvf, declaration), D3D_OK);
    ASSERT_EQ(D3DXGetDeclLength(declaration), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(SameElement(declaration[i], expected[i])) << "element " << i;
    EXPECT_EQ(declaration[expected.size()].Stream, 0xFF);
    DWORD back = 0;
    ASSERT_EQ(D3DXFVFFromDeclarator(declaration, &back), D3D_OK);
    EXPECT_EQ(back, fvf);
}

} // namespace

TEST(FvfDeclaration, PositionAndNormalOfTheSphere) {
    ExpectDeclaration(D3DFVF_XYZ | D3DFVF_NORMAL, {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                                   {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0}});
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL), 24u);
}

TEST(FvfDeclaration, EveryPartInItsPlace) {
    const DWORD fvf = D3DFVF_XYZB3 | D3DFVF_LASTBETA_UBYTE4 | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE |
                      D3DFVF_SPECULAR | D3DFVF_TEX3 | D3DFVF_TEXCOORDSIZE3(1) | D3DFVF_TEXCOORDSIZE1(2);
    ExpectDeclaration(fvf, {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                            {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_BLENDWEIGHT, 0},
                            {0, 20, D3DDECLTYPE_UBYTE4, 0, D3DDECLUSAGE_BLENDINDICES, 0},
                            {0, 24, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                            {0, 36, D3DDECLTYPE_FLOAT1, 0, D3DDECLUSAGE_PSIZE, 0},
                            {0, 40, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                            {0, 44, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 1},
                            {0, 48, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                            {0, 56, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TEXCOORD, 1},
                            {0, 68, D3DDECLTYPE_FLOAT1, 0, D3DDECLUSAGE_TEXCOORD, 2}});
    EXPECT_EQ(D3DXGetFVFVertexSize(fvf), 72u);
}

TEST(FvfDeclaration, TransformedAndFourComponentPositions) {
    ExpectDeclaration(D3DFVF_XYZRHW | D3DFVF_TEX1,
                      {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                       {0, 16, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0}});
    ExpectDeclaration(D3DFVF_XYZW | D3DFVF_DIFFUSE,
                      {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITION, 0},
                       {0, 16, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0}});
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_TEX1), 24u);
}

TEST(FvfDeclaration, CodesThatDescribeNoVertexAreRejected) {
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    for (DWORD fvf : {D3DFVF_RESERVED0 | D3DFVF_XYZ, D3DFVF_XYZ | 0x900u, D3DFVF_XYZ | D3DFVF_LASTBETA_UBYTE4,
                      D3DFVF_XYZB2 | D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR, 0x4004u}) {
        EXPECT_EQ(D3DXDeclaratorFromFVF(fvf, declaration), D3DERR_INVALIDCALL) << std::hex << fvf;
        EXPECT_EQ(D3DXGetFVFVertexSize(fvf), 0u) << std::hex << fvf;
    }
    // Five blend weights have a size but no declaration type.
    EXPECT_EQ(D3DXDeclaratorFromFVF(D3DFVF_XYZB5, declaration), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZB5), 32u);
    EXPECT_EQ(D3DXDeclaratorFromFVF(D3DFVF_XYZ, nullptr), D3DERR_INVALIDCALL);
}

TEST(FvfDeclaration, DeclarationsWithoutAnFvfFormAreRejected) {
    const D3DVERTEXELEMENT9 normalFirst[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                             {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                             D3DDECL_END()};
    const D3DVERTEXELEMENT9 gap[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                     {0, 16, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                     D3DDECL_END()};
    const D3DVERTEXELEMENT9 secondSetOnly[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                               {0, 12, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 1},
                                               D3DDECL_END()};
    const D3DVERTEXELEMENT9 otherStream[] = {{1, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                             D3DDECL_END()};
    DWORD fvf = 0xDEAD;
    for (const D3DVERTEXELEMENT9* declaration : {normalFirst, gap, secondSetOnly, otherStream})
        EXPECT_EQ(D3DXFVFFromDeclarator(declaration, &fvf), D3DERR_INVALIDCALL);
    EXPECT_EQ(fvf, 0xDEADu);

    std::vector<D3DVERTEXELEMENT9> unterminated(MAX_FVF_DECL_SIZE, {0, 0, D3DDECLTYPE_FLOAT3, 0, 0, 0});
    EXPECT_EQ(D3DXGetDeclLength(unterminated.data()), MAX_FVF_DECL_SIZE);
    EXPECT_EQ(D3DXFVFFromDeclarator(unterminated.data(), &fvf), D3DERR_INVALIDCALL);
}

TEST(FvfDeclaration, VertexSizeOfOneStream) {
    const D3DVERTEXELEMENT9 twoStreams[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                            {1, 4, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                            {0, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                            D3DDECL_END()};
    EXPECT_EQ(D3DXGetDeclVertexSize(twoStreams, 0), 16u);
    EXPECT_EQ(D3DXGetDeclVertexSize(twoStreams, 1), 12u);
    EXPECT_EQ(D3DXGetDeclVertexSize(twoStreams, 2), 0u);
}

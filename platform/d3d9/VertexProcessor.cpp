#include "platform/d3d9/VertexProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace {

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, float out[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r][c] =
                a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] + a.m[r][3] * b.m[3][c];
}

D3DMATRIX ToMatrix(const float m[4][4]) {
    D3DMATRIX out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out.m[r][c] = m[r][c];
    return out;
}

// Inverse transpose of the upper 3 x 3, for transforming normals as row vectors.
void NormalMatrix(const float m[4][4], float out[3][3]) {
    const float a = m[0][0], b = m[0][1], c = m[0][2];
    const float d = m[1][0], e = m[1][1], f = m[1][2];
    const float g = m[2][0], h = m[2][1], i = m[2][2];
    const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    const float D = -(b * i - c * h), E = a * i - c * g, F = -(a * h - b * g);
    const float G = b * f - c * e, H = -(a * f - c * d), I = a * e - b * d;
    const float det = a * A + b * B + c * C;
    const float inv = det != 0.0f ? 1.0f / det : 0.0f;
    // inverse = adjugate / det, adjugate = cofactor^T; inverse transpose = cofactor / det.
    const float cof[3][3] = {{A, B, C}, {D, E, F}, {G, H, I}};
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col)
            out[r][col] = cof[r][col] * inv;
}

void ColorToFloats(D3DCOLOR c, float out[4]) {
    out[0] = float((c >> 16) & 255) / 255.0f;
    out[1] = float((c >> 8) & 255) / 255.0f;
    out[2] = float(c & 255) / 255.0f;
    out[3] = float(c >> 24) / 255.0f;
}

void ValueToFloats(const D3DCOLORVALUE& c, float out[4]) {
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

void Normalize3(float* v) {
    const float len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len > 0.0f) {
        v[0] /= len;
        v[1] /= len;
        v[2] /= len;
    }
}

float Dot3(const float* a, const float* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

float Saturate(float v) {
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

// p x m for a row vector p; the four lanes do each column's multiplies and adds in the order the
// scalar form does, so the results are the same.
void TransformPoint(const float p[4], const float m[4][4], float out[4]) {
#if defined(__SSE2__)
    __m128 sum = _mm_mul_ps(_mm_set1_ps(p[0]), _mm_loadu_ps(m[0]));
    sum = _mm_add_ps(sum, _mm_mul_ps(_mm_set1_ps(p[1]), _mm_loadu_ps(m[1])));
    sum = _mm_add_ps(sum, _mm_mul_ps(_mm_set1_ps(p[2]), _mm_loadu_ps(m[2])));
    sum = _mm_add_ps(sum, _mm_mul_ps(_mm_set1_ps(p[3]), _mm_loadu_ps(m[3])));
    _mm_storeu_ps(out, sum);
#else
    for (int i = 0; i < 4; ++i)
        out[i] = p[0] * m[0][i] + p[1] * m[1][i] + p[2] * m[2][i] + p[3] * m[3][i];
#endif
}

unsigned Outcode(const float* c, float guardBand) {
    unsigned code = 0;
    const float w = c[3];
    if (!(c[2] >= 0.0f))
        code |= kClipNear;
    if (!(c[2] <= w))
        code |= kClipFar;
    const float g = guardBand * w;
    if (!(c[0] >= -g))
        code |= kClipLeft;
    if (!(c[0] <= g))
        code |= kClipRight;
    if (!(c[1] >= -g))
        code |= kClipBottom;
    if (!(c[1] <= g))
        code |= kClipTop;
    if (!(w > 1e-7f))
        code |= kClipW;
    return code;
}

// Material colour from its source state: the vertex's colour when asked for and present.
void MaterialColor(DWORD source, bool colorVertex, bool hasDiffuse, const float* diffuse, bool hasSpecular,
                   const float* specular, const D3DCOLORVALUE& material, float out[4]) {
    if (colorVertex && source == D3DMCS_COLOR1 && hasDiffuse) {
        for (int i = 0; i < 4; ++i)
            out[i] = diffuse[i];
    } else if (colorVertex && source == D3DMCS_COLOR2 && hasSpecular) {
        for (int i = 0; i < 4; ++i)
            out[i] = specular[i];
    } else {
        ValueToFloats(material, out);
    }
}

void Light(const VertexSetup& s, const float* position, const float* normal, bool hasDiffuse,
           const float* vertexDiffuse, bool hasSpecular, const float* vertexSpecular, float* diffuseOut,
           float* specularOut) {
    float md[4], ma[4], ms[4], me[4];
    MaterialColor(s.diffuseSource, s.colorVertex, hasDiffuse, vertexDiffuse, hasSpecular, vertexSpecular,
                  s.material.Diffuse, md);
    MaterialColor(s.ambientSource, s.colorVertex, hasDiffuse, vertexDiffuse, hasSpecular, vertexSpecular,
                  s.material.Ambient, ma);
    MaterialColor(s.specularSource, s.colorVertex, hasDiffuse, vertexDiffuse, hasSpecular, vertexSpecular,
                  s.material.Specular, ms);
    MaterialColor(s.emissiveSource, s.colorVertex, hasDiffuse, vertexDiffuse, hasSpecular, vertexSpecular,
                  s.material.Emissive, me);

    float p[3], n[3];
    for (int i = 0; i < 3; ++i)
        p[i] = position[0] * s.worldView[0][i] + position[1] * s.worldView[1][i] +
               position[2] * s.worldView[2][i] + s.worldView[3][i];
    for (int i = 0; i < 3; ++i)
        n[i] = normal[0] * s.normalMatrix[0][i] + normal[1] * s.normalMatrix[1][i] +
               normal[2] * s.normalMatrix[2][i];
    if (s.normalizeNormals)
        Normalize3(n);

    float ambient[3] = {0, 0, 0}, diffuse[3] = {0, 0, 0}, specular[3] = {0, 0, 0};
    for (const ActiveLight& light : s.lights) {
        float l[3];
        float attenuation = 1.0f;
        if (light.type == D3DLIGHT_DIRECTIONAL) {
            l[0] = light.direction[0];
            l[1] = light.direction[1];
            l[2] = light.direction[2];
        } else {
            for (int i = 0; i < 3; ++i)
                l[i] = light.position[i] - p[i];
            const float distance = std::sqrt(Dot3(l, l));
            if (distance > light.range)
                continue;
            if (distance > 0.0f)
                for (float& c : l)
                    c /= distance;
            const float denominator = light.att0 + light.att1 * distance + light.att2 * distance * distance;
            attenuation = denominator > 0.0f ? 1.0f / denominator : 1.0f;
            if (light.type == D3DLIGHT_SPOT) {
                const float rho = -Dot3(l, light.direction);
                if (rho <= light.cosHalfPhi)
                    continue;
                if (rho < light.cosHalfTheta) {
                    const float t = (rho - light.cosHalfPhi) / (light.cosHalfTheta - light.cosHalfPhi);
                    attenuation *= light.falloff == 1.0f ? t : std::pow(t, light.falloff);
                }
            }
        }
        const float nDotL = std::max(0.0f, Dot3(n, l));
        for (int i = 0; i < 3; ++i) {
            ambient[i] += attenuation * light.ambient[i];
            diffuse[i] += attenuation * nDotL * light.diffuse[i];
        }
        if (s.specularLighting && nDotL > 0.0f && s.material.Power > 0.0f) {
            float h[3];
            if (s.localViewer) {
                float v[3] = {-p[0], -p[1], -p[2]};
                Normalize3(v);
                for (int i = 0; i < 3; ++i)
                    h[i] = l[i] + v[i];
            } else {
                h[0] = l[0];
                h[1] = l[1];
                h[2] = l[2] - 1.0f;
            }
            Normalize3(h);
            const float nDotH = Dot3(n, h);
            if (nDotH > 0.0f) {
                const float power = attenuation * std::pow(nDotH, s.material.Power);
                for (int i = 0; i < 3; ++i)
                    specular[i] += power * light.specular[i];
            }
        }
    }
    for (int i = 0; i < 3; ++i) {
        diffuseOut[i] = Saturate(me[i] + ma[i] * (s.globalAmbient[i] + ambient[i]) + md[i] * diffuse[i]);
        specularOut[i] = Saturate(ms[i] * specular[i]);
    }
    diffuseOut[3] = Saturate(md[3]);
    specularOut[3] = Saturate(ms[3]);
}

} // namespace

void PrepareTransforms(const DeviceState& state, VertexSetup& s) {
    Multiply(state.world, state.view, s.worldView);
    const D3DMATRIX wv = ToMatrix(s.worldView);
    Multiply(wv, state.projection, s.worldViewProjection);
    NormalMatrix(s.worldView, s.normalMatrix);
}

void PrepareLights(const DeviceState& state, VertexSetup& s) {
    const DWORD* rs = state.render;
    s.lighting = rs[D3DRS_LIGHTING] != 0;
    s.specularLighting = rs[D3DRS_SPECULARENABLE] != 0;
    s.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != 0;
    s.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    s.colorVertex = rs[D3DRS_COLORVERTEX] != 0;
    s.diffuseSource = rs[D3DRS_DIFFUSEMATERIALSOURCE];
    s.specularSource = rs[D3DRS_SPECULARMATERIALSOURCE];
    s.ambientSource = rs[D3DRS_AMBIENTMATERIALSOURCE];
    s.emissiveSource = rs[D3DRS_EMISSIVEMATERIALSOURCE];
    s.flatShading = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    ColorToFloats(rs[D3DRS_AMBIENT], s.globalAmbient);
    s.material = state.material;
    s.lights.clear();
    const D3DMATRIX& view = state.view;
    for (const LightSlot& slot : state.lights) {
        if (!slot.enabled || int(s.lights.size()) >= kMaxActiveLights)
            continue;
        const D3DLIGHT9& l = slot.light;
        ActiveLight a{};
        a.type = l.Type;
        ValueToFloats(l.Diffuse, a.diffuse);
        ValueToFloats(l.Specular, a.specular);
        ValueToFloats(l.Ambient, a.ambient);
        const float pos[3] = {l.Position.x, l.Position.y, l.Position.z};
        const float dir[3] = {l.Direction.x, l.Direction.y, l.Direction.z};
        for (int i = 0; i < 3; ++i) {
            a.position[i] =
                pos[0] * view.m[0][i] + pos[1] * view.m[1][i] + pos[2] * view.m[2][i] + view.m[3][i];
            a.direction[i] = dir[0] * view.m[0][i] + dir[1] * view.m[1][i] + dir[2] * view.m[2][i];
        }
        Normalize3(a.direction);
        if (a.type == D3DLIGHT_DIRECTIONAL)
            for (float& c : a.direction)
                c = -c; // towards the light
        a.range = l.Range;
        a.att0 = l.Attenuation0;
        a.att1 = l.Attenuation1;
        a.att2 = l.Attenuation2;
        a.falloff = l.Falloff;
        a.cosHalfTheta = std::cos(l.Theta * 0.5f);
        a.cosHalfPhi = std::cos(l.Phi * 0.5f);
        s.lights.push_back(a);
    }
    s.lightsNeedPosition = s.specularLighting && s.localViewer;
    for (const ActiveLight& a : s.lights)
        s.lightsNeedPosition = s.lightsNeedPosition || a.type != D3DLIGHT_DIRECTIONAL;
}

void PrepareViewport(const D3DVIEWPORT9& vp, VertexSetup& s) {
    s.viewportX = float(vp.X);
    s.viewportY = float(vp.Y);
    s.halfWidth = float(vp.Width) * 0.5f;
    s.halfHeight = float(vp.Height) * 0.5f;
    s.minZ = vp.MinZ;
    s.depthRange = vp.MaxZ - vp.MinZ;
    const float largest = float(std::max<DWORD>({vp.Width, vp.Height, 1}));
    s.guardBand = std::max(1.0f, 16384.0f / largest);
}

void ProjectVertex(const VertexSetup& s, PipelineVertex& v) {
    const float rhw = 1.0f / v.clip[3];
    v.screen[0] = s.viewportX + (v.clip[0] * rhw + 1.0f) * s.halfWidth;
    v.screen[1] = s.viewportY + (1.0f - v.clip[1] * rhw) * s.halfHeight;
    v.screen[2] = s.minZ + v.clip[2] * rhw * s.depthRange;
    v.screen[3] = rhw;
}

namespace {

void ProcessGeneralVertex(const VertexLayout& layout, const VertexStreams& vertex, const VertexSetup& s,
                          PipelineVertex& out) {
    float position[4];
    ReadElement(vertex.data[layout.position.stream] + layout.position.offset, layout.position.type, position);
    if (layout.position.type == D3DDECLTYPE_FLOAT3 || layout.position.type < D3DDECLTYPE_FLOAT3)
        position[3] = 1.0f;

    float vertexDiffuse[4] = {1, 1, 1, 1}, vertexSpecular[4] = {0, 0, 0, 0};
    if (layout.diffuse.present)
        ReadElement(vertex.data[layout.diffuse.stream] + layout.diffuse.offset, layout.diffuse.type,
                    vertexDiffuse);
    if (layout.specular.present)
        ReadElement(vertex.data[layout.specular.stream] + layout.specular.offset, layout.specular.type,
                    vertexSpecular);

    float* diffuse = out.varying;
    float specularStore[4];
    float* specular = s.varyings.specular >= 0 ? out.varying + s.varyings.specular : specularStore;

    if (layout.pretransformed) {
        for (int i = 0; i < 4; ++i) {
            out.screen[i] = position[i];
            out.clip[i] = i < 3 ? position[i] : 1.0f;
            diffuse[i] = vertexDiffuse[i];
            specular[i] = vertexSpecular[i];
        }
        out.outcode = 0;
    } else {
        TransformPoint(position, s.worldViewProjection, out.clip);
        out.outcode = Outcode(out.clip, s.guardBand);
        if (out.outcode == 0)
            ProjectVertex(s, out);
        if (s.lighting) {
            float normal[4] = {0, 0, 0, 0};
            if (layout.normal.present)
                ReadElement(vertex.data[layout.normal.stream] + layout.normal.offset, layout.normal.type,
                            normal);
            Light(s, position, normal, layout.diffuse.present, vertexDiffuse, layout.specular.present,
                  vertexSpecular, diffuse, specular);
        } else {
            for (int i = 0; i < 4; ++i) {
                diffuse[i] = vertexDiffuse[i];
                specular[i] = vertexSpecular[i];
            }
        }
    }

    for (int set = 0; set < kMaxTextureCoordinateSets; ++set) {
        const int offset = s.varyings.texcoord[set];
        if (offset < 0)
            continue;
        float coords[4] = {0, 0, 0, 0};
        const VertexElementRef& ref = layout.texcoord[set];
        if (ref.present) {
            ReadElement(vertex.data[ref.stream] + ref.offset, ref.type, coords);
            // Components the coordinate set does not have read as 0.
            for (int c = ref.components; c < 4; ++c)
                coords[c] = 0.0f;
        }
        for (int c = 0; c < s.varyings.texComponents[set]; ++c)
            out.varying[offset + c] = coords[c];
    }
}

float ReadFloat(const BYTE* p) {
    float v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

int FloatCount(D3DDECLTYPE type) {
    return type >= D3DDECLTYPE_FLOAT1 && type <= D3DDECLTYPE_FLOAT4 ? int(type - D3DDECLTYPE_FLOAT1) + 1 : 0;
}

// Lighting whose only per-vertex part is the diffuse sum of directional lights.
bool LightingIsSimple(const VertexLayout& layout, const VertexSetup& s) {
    if (layout.normal.type != D3DDECLTYPE_FLOAT3 || !layout.normal.present)
        return false;
    if (s.specularLighting && s.material.Power > 0.0f)
        return false;
    for (const ActiveLight& light : s.lights)
        if (light.type != D3DLIGHT_DIRECTIONAL)
            return false;
    return true;
}

bool CoordinatesAreFloats(const VertexLayout& layout, const VertexSetup& s) {
    for (int set = 0; set < kMaxTextureCoordinateSets; ++set) {
        const VertexElementRef& ref = layout.texcoord[set];
        if (s.varyings.texcoord[set] >= 0 && ref.present && FloatCount(ref.type) == 0)
            return false;
    }
    return true;
}

// The colours of a vertex without colours of its own: everything but the diffuse light sum is the
// same for each vertex (the same steps as Light, in the same order).
void PrepareLitColors(const VertexSetup& s, VertexPlan& plan) {
    float ma[4], ms[4], me[4];
    ValueToFloats(s.material.Diffuse, plan.materialDiffuse);
    ValueToFloats(s.material.Ambient, ma);
    ValueToFloats(s.material.Specular, ms);
    ValueToFloats(s.material.Emissive, me);
    float ambient[3] = {0, 0, 0};
    const float attenuation = 1.0f;
    for (const ActiveLight& light : s.lights)
        for (int i = 0; i < 3; ++i)
            ambient[i] += attenuation * light.ambient[i];
    const float specular[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        plan.lightBase[i] = me[i] + ma[i] * (s.globalAmbient[i] + ambient[i]);
        plan.specular[i] = Saturate(ms[i] * specular[i]);
    }
    plan.diffuse[3] = Saturate(plan.materialDiffuse[3]);
    plan.specular[3] = Saturate(ms[3]);
}

// One coordinate set read as ReadElement reads it, the components the set does not have being
// 0, and `written` components stored from varying `offset` on.
void PlanCoordinates(const VertexElementRef& ref, int offset, int written, VertexPlan& plan) {
    const int floats = ref.present ? FloatCount(ref.type) : 0;
    const int reads = ref.present ? std::min({floats, ref.components, written}) : 0;
    for (int c = 0; c < reads; ++c)
        plan.copies[plan.copyCount++] = {offset + c, ref.stream, ref.offset + UINT(4 * c)};
    for (int c = reads; c < written; ++c) {
        const bool defaultW = ref.present && c == 3 && floats < 4 && ref.components >= 4;
        plan.fills[plan.fillCount++] = {offset + c, defaultW ? 1.0f : 0.0f};
    }
}

void LightDirectional(const VertexLayout& layout, const VertexStreams& vertex, const VertexSetup& s,
                      const VertexPlan& plan, float* diffuseOut) {
    const BYTE* at = vertex.data[layout.normal.stream] + layout.normal.offset;
    const float normal[3] = {ReadFloat(at), ReadFloat(at + 4), ReadFloat(at + 8)};
    float n[3];
    for (int i = 0; i < 3; ++i)
        n[i] = normal[0] * s.normalMatrix[0][i] + normal[1] * s.normalMatrix[1][i] +
               normal[2] * s.normalMatrix[2][i];
    if (s.normalizeNormals)
        Normalize3(n);
    float diffuse[3] = {0, 0, 0};
    const float attenuation = 1.0f;
    for (const ActiveLight& light : s.lights) {
        const float nDotL = std::max(0.0f, Dot3(n, light.direction));
        for (int i = 0; i < 3; ++i)
            diffuse[i] += attenuation * nDotL * light.diffuse[i];
    }
    for (int i = 0; i < 3; ++i)
        diffuseOut[i] = Saturate(plan.lightBase[i] + plan.materialDiffuse[i] * diffuse[i]);
    diffuseOut[3] = plan.diffuse[3];
}

void ProcessCommonVertex(const VertexLayout& layout, const VertexStreams& vertex, const VertexSetup& s,
                         const VertexPlan& plan, PipelineVertex& out) {
    const BYTE* at = vertex.data[layout.position.stream] + layout.position.offset;
    const float position[4] = {ReadFloat(at), ReadFloat(at + 4), ReadFloat(at + 8), 1.0f};
    TransformPoint(position, s.worldViewProjection, out.clip);
    out.outcode = Outcode(out.clip, s.guardBand);
    if (out.outcode == 0)
        ProjectVertex(s, out);
    if (plan.lit)
        LightDirectional(layout, vertex, s, plan, out.varying);
    else
        std::memcpy(out.varying, plan.diffuse, sizeof plan.diffuse);
    if (s.varyings.specular >= 0)
        std::memcpy(out.varying + s.varyings.specular, plan.specular, sizeof plan.specular);
    for (int k = 0; k < plan.copyCount; ++k) {
        const VertexPlan::CoordinateCopy& copy = plan.copies[k];
        out.varying[copy.varying] = ReadFloat(vertex.data[copy.stream] + copy.byteOffset);
    }
    for (int k = 0; k < plan.fillCount; ++k)
        out.varying[plan.fills[k].varying] = plan.fills[k].value;
}

} // namespace

void PrepareVertexPlan(const VertexLayout& layout, const VertexSetup& s, VertexPlan& plan) {
    plan = VertexPlan{};
    plan.lit = s.lighting;
    plan.common = !layout.pretransformed && layout.position.present &&
                  layout.position.type == D3DDECLTYPE_FLOAT3 && !layout.diffuse.present &&
                  !layout.specular.present && (!s.lighting || LightingIsSimple(layout, s)) &&
                  CoordinatesAreFloats(layout, s);
    if (!plan.common)
        return;
    if (s.lighting) {
        PrepareLitColors(s, plan);
    } else {
        // Without lighting a vertex without colours is opaque white with no specular colour.
        for (int i = 0; i < 4; ++i) {
            plan.diffuse[i] = 1.0f;
            plan.specular[i] = 0.0f;
        }
    }
    for (int set = 0; set < kMaxTextureCoordinateSets; ++set) {
        const int offset = s.varyings.texcoord[set];
        if (offset >= 0)
            PlanCoordinates(layout.texcoord[set], offset, std::min(s.varyings.texComponents[set], 4), plan);
    }
}

void ProcessVertex(const VertexLayout& layout, const VertexStreams& vertex, const VertexSetup& s,
                   const VertexPlan& plan, PipelineVertex& out) {
    if (plan.common)
        ProcessCommonVertex(layout, vertex, s, plan, out);
    else
        ProcessGeneralVertex(layout, vertex, s, out);
}

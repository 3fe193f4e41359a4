#include "render/bone.h"

#include <algorithm>
#include <cmath>

#include "render/render_vertex.h"

namespace {

constexpr std::uint32_t kShadowColour = 0x96000000u;  // black, alpha 150
constexpr std::uint32_t kLitFlags = 0x815;
constexpr std::uint32_t kEnvFlags = 0x811;
constexpr std::uint32_t kWhite = 0x80FFFFFFu;
constexpr std::uint16_t kLitBank = 52;
constexpr std::uint16_t kEnvBank = 53;
constexpr std::size_t kMaxNormalsPerVertex = 256;
constexpr float kSameNormal = 0.01f;
constexpr float kLightFloor = 0.35f;

CVector3 Corner(const std::vector<CMeshVertex>& v, std::uint16_t i) {
  const CMeshVertex& p = v[i];
  return {p.x, p.y, p.z};
}

}  // namespace

void CBone::AttachToParent(CBone& parentBone) {
  nextSibling = parentBone.firstChild;
  parentBone.firstChild = index;
  parent = parentBone.index;
}

void CBone::Prepare() {
  shadowFaces.clear();
  litFaces.clear();
  envFaces.clear();
  for (const CFace& f : faces) {
    CFace shadow, lit;
    shadow.InitTriangleColour(0, kShadowColour, f.index[0], f.index[1], f.index[2]);
    lit.InitTriangleUV(kLitFlags, kWhite, f.index[0], f.index[1], f.index[2], 0.0f, 0.75f, 0.25f, 0.75f, 0.0f,
                       0.99609375f, kLitBank);
    shadowFaces.push_back(shadow);
    litFaces.push_back(lit);
    if (f.flags & kFaceEnvMapped) {
      CFace env;
      env.InitTriangleUV(kEnvFlags, kWhite, f.index[0], f.index[1], f.index[2], 0.0f, 0.0f, 64.0f, 0.0f, 0.0f,
                         64.0f, kEnvBank);
      envFaces.push_back(env);
    }
  }
  envFaceCount = static_cast<int>(envFaces.size());
  working.assign(vertices.size(), CMeshVertex{});
  ComputeFaceNormals();
  ComputeVertexNormals();
}

void CBone::ComputeFaceNormals() {
  faceNormals.assign(faces.size() * 3, 0.0f);
  for (std::size_t i = 0; i < faces.size(); ++i) {
    const CFace& f = faces[i];
    if (f.vertexCount < 3) continue;  // a point or a line has no normal
    const CVector3 a = Corner(vertices, f.index[0]);
    CVector3 n = CrossProduct(Corner(vertices, f.index[1]) - a, Corner(vertices, f.index[2]) - a);
    n.Normalize();
    faceNormals[i * 3] = n.x;
    faceNormals[i * 3 + 1] = n.y;
    faceNormals[i * 3 + 2] = n.z;
  }
}

void CBone::ComputeVertexNormals() {
  // Each vertex averages the distinct normals of the faces that use it, so a
  // flat side split into many triangles counts once.
  std::vector<std::vector<CVector3>> seen(vertices.size());
  for (std::size_t i = 0; i < faces.size(); ++i) {
    const CFace& f = faces[i];
    const CVector3 n(faceNormals[i * 3], faceNormals[i * 3 + 1], faceNormals[i * 3 + 2]);
    for (int k = 0; k < f.vertexCount; ++k) {
      std::vector<CVector3>& list = seen[f.index[k]];
      if (list.size() >= kMaxNormalsPerVertex) continue;
      const bool known = std::any_of(list.begin(), list.end(), [&](const CVector3& o) {
        return std::fabs(o.x - n.x) <= kSameNormal && std::fabs(o.y - n.y) <= kSameNormal &&
               std::fabs(o.z - n.z) <= kSameNormal;
      });
      if (!known) list.push_back(n);
    }
  }
  vertexNormals.assign(vertices.size() * 3, 0.0f);
  for (std::size_t v = 0; v < vertices.size(); ++v) {
    CVector3 sum;
    for (const CVector3& n : seen[v]) sum = sum + n;
    sum.Normalize();
    vertexNormals[v * 3] = sum.x;
    vertexNormals[v * 3 + 1] = sum.y;
    vertexNormals[v * 3 + 2] = sum.z;
  }
}

void CBone::Light(CVertex* transformed, float lx, float ly, float lz, int intensity) const {
  if (!transformed) return;
  for (std::size_t i = 0; i < vertices.size() && i * 3 + 2 < vertexNormals.size(); ++i) {
    float x = vertexNormals[i * 3] * lx + vertexNormals[i * 3 + 1] * ly + vertexNormals[i * 3 + 2] * lz;
    x = std::clamp(x, kLightFloor, 1.0f);
    if (std::isnan(x)) x = kLightFloor;
    const auto grey = static_cast<std::uint8_t>(std::clamp(static_cast<int>(x * static_cast<float>(intensity)), 0, 255));
    CColor& c = transformed[i].color;
    c.b = c.g = c.r = grey;
  }
}

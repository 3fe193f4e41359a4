// Drawing meshes and the meshes of a bank list through the 3D engine; kept
// apart from the mesh files, which know nothing of the engine.
#include <algorithm>
#include <cmath>
#include <vector>

#include "render/bank_list.h"
#include "render/camera.h"
#include "render/engine_3d.h"
#include "render/mesh.h"
#include "render/render_vertex.h"
#include "render/vector3.h"

namespace {

constexpr std::uint32_t kMeshGrey = 0x80808080u;

int FaceCorners(const CFace& f) {
  if (f.index[1] == kNoVertex) return 1;
  if (f.index[2] == kNoVertex) return 2;
  if (f.index[3] == kNoVertex) return 3;
  return 4;
}

CVertex* Submit(const CMatrix& m, const CMeshVertex* vertices, int vertexCount, CMesh& faces) {
  if (!g_3DEngine) return nullptr;
  CVertex* v = g_3DEngine->TransformVertices(&m, vertices, vertexCount, 0);
  if (!v) return nullptr;
  g_3DEngine->AddFaces(v, faces.faces.data(), faces.FaceCount(), vertexCount);
  return v;
}

}  // namespace

CVertex* CMesh::Render(const CVector3& position, const CVector3& angles, const CCamera& camera) {
  if (vertices.empty() || faces.empty()) return nullptr;
  CMatrix m;
  m.FromEulerAndPosition(angles, position - camera.position);
  m = MultiplyMatrices(m, camera.view);
  for (CMeshVertex& v : vertices) v.color = kMeshGrey;
  return Submit(m, vertices.data(), VertexCount(), *this);
}

std::vector<char> CMesh::UsedVertices() const {
  const int n = VertexCount();
  std::vector<char> used(static_cast<std::size_t>(n), 0);
  for (const CFace& f : faces) {
    const int corners = FaceCorners(f);
    for (int i = 0; i < corners; ++i)
      if (f.index[i] < n) used[f.index[i]] = 1;
  }
  return used;
}

CBox3 CMesh::UsedBounds() const {
  const std::vector<char> used = UsedVertices();
  CBox3 box;
  for (std::size_t i = 0; i < used.size(); ++i)
    if (used[i]) box.Add({vertices[i].x, vertices[i].y, vertices[i].z});
  return box;
}

std::vector<CMeshVertex> CMesh::FittedVertices() const {
  const int n = VertexCount();
  const std::vector<char> used = UsedVertices();
  float lo[3] = {999999.0f, 999999.0f, 999999.0f}, hi[3] = {-999999.0f, -999999.0f, -999999.0f};
  for (int i = 0; i < n; ++i) {
    if (!used[static_cast<std::size_t>(i)]) continue;
    const CMeshVertex& v = vertices[static_cast<std::size_t>(i)];
    const float p[3] = {std::trunc(v.x), std::trunc(v.y), std::trunc(v.z)};
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], p[k]);
      hi[k] = std::max(hi[k], p[k]);
    }
  }
  const float extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  const float scale = extent > 0.0f ? 420.0f / extent : 1.0f;
  const float centre[3] = {(lo[0] + hi[0]) / 2.0f, (lo[1] + hi[1]) / 2.0f, (lo[2] + hi[2]) / 2.0f};
  std::vector<CMeshVertex> copy(vertices);
  for (CMeshVertex& v : copy) {
    v.x = (v.x - centre[0]) * scale;
    v.y = (v.y - centre[1]) * scale;
    v.z = (v.z - centre[2]) * scale;
    v.color = kMeshGrey;
  }
  return copy;
}

namespace {

CMatrix FittedMatrix(const CVector3& position, const CVector3& angles, const CCamera& camera) {
  CMatrix m;
  m.FromEulerAndPosition(angles, position - camera.position);
  return MultiplyMatrices(m, camera.view);
}

}  // namespace

CVertex* CMesh::RenderFitted(const CVector3& position, const CVector3& angles, const CCamera& camera) {
  if (vertices.empty() || faces.empty() || !g_3DEngine) return nullptr;
  const int n = VertexCount();
  std::vector<CMeshVertex> copy = FittedVertices();
  const CMatrix m = FittedMatrix(position, angles, camera);
  CVertex* out = g_3DEngine->TransformVertices(&m, copy.data(), n, 0);
  if (!out) return nullptr;
  // The copy goes when this call returns: the drawn vertices must not point at it.
  for (int i = 0; i < n; ++i) out[i].source = nullptr;
  g_3DEngine->AddFaces(out, faces.data(), FaceCount(), n);
  return out;
}

int CMesh::FittedBounds(const CVector3& position, const CVector3& angles, const CCamera& camera, float focalX,
                        float focalY, float nearZ, Point* topLeft, Point* bottomRight) const {
  if (vertices.empty() || faces.empty()) return 0;
  const std::vector<CMeshVertex> copy = FittedVertices();
  const CMatrix m = FittedMatrix(position, angles, camera);
  const float* r = m.m;
  bool any = false;
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  for (const CMeshVertex& in : copy) {
    const float x = (r[0] * in.x + r[3] * in.y + r[6] * in.z + r[9]) * focalX;
    const float y = (r[1] * in.x + r[4] * in.y + r[7] * in.z + r[10]) * focalY;
    const float z = r[2] * in.x + r[5] * in.y + r[8] * in.z + r[11];
    if (!(z >= nearZ) || z == 0.0f) continue;
    const float rz = 1.0f / z;
    const int sx = static_cast<int>(std::lrint(std::clamp(x * rz, -2.0e9f, 2.0e9f)));
    const int sy = static_cast<int>(std::lrint(std::clamp(-y * rz, -2.0e9f, 2.0e9f)));
    if (!any) {
      minX = maxX = sx;
      minY = maxY = sy;
      any = true;
    }
    minX = std::min(minX, sx);
    maxX = std::max(maxX, sx);
    minY = std::min(minY, sy);
    maxY = std::max(maxY, sy);
  }
  if (!any) return 0;
  if (topLeft) *topLeft = Point{minX, minY};
  if (bottomRight) *bottomRight = Point{maxX, maxY};
  return 1;
}

CVertex* CMesh::RenderLocal(const CVector3& position, const CVector3& angles) {
  if (vertices.empty() || faces.empty() || !g_3DEngine) return nullptr;
  CMatrix raise;
  raise.MakeTranslation(CVector3(0.0f, kLocalRaise, 0.0f));
  CMatrix m;
  m.FromEulerAndPosition(angles, position);
  m = MultiplyMatrices(raise, m);
  CVertex* v = g_3DEngine->TransformVertices(&m, vertices.data(), VertexCount(), 0);
  if (!v) return nullptr;
  for (int i = 0; i < VertexCount(); ++i) v[i].color = CColor::FromValue(kMeshGrey);
  g_3DEngine->AddFaces(v, faces.data(), FaceCount(), VertexCount());
  return v;
}

int CBankList::Render(int index, const CVector3& position, const CVector3& angles, const CCamera& camera) {
  if (CMesh* mesh = GetMeshAt(index)) mesh->Render(position, angles, camera);
  return 1;
}

int CBankList::RenderByName(const char* path, const CVector3& position, const CVector3& angles,
                             const CCamera& camera) {
  if (!path) return 1;
  return Render(FindOrAdd(path), position, angles, camera);
}

CVertex* CBankList::RenderLocal(int index, const CVector3& position, const CVector3& angles) {
  CMesh* mesh = GetMeshAt(index);
  if (!mesh) return nullptr;
  return mesh->RenderLocal(position, angles);
}

int CBankList::RenderFitted(int index, const CVector3& position, const CVector3& angles, const CCamera& camera,
                             Point* topLeft, Point* bottomRight) {
  CMesh* mesh = GetMeshAt(index);
  if (!mesh) return 0;
  const CVertex* v = mesh->RenderFitted(position, angles, camera);
  if (!v) return 0;
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool any = false;
  for (int i = 0; i < mesh->VertexCount(); ++i) {
    if (v[i].inFront) continue;
    if (!any) {
      minX = maxX = v[i].sx;
      minY = maxY = v[i].sy;
      any = true;
    }
    minX = std::min(minX, v[i].sx);
    maxX = std::max(maxX, v[i].sx);
    minY = std::min(minY, v[i].sy);
    maxY = std::max(maxY, v[i].sy);
  }
  if (!any) return 0;
  if (topLeft) *topLeft = Point{minX, minY};
  if (bottomRight) *bottomRight = Point{maxX, maxY};
  return 1;
}

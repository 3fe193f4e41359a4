#pragma once
// A mesh read from an ".o3d" file, either the raw body or the same body
// behind a "04D" header that adds a footprint grid.
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "render/face.h"
#include "render/mesh_vertex.h"

class CCamera;
struct CBox3;
struct CVector3;
struct CVertex;
struct Point;

// Height of a mesh without vertices.
inline constexpr float kNoMeshHeight = -std::numeric_limits<float>::max();

// Why a mesh's bytes were refused.
enum class MeshError {
  kNone,
  kTruncated,      // a count or size reaches past the end of the bytes
  kBadIndex,       // a face corner names a vertex the mesh does not have
  kBadVersion,     // a "04D" header of a version other than 1
};

class CMesh {
 public:
  CMesh() = default;
  ~CMesh() { Free(); }
  CMesh(const CMesh&) = delete;
  CMesh& operator=(const CMesh&) = delete;

  // Reads either form through the archive layer: 1 when a mesh was read;
  // 0, with an empty mesh, when the file is missing or damaged (a damaged
  // file is reported in a message box). The height is computed either way.
  int Load(const char* path);
  // The raw form only; 0 when the file cannot be opened or is damaged.
  int LoadRaw(const char* path);

  // Parses a whole file's bytes: the "04D" form when the bytes begin so,
  // else the raw form. On failure the mesh is left empty.
  MeshError ReadBytes(std::span<const std::uint8_t> bytes);
  MeshError ReadRawBytes(std::span<const std::uint8_t> bytes);

  void Free();
  void ComputeHeight();

  int FaceCount() const { return static_cast<int>(faces.size()); }
  int VertexCount() const { return static_cast<int>(vertices.size()); }
  bool Empty() const { return faces.empty() || vertices.empty(); }

  // Drawing through the 3D engine (g_3DEngine). The vertices handed back are
  // the engine's and stay valid until its next frame; null when nothing was
  // drawn (an empty mesh, or no engine).
  // At a world position with Euler angles, seen by the camera.
  CVertex* Render(const CVector3& position, const CVector3& angles, const CCamera& camera);
  // For previews: the used vertices recentred and scaled to 420 units across.
  CVertex* RenderFitted(const CVector3& position, const CVector3& angles, const CCamera& camera);
  // Where RenderFitted's vertices land, relative to the viewport's centre,
  // computed without drawing; 0 when no vertex lies beyond the near plane.
  int FittedBounds(const CVector3& position, const CVector3& angles, const CCamera& camera, float focalX,
                   float focalY, float nearZ, Point* topLeft, Point* bottomRight) const;
  // The vertices scaled and centred as RenderFitted draws them.
  std::vector<CMeshVertex> FittedVertices() const;
  // The box of the vertices some face uses (empty when there is none).
  CBox3 UsedBounds() const;
  // At a camera-space position, raised by kLocalRaise units.
  static constexpr float kLocalRaise = 256.0f;
  CVertex* RenderLocal(const CVector3& position, const CVector3& angles);

  // Footprint: gridWidth x gridHeight blocks of 3 x 3 collision cells. Cell
  // (x, y), x in 0..3 x gridWidth - 1 and y in 0..3 x gridHeight - 1, is byte
  // y x (3 x gridWidth) + x of the grid: rows of cells, top row first.
  bool HasFootprint() const { return !grid.empty(); }
  int FootprintColumns() const { return 3 * gridWidth; }
  int FootprintRows() const { return 3 * gridHeight; }
  // The cell's byte, 0 outside the grid.
  std::uint8_t FootprintCell(int x, int y) const;

  char name[32] = {};
  std::uint32_t loadedFaceCount = 0;
  std::uint32_t loadedVertexCount = 0;
  std::vector<CFace> faces;
  std::vector<CMeshVertex> vertices;
  int gridWidth = 0;
  int gridHeight = 0;
  std::vector<std::uint8_t> grid;
  float height = kNoMeshHeight;

 private:
  // One flag a vertex: whether some face uses it.
  std::vector<char> UsedVertices() const;
  MeshError ReadBody(std::span<const std::uint8_t> bytes, std::size_t& pos, bool withHeader);
  int Finish(const char* path, MeshError error);
};

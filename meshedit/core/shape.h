#pragma once
// The mesh the editor works on: vertices, sides (triangles and quads), scene
// nodes partitioning the vertices, optional progressive-mesh data and an edge
// table. Derived data (normals, edges, node class flags, side order) is valid
// after Rebuild, which every load, import, merge and delete ends with.
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "meshedit/core/matrix.h"
#include "meshedit/core/shape_node.h"
#include "meshedit/core/shape_vertex.h"
#include "meshedit/core/side.h"

namespace pavix {

struct MtfFile;
struct O3dSaveReport;
struct ImportResult;
class VertexWelder;

// The progressive-mesh part: for each vertex the vertex it collapses into
// (bit 31: present at the current level of detail) and the texture
// coordinates its sides take when it does.
struct MrmPart {
  int count = 0;
  std::vector<std::uint32_t> order;
  std::vector<CUv> uv;
  std::uint32_t unused = 0;
  std::uint32_t word = 0;
  float threshold = 10000.0f;
};

// Values that go with the node list: three read from the node-list record, one
// the view sets before each transform, and four more words.
struct NodeListState {
  std::uint32_t values[3] = {};
  float viewValue = 0.0f;
  std::uint32_t words[4] = {};
};

class CShape {
 public:
  CShape() = default;

  int VertexCount() const { return static_cast<int>(vertices.size()); }
  int SideCount() const { return static_cast<int>(sides.size()); }
  int NodeCount() const { return static_cast<int>(nodes.size()); }
  int EdgeCount() const { return static_cast<int>(edges.size()); }

  void Clear();
  // Exactly n elements (none for n <= 0): new vertices have flags 0, new
  // nodes their defaults, new sides are cleared.
  void SetVertexCount(int n);
  void SetNodeCount(int n);
  void SetSideCount(int n);
  void SetEdgeCount(int n);
  int AddVertex(const CShapeVertex& v);
  int AddSide(const CSide& side);
  int AddEdge(std::uint32_t a, std::uint32_t b);
  // One node over all vertices with the given pivot and end points.
  void SetSingleNode(const CVector& pivot, const CVector& end);

  // First vertex at exactly this position, else -1.
  int FindVertex(float x, float y, float z) const;
  // First edge (a, b) or (b, a), else -1.
  int FindEdge(std::uint32_t a, std::uint32_t b) const;
  CVector GetMin() const;
  CVector GetMax() const;
  // Mean position; (0, 0, 0) for a mesh without vertices.
  CVector GetCentre() const;

  int NodeOfVertex(int vertex) const;
  int FirstVertexOfNode(int node) const;

  // Derived data.
  void Rebuild();
  void ComputeNormals();
  void BuildEdges();
  // Drops degenerate sides and sides whose indices name no vertex.
  void RemoveDegenerateSides();
  // Numbers the connected parts 1, 2, ... in side order; parts after the
  // 255th all get 255.
  void GroupSides();
  // After Rebuild: the index a side had before it (at the start of the
  // outermost Rebuild) now has, or -1 when that side was dropped.
  int SideAfterRebuild(int before) const;

  // Editing; group 0 means every side.
  void TransformGroup(int group, const CMatrix& m);
  void DeleteGroup(int group);
  void MarkUnusedVertices();
  void RemoveMarkedVertices();
  void Merge(const CShape& other);
  void SplitQuads();
  void RotateToTopEdge(int side);
  CUv GetUvCentre(int group) const;
  void ScaleUv(int group, float su, float sv);
  void TranslateUv(int group, float du, float dv);
  void RotateUv(int group, float angle);

  // Progressive mesh (collapse order, vertex and side order).
  void BuildProgressive();

  // Files. Each forces its extension (".O3D", ".SHP", ".ASC", ".3DS", ".DXF").
  // 1 on success, 0 on failure with the mesh unchanged. A save tells the
  // name it wrote or why it failed, an import what was wrong with its file,
  // when asked.
  int SaveO3d(std::string_view path, O3dSaveReport* report = nullptr);
  int LoadO3d(std::string_view path);
  int LoadShp(std::string_view name);
  int ReadShape(MtfFile* file);
  int ReadMrm(MtfFile* file);
  int ImportAsc(std::string_view path, ImportResult* result = nullptr);
  int Import3ds(std::string_view path, ImportResult* result = nullptr);
  int ImportDxf(std::string_view path, ImportResult* result = nullptr);

  // A side from positions, reusing the first vertex at each position (found
  // through the welder when one is given).
  void AddTriangle(const CVector& p0, const CVector& p1, const CVector& p2, VertexWelder* welder = nullptr);
  void AddQuad(const CVector& p0, const CVector& p1, const CVector& p2, const CVector& p3,
               VertexWelder* welder = nullptr);

  std::vector<CShapeVertex> vertices;
  std::vector<CShapeNode> nodes;
  NodeListState nodeState;
  std::vector<CSide> sides;
  MrmPart mrm;
  std::vector<CEdge> edges;
  std::vector<CSideEdge> sideEdges;
  float recordValue = 1.0f;  // the word after a SHAPE record's version

 private:
  void SortSides();
  // Reorders the sides: the new side i is the old side newToOld[i].
  void ReorderSides(const std::vector<int>& newToOld);
  void FreeGeometry();  // vertices, sides and nodes

  std::vector<int> sideOrigin_;  // per side, its index before the outermost Rebuild
  int rebuildDepth_ = 0;
};

// Finds the first vertex at a position in constant time, for importers that
// weld many corners. Vertices added to the mesh by other means are picked up
// on the next lookup.
class VertexWelder {
 public:
  explicit VertexWelder(CShape& shape) : shape_(shape) {}
  // The first vertex at exactly this position (-0 equals 0), else -1.
  int Find(const CVector& p);
  int FindOrAdd(const CVector& p);

 private:
  struct KeyHash {
    std::size_t operator()(const CVector& v) const;
  };
  void CatchUp();
  CShape& shape_;
  std::size_t indexed_ = 0;
  std::unordered_map<CVector, int, KeyHash> first_;
};

}  // namespace pavix

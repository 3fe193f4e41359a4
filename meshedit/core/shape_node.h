#pragma once
// A scene node of a mesh: a run of consecutive vertices moved by the node's
// matrix. Nodes form a tree given in pre-order with levels.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "meshedit/core/matrix.h"

namespace pavix {

class CShape;

// Node flags.
inline constexpr std::uint32_t kNodeScaled = 0x200;
inline constexpr std::uint32_t kNodeClass1 = 0x1000;
inline constexpr std::uint32_t kNodeClass2 = 0x2000;
inline constexpr std::uint32_t kNodeClass3 = 0x4000;
inline constexpr std::uint32_t kNodeClassMask = kNodeClass1 | kNodeClass2 | kNodeClass3;

class CShapeNode {
 public:
  CShapeNode();
  ~CShapeNode();
  // Copies own a copy of the child mesh.
  CShapeNode(const CShapeNode& other);
  CShapeNode& operator=(const CShapeNode& other);
  CShapeNode(CShapeNode&&) noexcept;
  CShapeNode& operator=(CShapeNode&&) noexcept;

  // Level, count and the two points, with every other default of a new node
  // but the matrices, the parent and the locked count.
  void Init(int level, int count, const CVector& pivot, const CVector& end);
  // Keeps the scaled flag in step with the scale.
  void SetScale(const CVector& scale);
  void SetPivot(const CVector& p);
  void SetEnd(const CVector& p);
  void UpdateLength();

  // The class matrices: element-wise blends of this node's final matrix with
  // its parent's, copied into the projection copies and scaled there by
  // (a, b, c) on the x, y and z outputs. Nothing happens without a parent.
  void BlendMatrices(const CShapeNode* parent, float a, float b, float c);

  std::string_view Name() const;
  std::string_view AltName() const;
  void SetName(std::string_view name);
  void SetAltName(std::string_view name);

  std::uint32_t words[6] = {};   // carried, not used here
  std::uint32_t spare[3] = {};
  CQuaternion rotation{0, 0, 0, 0.5f};
  std::uint32_t spareWord = 0;
  CVector scale{1, 1, 1};
  CVector offset{0, 0, 0};
  CMatrix nodeMatrix;
  CMatrix finalMatrix;
  CMatrix classMatrix[3];        // vertex classes 1, 2, 3
  CMatrix projection[4];         // copies of the final and the three class matrices
  std::unique_ptr<CShape> child;
  int level = 0;
  int vertexCount = 0;
  CVector pivot{0, 0, 0};
  CVector end{0, 0, 10};
  std::array<char, 32> name{};
  std::array<char, 32> altName{};
  std::uint32_t flags = 0;
  float value15 = 15.0f;
  float value981 = 9.81f;
  float length = 10.0f;
  std::int32_t valueMinus1 = -1;
  int parent = -1;               // index into the same node list, -1 for none
  int lockedCount = 0;

 private:
  void SetDefaults();
};

// Parents and levels from the node order and the stored levels.
void LinkShapeNodes(std::vector<CShapeNode>& nodes);

// Per-frame node matrices (parents before children), child meshes included.
void UpdateShapeNodes(CShape& shape);

}  // namespace pavix

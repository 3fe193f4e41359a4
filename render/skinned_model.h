#pragma once
// One drawable instance of a skeleton: a tree of bones carrying the meshes
// of their body parts, posed by Euler angles a bone, placed by a position
// and an orientation, lit by one fixed light and drawn through the 3D engine.
#include <cstdint>
#include <string_view>
#include <vector>

#include "render/bone.h"
#include "render/face.h"
#include "render/vector3.h"

class CCamera;
class CMbrList;
class CMdlList;
class CSkaList;
struct CVertex;

// The fixed light, in world terms, and the grey it gives a face turned to it.
inline constexpr CVector3 kSkinLight{-16384.0f, 15256.0f, 16384.0f};
inline constexpr int kSkinLightIntensity = 210;

class CSkinnedModel {
 public:
  CSkinnedModel() = default;
  ~CSkinnedModel() { Free(); }

  // Builds the bones of a skin; a missing list, skin or model leaves the
  // model empty, and so does a model whose bone tree is broken (a bone its
  // own parent, a loop of parents, more than eight parts on one joint).
  // The model keeps copies of everything it draws: the lists may go.
  void Build(std::string_view skinName, const CMbrList* parts, const CSkaList* skins, const CMdlList* models);
  void Free();
  // Every bone's matrix from the orientation and the bone angles, parents first.
  void Update();
  // The box the posed model fills as Draw places it, relative to its
  // position, over the vertices of its visible bones (Update first).
  CBox3 PosedBounds() const;
  // Draws the model seen by a camera into the engine's frame.
  void Draw(const CCamera& camera);
  // The environment-mapped faces of one bone over its transformed vertices.
  void DrawEnvMapped(int bone, const CCamera& camera, CVertex* transformed);
  // The seam faces that join the parts of several bones (see the source).
  void Merge();

  int BoneCount() const { return static_cast<int>(bones.size()); }
  int MergedFaceCount() const { return static_cast<int>(mergedFaces.size()); }
  // Index of the bone of that name, ignoring case; -1.
  int FindBone(std::string_view name) const;

  std::vector<CBone> bones;
  CVector3 position;
  CVector3 orientation;  // Euler angles of the whole model
  int built = 0;
  std::vector<CFace> mergedFaces;
  std::vector<CFace> mergedShadowFaces;
  std::vector<CFace> mergedLitFaces;
  std::vector<CFace> envSeamFaces;
  int totalVertexCount = 0;
  std::vector<float> mergedNormals;  // 3 a vertex of the whole model

 private:
  // Bones touched by each merged and environment seam face, one bit a bone.
  std::vector<std::uint64_t> mergedBones_;
  std::vector<std::uint64_t> envSeamBones_;
  // Bone indices, every parent before its children.
  std::vector<int> order_;
};

#pragma once
// One bone of a skinned model: the mesh of its body part in the bone's own
// frame, its pose and its place in the tree.
#include <array>
#include <cstdint>
#include <vector>

#include "render/face.h"
#include "render/matrix.h"
#include "render/mesh_vertex.h"
#include "render/skeleton_file.h"
#include "render/vector3.h"

struct CVertex;

inline constexpr int kBoneAttachPoints = 8;
inline constexpr std::uint32_t kFaceEnvMapped = 0x2000;

class CBone {
 public:
  char name[kSkeletonNameSize] = {};
  int index = 0;
  std::vector<CFace> faces;              // corners as in the part file
  std::vector<CMeshVertex> vertices;     // in the bone's rest frame
  std::vector<float> vertexNormals;      // 3 a vertex
  std::vector<float> faceNormals;        // 3 a face
  int envFaceCount = 0;
  std::vector<CFace> reversedFaces;
  std::vector<CFace> shadowFaces;
  std::vector<CFace> litFaces;
  std::vector<CFace> envFaces;
  std::vector<CMeshVertex> working;
  int faceCount = 0;
  int vertexCount = 0;
  CVector3 angles;        // the pose, Euler angles
  CVector3 secondAngles;  // applied after the pose for bones below the root
  CMatrix matrix;         // world to bone; vertices are drawn with its inverse
  CVector3 pivot;         // the joint, in the parent's frame
  std::uint32_t value200 = 200;
  std::uint32_t colour = 0xFF8080FFu;
  int visible = 1;
  int firstChild = -1;
  int nextSibling = -1;
  int parent = -1;
  int depth = 0;
  bool hasPart = false;  // the model keeps its own copy of the part's mesh
  int firstVertex = 0;   // within the whole model
  int attachPoint = -1;  // which of the parent part's points the joint sits on
  int childCount = 0;    // children named in the model, attached or not
  // The part's seam faces and their records (an identifier and one value a
  // corner), kept for the model's merge.
  std::vector<CFace> seamFaces;
  std::vector<std::array<std::int16_t, 5>> seamRecords;

  // Pushes the bone at the head of the parent's children.
  void AttachToParent(CBone& parentBone);
  // Shadow, lit and environment face sets, working vertices, face and vertex normals.
  void Prepare();
  void ComputeFaceNormals();
  void ComputeVertexNormals();
  // Grey levels of the bone's transformed vertices for a light in bone terms:
  // the cosine with the vertex normal, kept within 0.35 and 1, times the intensity.
  void Light(CVertex* transformed, float lx, float ly, float lz, int intensity) const;
};

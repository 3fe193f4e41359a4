#pragma once
// The mesh editor's 3D pipeline over its display device: camera and
// projection, node-by-node transform of a mesh into a per-frame pool,
// culling, level of detail from the progressive data, lighting, near-plane
// clipping, textures through the texture cache, blended sides drawn back to
// front from an ordering table, and picking. One pipeline for the program:
// its state is at class level.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "meshedit/core/cdd.h"
#include "meshedit/core/matrix.h"
#include "meshedit/core/shape.h"
#include "meshedit/core/texture_cache.h"

namespace pavix {

inline constexpr int kPipelinePoolSize = 0x200000;
inline constexpr int kOrderingBuckets = 1022;
inline constexpr int kTexturePaths = 16;
// Texture ids: the bank's 11-bit ids, and bump maps at id + 2000.
inline constexpr int kBumpIdOffset = 2000;
inline constexpr int kTextureIds = 0x800 + kBumpIdOffset;
// A node whose rotation is dropped (it keeps facing the camera).
inline constexpr std::uint32_t kNodeFacesCamera = 0x400;
// Side flags beyond the render byte.
inline constexpr std::uint32_t kSideLit = 0x20000;

struct CTransformedVertex {
  float x = 0, y = 0, z = 0;     // camera space, in the pipeline's scaled units
  float nx = 0, ny = 0, nz = 0;  // rotated normal
  const CMatrix* normalMatrix = nullptr;  // still to rotate the normal by, this frame
  const CShapeVertex* source = nullptr;
  float sx = 0, sy = 0;
  float depth = 0, rdepth = 0;
  std::uint32_t diffuse = 0x80808080, specular = 0;
  float u = 0, v = 0, u2 = 0, v2 = 0;
  std::uint8_t fog = 255;
  std::uint8_t xOut = 0, yOut = 0;
  std::uint8_t behind = 1;
};

// A blended side waiting for the flush; its corners are pool positions, so
// the pool may grow meanwhile.
struct COrderingNode {
  COrderingNode* next = nullptr;
  const CSide* side = nullptr;
  std::uint32_t v[4] = {};
};

struct CLight {
  bool point = false;
  CVector direction{0, 0, 1};  // camera space, the way the light travels (directional)
  CVector position{0, 0, 0};   // camera space (point)
  float range = 0;
  std::uint32_t color = 0xFFFFFFFF;  // 0xAARRGGBB
};

struct CPipelineStats {
  int shapes = 0;
  int sides = 0;
  int culled = 0;
};

class CRenderPipeline {
 public:
  // Creates the device (which enumerates the drivers).
  CRenderPipeline();
  ~CRenderPipeline();
  CRenderPipeline(const CRenderPipeline&) = delete;
  CRenderPipeline& operator=(const CRenderPipeline&) = delete;

  static void SetTexturePath(const char* pattern, int index);
  static const char* GetTexturePath(int index);

  static int SetFormat(pv::Window* window, int fullScreen);
  static void SetViewport(int left, int top, int right, int bottom);
  static void SetFar(float distance);
  static void SetFocal(float x, float y);
  static void SetNear(float distance);
  static void SetFogStart(float distance);
  static void SetFogEnd(float distance);
  static float GetFogStart();
  static float GetFogEnd();
  static void SetOrthographic(bool on);
  static void SetCamera(const CMatrix& camera);

  static void NewFrame();
  static int BeginFrame(int clearFlags, std::uint32_t color, float depth, std::uint32_t stencil);
  static void EndFrame();
  static void Clear();

  static void DrawShape(CShape& shape, const CMatrix& matrix);
  static void TransformNodeVertices(const CShapeNode& node, const CShapeVertex* source, int count,
                                    CTransformedVertex* destination);
  static void TransformVertices(const CMatrix& matrix, const CShapeVertex* source, int count,
                                CTransformedVertex* destination);
  static void FlushOrderingTable();
  static void ClearOrderingTable();
  static std::uint32_t FindTexture(std::uint32_t flags, std::uint32_t textureId);
  static void DrawRect2D(const int rect[4], const float uv0[2], const float uv1[2], int textureId,
                         std::uint32_t color, std::uint32_t specular);
  // The side of the shape under the screen point, or -1.
  static int PickInShape(const float point[2], CShape& shape, const CMatrix& matrix);
  static void ReleaseTextures();

  // Drawing aids: reference geometry in world space (through the view and
  // the near plane) and marks in viewport pixels; colours are 0xAARRGGBB.
  static void DrawBox(const CMatrix& matrix, const CVector& a, const CVector& b, std::uint32_t color);
  // Levels along y, each with lines along x and z; white axis lines where
  // x = 0 and z = 0 fall inside the grid. At most 4096 lines in all, over the
  // whole range: levels are thinned by whole cells first, then the lines.
  static void DrawGrid(const CMatrix& matrix, const CVector& a, const CVector& b, const CVector& step,
                       std::uint32_t color);
  static void DrawLine3D(const CVector& a, const CVector& b, std::uint32_t color);
  static void DrawLine2D(float x0, float y0, float x1, float y1, std::uint32_t color);
  // A square of 5 x 5 pixels centred on the point.
  static void DrawMarker2D(float x, float y, std::uint32_t color);
  // The screen position of a world point; false when it lies behind the near plane.
  static bool ProjectPoint(const CVector& world, float* sx, float* sy);

  // Lights, level of detail and the global side flag words.
  static void ClearLights();
  static void AddLight(const CLight& light);
  static void SetDetailMode(int mode);           // 0 off, 1 by distance, 2 always
  static void SetLowerDetailSize(float pixels);  // the upper size is the mesh's own threshold
  static void SetShowEverything(bool on);
  static void SetFlagOverride(std::uint32_t override, std::uint32_t mask);
  // The colour split: channels above 128 doubled (and wrapped) into the specular part.
  static std::uint32_t OverBright(std::uint32_t color);

  // For tests and tools.
  static Cdd& Device();
  static CTextureCache& TextureCache();
  static const CPipelineStats& Stats();
  static int PoolIndex();
  static const CTransformedVertex* Pool();
  static int BucketOf(const CTransformedVertex* const v[4]);
  static int LowestBucket();
  static int HighestBucket();
  static int OrderingCount();
  static float ScaledNear();
  static float DepthScale();
  static float HalfWidth();
  static float HalfHeight();
  // The focal lengths in pixels, and as factors of the scaled camera space.
  static float FocalX();
  static float FocalY();
  static float ProjectionFactorX();
  static float ProjectionFactorY();
  static const CMatrix& ViewMatrix();
  // The part of a vertex in front of the near plane: 3 to 5 vertices out of 3 or 4 (0 when none is in front).
  static int ClipToNearPlane(const CTransformedVertex* const* in, int count, std::uint32_t flags,
                             CTransformedVertex* out);

 private:
  static void DrawShapeAt(CShape& shape, const CMatrix& matrix, int depth);
  static bool PrepareShape(CShape& shape, const CMatrix& matrix, float* projectedRadius);
  static void PrepareNode(CShape& shape, int nodeIndex, const CMatrix& matrix);
  static void Project(CTransformedVertex& v);
  static void TransformOne(const CMatrix& m, const CShapeVertex& source, CTransformedVertex& v);
  static void Light(CTransformedVertex& v);
  static void DrawSide(const CSide& side, std::uint32_t flags, CTransformedVertex* const* v, int count);
};

}  // namespace pavix

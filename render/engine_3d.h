#pragma once
// The quest editor's 3D pipeline: a per-frame pool of render vertices,
// transform and projection, face culling and fading, depth buckets flushed
// through the bound renderer, near-plane clipping, 3D lines, 2D helpers and
// the texture-bank cache. All state is held once for the program; callers
// reach it through g_3DEngine.
#include <cstdint>

#include "render/color.h"
#include "render/matrix.h"
#include "render/render_vertex.h"
#include "render/vector3.h"

class CRenderer;
class CTextureBankCache;
struct CFace;
struct CMeshVertex;

inline constexpr int kEnginePoolVertices = 60000;
inline constexpr int kEngineSortItems = 16000;
inline constexpr int kEngineLineFaces = 8000;
inline constexpr int kEngineBuckets = 2048;

struct CSortItem {
  CFace* face;
  float depth;  // the largest camera z of its vertices
  CSortItem* next;
  CVertex* vertices;
};

class C3DEngine {
 public:
  C3DEngine();
  ~C3DEngine();
  C3DEngine(const C3DEngine&) = delete;
  C3DEngine& operator=(const C3DEngine&) = delete;

  void FreeVertexPool();
  void SetRenderer(CRenderer* renderer);
  CRenderer* GetRenderer() const;
  void SetFocal(float x, float y);
  void SetNearPlane(float nearZ);
  void SetFog(int on);
  int GetFog() const;
  void FillRect(int left, int top, int right, int bottom, CColor color);
  void SetViewportSize(int width, int height);
  void SetViewportRect(int left, int top, int right, int bottom);
  // The room view's visible size, which the 2D helpers reset the viewport to.
  void SetViewSize(int width, int height);

  int BeginFrame(int clearZ);
  void EndFrame();
  // The next n pool vertices, or null when the frame's pool would pass 59,999.
  CVertex* AllocVertices(int n);
  // Null (nothing written) when the pool is exhausted.
  CVertex* TransformVertices(const CMatrix* m, const CMeshVertex* src, int n, int callerValue);
  // 1 and the screen position when the point is not nearer than the near plane.
  int ProjectPoint(const CMatrix* m, const CVector3* p, int* out);

  // Faces over transformed vertices; a vertex count (when known) keeps
  // faces whose corners lie outside the array from being drawn.
  void AddFaces(CVertex* vertices, CFace* faces, int n, int vertexCount = -1);
  void CullFace(CVertex* vertices, CFace* face);
  int InsertFace(CFace* face, CVertex* vertices, float depth);
  int FlushBuckets();
  void DrawItem(CSortItem* item);
  int IsTranslucent(const CSortItem* item) const;
  void ResetBuckets();
  void ClipTriangleNear(int flags, CVertex* a, CVertex* b, CVertex* c, CColor color, int slot);
  void ClipQuadNear(int flags, CVertex* a, CVertex* b, CVertex* c, CVertex* d, CColor color, int slot);

  // Screen-space primitives drawn at once.
  void DrawTriangle(int flags, CVertex a, CVertex b, CVertex c, int bank, CColor color);
  void DrawQuad(int flags, CVertex a, CVertex b, CVertex c, CVertex d, int bank, CColor color);
  // Lines sorted with the faces.
  void DrawLine3D(const CMatrix& m, const CVector3& a, const CVector3& b, CColor color);
  void DrawShadedLine3D(const CMatrix& m, const CVector3& a, const CVector3& b, CColor ca, CColor cb);
  // Overlays.
  void DrawRect2D(int left, int top, int right, int bottom, CColor color);
  void DrawLine2D(int x0, int y0, int x1, int y1, CColor color);
  void DrawSprite2D(const char* name, int x, int y);

  // Texture banks.
  const char* FindBankFile(int bank);
  int GetBankSlot(int bank);
  void ResetTextureCache();
  CTextureBankCache& BankCache();

  void SetFlagMasks(std::uint32_t andMask, std::uint32_t orMask);
  void SetOutlineColor(CColor color);

  // Inspection.
  float FocalX() const;
  float FocalY() const;
  float NearPlane() const;
  int ViewportWidth() const;
  int ViewportHeight() const;
  int CentreX() const;
  int CentreY() const;
  int VerticesUsed() const;
  int VerticesHighWater() const;
  int ItemsUsed() const;
  int LineFacesUsed() const;
  int LowestBucket() const;
  int HighestBucket() const;
  const CSortItem* BucketHead(int bucket) const;
  float FrameTime() const;

  // Back to a new engine's state (tests).
  static void ResetState();
};

// The program's one engine.
extern C3DEngine* g_3DEngine;

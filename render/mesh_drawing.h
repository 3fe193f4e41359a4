#pragma once
// Drawing meshes and the meshes of a bank list through the 3D engine
// (g_3DEngine): at a world position seen by a camera, fitted to a preview,
// or at a camera-space position. The vertices handed back are the engine's
// and stay valid until its next frame.
#include "render/camera.h"
#include "render/render_vertex.h"
#include "render/vector3.h"

class CBankList;
class CMesh;
struct Point;

// At a world position with Euler angles; null for an empty mesh.
CVertex* RenderMesh(CMesh& mesh, const CVector3& position, const CVector3& angles, const CCamera& camera);
// For previews: the used vertices recentred and scaled to 420 units across.
CVertex* RenderMeshFitted(CMesh& mesh, const CVector3& position, const CVector3& angles, const CCamera& camera);
// At a camera-space position, raised by 256 units.
CVertex* RenderMeshLocal(CMesh& mesh, const CVector3& position, const CVector3& angles);

// A bank list's mesh by name index; 1 (also when nothing could be drawn).
int RenderBankMesh(CBankList& bank, int index, const CVector3& position, const CVector3& angles, const CCamera& camera);
// By path, adding it to the list when new.
int RenderBankMeshByName(CBankList& bank, const char* path, const CVector3& position, const CVector3& angles,
                         const CCamera& camera);
// The transformed vertices, or null when no slot was found.
CVertex* RenderBankMeshLocal(CBankList& bank, int index, const CVector3& position, const CVector3& angles);
// Fitted, with the smallest and largest screen position of the drawn
// vertices; 1, or 0 when nothing was drawn.
int RenderBankMeshFitted(CBankList& bank, int index, const CVector3& position, const CVector3& angles,
                         const CCamera& camera, Point* topLeft, Point* bottomRight);

#pragma once
// Pavix's program-wide state: the camera, the pipeline with its device, the
// current mesh, and what the shell, the view and the panel share (start
// directory, mouse, viewports, current side and group, the texture id).
#include <array>
#include <memory>
#include <string>

#include "meshedit/core/shape.h"
#include "meshedit/core/view_camera.h"

namespace pavix {

class CRenderPipeline;
class CEditPanelBar;
class CMainFrame;
class CPavixView;
class CPavixDoc;

struct CViewportRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool enabled = false;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

inline constexpr int kStartTextureId = 800;
inline constexpr int kMaxTextureId = 0x7FF;  // the side's 11 bits

struct PavixGlobals {
  CViewCamera camera;
  std::unique_ptr<CRenderPipeline> pipeline;
  CShape shape;

  std::string startDirectory;
  int lastX = 0, lastY = 0;  // last mouse point
  int lastDx = 0, lastDy = 0;
  int pressViewport = 0;
  std::array<CViewportRect, 3> viewports{};
  int currentSide = -1;  // index into the current mesh's sides, -1 for none
  int previousSide = -1;
  int currentGroup = 0;  // 0 stands for every side
  int textureId = kStartTextureId;

  CEditPanelBar* panel = nullptr;
  CMainFrame* mainFrame = nullptr;
  CPavixView* view = nullptr;
  CPavixDoc* doc = nullptr;
};

PavixGlobals& Globals();
// Makes the pipeline (and with it the display device) if there is none.
void ConstructGlobals();
// Everything back to its start; the pipeline is released.
void DestroyGlobals();

inline CShape& CurrentShape() { return Globals().shape; }
// The current side, or null when none (or when it no longer exists).
CSide* CurrentSide();
// Forgets the current and previous side; the group becomes 0.
void ClearCurrentSide();

}  // namespace pavix

#pragma once
// What the picture tool and the display benchmark draw: the device, its
// renderer and the engine made for one window, and the demo room (the demo
// data's blocks over the 17 x 17 blocks the room view draws) or one mesh.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/window.h"
#include "render/camera.h"
#include "render/cdd.h"
#include "render/renderer.h"
#include "render/engine_3d.h"
#include "render/mesh.h"

// The display device, renderer and engine, bound together like the program's.
class DisplayStack {
 public:
  DisplayStack() = default;
  ~DisplayStack();
  DisplayStack(const DisplayStack&) = delete;
  DisplayStack& operator=(const DisplayStack&) = delete;

  // The device renderer, or the software renderer drawing into the device's
  // back surface, as the program chooses between them.
  enum class Renderer { Device, Software };
  // False when the chosen renderer cannot draw on this machine.
  bool Open(int width, int height, Renderer kind = Renderer::Device);
  CRenderer& GetRenderer() { return *renderer_; }
  Cdd& Device() { return *cdd_; }
  C3DEngine& Engine() { return *engine_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The back surface as R, G, B bytes, rows top first.
  std::vector<std::uint8_t> ReadRgb() const;

 private:
  platform::video::Window window_;
  std::unique_ptr<Cdd> cdd_;
  std::unique_ptr<CRenderer> renderer_;
  std::unique_ptr<C3DEngine> engine_;
  int width_ = 0, height_ = 0;
};

// The display device's back surface as R, G, B bytes, rows top first (empty without one).
std::vector<std::uint8_t> BackSurfaceRgb();

class DemoScene {
 public:
  // The demo blocks of the current start directory (made by demodata).
  bool LoadBlocks();
  // The 17 x 17 blocks around the room's centre: a land room of grass,
  // roads, hedges and menhirs, or a dungeon of flagstones, walls, pillars and rubble.
  void LayOutRoom(bool dungeon);
  std::size_t BlockCount() const { return placed_.size(); }
  const CCamera& Camera() const { return camera_; }
  // One whole frame: clear, begin, every block, flush, end.
  void DrawRoom(C3DEngine& engine, int width, int height) const;

  // One mesh file, fitted as a preview and turned to a three-quarter view.
  static bool DrawMesh(C3DEngine& engine, int width, int height, const std::string& path);
  // A skeleton's model (skin of the skeleton's name) posed by its animation
  // (named so, with the skeleton's name as qualifier) at a time in
  // milliseconds, standing at the origin in a three-quarter view. False when
  // the skeleton cannot be loaded or built, or has no such animation.
  static bool DrawMonster(C3DEngine& engine, int width, int height, const std::string& skeleton,
                          const std::string& animation, float timeMs);
  // The camera DrawMonster looks through.
  static CCamera MonsterCamera();

 private:
  struct Placed {
    CMesh* mesh;
    CVector3 position;
    float angle;
  };
  std::map<std::string, std::unique_ptr<CMesh>> blocks_;
  std::vector<Placed> placed_;
  CCamera camera_;
};

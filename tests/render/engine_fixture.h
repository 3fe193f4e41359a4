#pragma once
// A 3D engine bound to a recording renderer, made the program's engine
// while the object lives: a 640 x 480 viewport, focal 500, near plane 128,
// a frame begun, and a camera at (0, 0, -1000) looking along +z.
#include <memory>

#include "recording_renderer.h"
#include "render/camera.h"
#include "render/engine_3d.h"

namespace rendertest {

struct EngineFixture {
  EngineFixture() {
    C3DEngine::ResetState();
    engine = std::make_unique<C3DEngine>();
    g_3DEngine = engine.get();
    engine->SetRenderer(&renderer);
    engine->SetFocal(500, 500);
    engine->SetNearPlane(128);
    engine->SetViewportRect(0, 0, 639, 479);
    engine->BeginFrame(1);
    camera.position = CVector3(0, 0, -1000);
  }
  ~EngineFixture() {
    g_3DEngine = nullptr;
    engine.reset();
    C3DEngine::ResetState();
  }
  EngineFixture(const EngineFixture&) = delete;
  EngineFixture& operator=(const EngineFixture&) = delete;

  RecordingRenderer renderer;
  std::unique_ptr<C3DEngine> engine;
  CCamera camera;
};

}  // namespace rendertest

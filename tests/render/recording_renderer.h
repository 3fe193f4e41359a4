#pragma once
// A renderer that only records what the engine hands it.
#include <memory>
#include <string>
#include <vector>

#include "render/engine_3d.h"
#include "render/renderer.h"

namespace rendertest {

struct DrawCall {
  enum Kind { Triangle, Quad, Line, Point } kind;
  int flags = 0;
  int slot = 0;
  CColor color;
  std::vector<CVertex> v;
};

class RecordingRenderer : public CRenderer {
 public:
  std::uint16_t* GetBuffer() override { return nullptr; }
  std::uint16_t* GetTextureData(int) override { return nullptr; }
  int GetPitch() override { return 0; }
  void Show() override {}
  void SetFog(int on) override { fog = on; }
  int GetFog() override { return fog; }
  void SetDither(int) override {}
  int GetDither() override { return 0; }
  void SetBilinear(int) override {}
  int GetBilinear() override { return 0; }
  void SetFogColor(CColor) override {}
  CColor GetFogColor() override { return CColor(); }
  int IsSoftware() override { return software; }
  void FillRectangle(int, int, int, int, CColor) override { events.push_back("fill"); }
  int BeginFrame(int clearZ) override {
    events.push_back("begin " + std::to_string(clearZ));
    return 1;
  }
  void SetSurface(void*) override {}
  void SetDevice(Cdd*) override {}
  void SetScreenSize(int, int, int) override {}
  void SetClipRect(int l, int t, int r, int b) override {
    clip[0] = l;
    clip[1] = t;
    clip[2] = r;
    clip[3] = b;
  }
  void EndFrame() override { events.push_back("end"); }
  void PauseScene() override { events.push_back("pause"); }
  void ResumeScene() override { events.push_back("resume"); }
  int DrawTriangle(int flags, const CVertex* a, const CVertex* b, const CVertex* c, int slot, CColor color) override {
    calls.push_back({DrawCall::Triangle, flags, slot, color, {*a, *b, *c}});
    return 1;
  }
  int DrawQuad(int flags, const CVertex* a, const CVertex* b, const CVertex* c, const CVertex* d, int slot,
               CColor color) override {
    calls.push_back({DrawCall::Quad, flags, slot, color, {*a, *b, *c, *d}});
    return 1;
  }
  int DrawLine(int flags, CVertex a, CVertex b, CColor color) override {
    calls.push_back({DrawCall::Line, flags, 0, color, {a, b}});
    return 1;
  }
  void SetPixelFormat(int, int, int) override {}
  int LoadTexture(int slot, const char* file) override {
    events.push_back("load " + std::to_string(slot) + " " + file);
    return 1;
  }
  int GetTextureCount() override { return textureCount; }
  int IsHardware() override { return !software; }
  int IsReducedTextures() override { return 0; }
  int DrawPoint(CVertex v, CColor color) override {
    calls.push_back({DrawCall::Point, 0, 0, color, {v}});
    return 1;
  }
  int DrawMarker(int, int, CColor) override { return 1; }
  void ReleaseBitmap(int) override {}
  void ReleaseBitmaps() override { events.push_back("release bitmaps"); }

  int fog = 0;
  int software = 0;
  int textureCount = 4;
  int clip[4] = {};
  std::vector<DrawCall> calls;
  std::vector<std::string> events;
};

// A new engine installed as the program's one, drawing through a renderer
// (which must outlive it); taken away, with the engine's state reset, when
// it goes.
class InstalledEngine {
 public:
  explicit InstalledEngine(CRenderer& renderer) {
    C3DEngine::ResetState();
    engine_ = std::make_unique<C3DEngine>();
    g_3DEngine = engine_.get();
    engine_->SetRenderer(&renderer);
  }
  ~InstalledEngine() {
    g_3DEngine = nullptr;
    engine_.reset();
    C3DEngine::ResetState();
  }
  InstalledEngine(const InstalledEngine&) = delete;
  InstalledEngine& operator=(const InstalledEngine&) = delete;
  C3DEngine* operator->() const { return engine_.get(); }
  C3DEngine& operator*() const { return *engine_; }

 private:
  std::unique_ptr<C3DEngine> engine_;
};

}  // namespace rendertest

// Frames per second drawing a full demo room at 736 x 480 through the 3D
// engine and the emulated 3D device on one core, and the same triangles
// through Mesa's llvmpipe (EGL, surfaceless, one rasterizer thread unless
// LP_NUM_THREADS says otherwise) as a peer, reported as a ratio.
//
// The room is the demo data's own: its block meshes (tools/demodata) laid
// out over the 17 x 17 blocks the room view draws around its target, painted
// with the demo texture banks, seen from the room camera's distance.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "platform/video/device3d.h"
#include "platform/video/recorder.h"
#include "platform/video/render_state.h"
#include "platform/video/window.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "render/cdd.h"
#include "render/tga_image.h"
#include "demo_start_dir.h"
#include "tools/render_png/demo_scene.h"

#ifdef HAVE_EGL
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES2/gl2.h>
#endif

namespace pv = platform::video;

namespace {

constexpr int kWidth = 736;
constexpr int kHeight = 480;

// The demo start directory and the display stack, made once; the two rooms.
struct World {
  DemoStartDir demo{"render_bench"};
  DisplayStack display;
  DemoScene rooms[2];
  bool ok = false;

  World() {
    if (!demo.Ok() || !display.Open(kWidth, kHeight)) return;
    for (int i = 0; i < 2; ++i) {
      if (!rooms[i].LoadBlocks()) return;
      rooms[i].LayOutRoom(i == 1);
    }
    ok = true;
  }
  void Draw(int room) { rooms[room].DrawRoom(display.Engine(), kWidth, kHeight); }
};

World& TheWorld() {
  static World world;
  return world;
}

// One frame's primitives as the device saw them.
struct Capture {
  std::vector<pv::RecordedPrimitive> primitives;
  long long triangles = 0;
};

Capture CaptureFrame(World& w, int room) {
  pv::ScopedRecorder rec;
  w.Draw(room);
  Capture c;
  c.primitives = pv::Recorder::Primitives();
  for (const auto& p : c.primitives)
    if (p.type == pv::PrimitiveType::TriangleList || p.type == pv::PrimitiveType::TriangleFan)
      c.triangles += p.type == pv::PrimitiveType::TriangleList ? static_cast<long long>(p.vertices.size()) / 3
                                                               : static_cast<long long>(p.vertices.size()) - 2;
  return c;
}

// Frames per second measured so far, by room, for the ratios.
double g_engineFps[2] = {0, 0};
double g_deviceFps[2] = {0, 0};

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void BM_DemoRoomThroughEngine(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("demo world could not be made");
    return;
  }
  const int dungeon = state.range(0) != 0;
  w.Draw(dungeon);  // loads the banks
  const Capture c = CaptureFrame(w, dungeon);
  const double start = Seconds();
  for (auto _ : state) {
    w.Draw(dungeon);
    w.display.Device().Show();
  }
  g_engineFps[dungeon] = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.counters["blocks"] = static_cast<double>(w.rooms[dungeon].BlockCount());
  state.SetLabel(dungeon ? "dungeon room" : "land room");
}

// The captured primitives straight into the device: its rasterizer alone.
void BM_DemoRoomDeviceOnly(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("demo world could not be made");
    return;
  }
  const int dungeon = state.range(0) != 0;
  const Capture c = CaptureFrame(w, dungeon);
  pv::Device3D* dev = Cdd::Device();
  const double start = Seconds();
  for (auto _ : state) {
    w.display.Device().FillRectangle(0, 0, kWidth, kHeight, CColor());
    w.display.Device().beginRender(1);
    pv::RenderStates current = dev->States();
    for (const auto& p : c.primitives) {
      for (int s = 0; s < pv::kRenderStateCount; ++s) {
        if (current[s] != p.states[s]) {
          dev->SetRenderState(s, p.states[s]);
          current[s] = p.states[s];
        }
      }
      dev->DrawPrimitive(p.type, p.vertices.data(), static_cast<int>(p.vertices.size()), p.flags);
    }
    w.display.Device().endRender();
  }
  g_deviceFps[dungeon] = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.SetLabel(dungeon ? "dungeon room" : "land room");
}

// A full redraw of a room in the room view during a paint drag: each frame
// paints the next block along a row (re-tiling it and its neighbours) and
// draws the whole room as the room edit mode does, against the device's own
// budget (its rasterizer alone on the land room's triangles). The argument
// is how far around the target the room is filled (8: the drawn window; 31:
// the whole grid), which must not change the cost.
void BM_RoomRedrawDuringPaintDrag(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("demo world could not be made");
    return;
  }
  auto room = std::make_unique<CRoom>();
  room->LoadBlockSet();
  const int grass = room->blockSet.FindName("grass"), hedge = room->blockSet.FindName("hedge");
  if (grass < 0 || hedge < 0) {
    state.SkipWithError("the demo block set lacks its blocks");
    return;
  }
  const int reach = static_cast<int>(state.range(0));
  for (int row = 32 - reach; row <= 32 + reach; ++row) {
    for (int column = 32 - reach; column <= 32 + reach; ++column) {
      if (!CRoom::IsBlockInGrid(column, row)) continue;
      const bool edge = std::abs(row - 32) == reach || std::abs(column - 32) == reach;
      room->Block(column, row).fileName = room->blockSet.GetPath(edge ? hedge : grass);
    }
  }
  TilePalette().BuildOutdoor();
  room->tool = CRoom::kToolDraw;
  C3DEngine& engine = w.display.Engine();
  engine.SetViewportRect(0, 0, kWidth, kHeight);
  const TileCategory* style = TilePalette().DrawStyle();
  int step = 0;
  const double start = Seconds();
  for (auto _ : state) {
    const int column = 26 + step % 12, row = 30 + (step / 12) % 4;
    ++step;
    room->PaintBlock(column, row, style->base, style->key);
    engine.FillRect(0, 0, kWidth, kHeight, CColor(128, 128, 128));
    engine.SetFocal(kWidth * 0.78125f, kWidth * 0.78125f);
    room->Render3D(&w.display.Device());
    w.display.Device().Show();
  }
  const double fps = static_cast<double>(state.iterations()) / (Seconds() - start);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  if (g_deviceFps[0] > 0) state.counters["x_device_budget"] = fps / g_deviceFps[0];
  state.SetLabel(reach >= 31 ? "whole grid filled" : "drawn window filled");
}

#ifdef HAVE_EGL

const char* kVertexShader = R"(
attribute vec4 aPos;  // pixel x, pixel y, window depth, w
attribute vec4 aColor;
attribute vec4 aSpec;
attribute vec2 aUV;
uniform vec2 uSize;
varying vec4 vColor;
varying vec4 vSpec;
varying vec2 vUV;
void main() {
  vec2 ndc = vec2((aPos.x + 0.5) / uSize.x * 2.0 - 1.0, 1.0 - (aPos.y + 0.5) / uSize.y * 2.0);
  gl_Position = vec4(ndc * aPos.w, (aPos.z * 2.0 - 1.0) * aPos.w, aPos.w);
  vColor = aColor;
  vSpec = aSpec;
  vUV = aUV;
})";

const char* kFragmentShader = R"(
precision mediump float;
uniform sampler2D uTex;
uniform float uTextured;
uniform float uSpecular;
uniform float uKey;
uniform float uModAlpha;
varying vec4 vColor;
varying vec4 vSpec;
varying vec2 vUV;
void main() {
  vec4 c = vColor;
  if (uTextured > 0.5) {
    vec4 t = texture2D(uTex, vUV);
    if (uKey > 0.5 && t.a < 0.5) discard;
    c.rgb *= t.rgb;
    if (uModAlpha > 0.5) c.a *= t.a;
  }
  if (uSpecular > 0.5) c.rgb = min(c.rgb + vSpec.rgb, vec3(1.0));
  gl_FragColor = c;
})";

struct GlVertex {
  float x, y, depth, w;
  std::uint8_t color[4];
  std::uint8_t specular[4];
  float u, v;
};

struct GlBatch {
  GLuint texture = 0;
  bool blend = false, zwrite = true, key = false, specular = false, modAlpha = false, linear = true;
  GLint first = 0;
  GLsizei count = 0;
};

// The same triangles through llvmpipe.
class GlPeer {
 public:
  bool Init() {
    if (!std::getenv("LP_NUM_THREADS")) setenv("LP_NUM_THREADS", "1", 1);
    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getDisplay) return false;
    display_ = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) return false;
    eglBindAPI(EGL_OPENGL_ES_API);
    const EGLint cfgAttrs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_NONE};
    EGLConfig cfg = nullptr;
    EGLint n = 0;
    eglChooseConfig(display_, cfgAttrs, &cfg, 1, &n);
    const EGLint ctxAttrs[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    context_ = eglCreateContext(display_, n ? cfg : nullptr, EGL_NO_CONTEXT, ctxAttrs);
    if (context_ == EGL_NO_CONTEXT || !eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) return false;
    renderer_ = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    GLuint fbo, colour, depth;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB565, kWidth, kHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, 0x81A6 /* 24-bit depth */, kWidth, kHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    glViewport(0, 0, kWidth, kHeight);
    program_ = Link();
    return program_ != 0;
  }

  // Uploads the captured frame: vertices once, textures from the device's slots.
  void Load(const Capture& c) {
    std::vector<GlVertex> verts;
    batches_.clear();
    auto add = [&verts](const pv::TLVertex& t) {
      GlVertex g;
      g.x = t.sx;
      g.y = t.sy;
      g.w = t.rhw > 0 ? 1.0f / t.rhw : 1.0f;
      g.depth = std::max(0.0f, 1.0f - t.rhw * 128.0f);
      const std::uint32_t d = t.color, s = t.specular;
      const std::uint8_t col[4] = {static_cast<std::uint8_t>(d >> 16), static_cast<std::uint8_t>(d >> 8),
                                   static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d >> 24)};
      const std::uint8_t sp[4] = {static_cast<std::uint8_t>(s >> 16), static_cast<std::uint8_t>(s >> 8),
                                  static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s >> 24)};
      std::copy(col, col + 4, g.color);
      std::copy(sp, sp + 4, g.specular);
      g.u = t.tu;
      g.v = t.tv;
      verts.push_back(g);
    };
    for (const auto& p : c.primitives) {
      if (p.type != pv::PrimitiveType::TriangleList && p.type != pv::PrimitiveType::TriangleFan) continue;
      GlBatch b;
      b.texture = TextureFor(p.states[pv::kRsTextureHandle]);
      b.blend = p.states[pv::kRsAlphaBlendEnable] != 0;
      b.zwrite = p.states[pv::kRsZWriteEnable] != 0;
      b.key = p.states[pv::kRsColorKeyEnable] != 0;
      b.specular = p.states[pv::kRsSpecularEnable] != 0;
      b.modAlpha = p.states[pv::kRsTextureMapBlend] == pv::kTexBlendModulateAlpha;
      b.linear = p.states[pv::kRsTextureMag] == pv::kFilterLinear;
      b.first = static_cast<GLint>(verts.size());
      if (p.type == pv::PrimitiveType::TriangleList) {
        for (const auto& v : p.vertices) add(v);
      } else {
        for (std::size_t i = 1; i + 1 < p.vertices.size(); ++i) {
          add(p.vertices[0]);
          add(p.vertices[i]);
          add(p.vertices[i + 1]);
        }
      }
      b.count = static_cast<GLsizei>(verts.size()) - b.first;
      if (!batches_.empty()) {
        GlBatch& last = batches_.back();
        if (last.texture == b.texture && last.blend == b.blend && last.zwrite == b.zwrite && last.key == b.key &&
            last.specular == b.specular && last.modAlpha == b.modAlpha && last.linear == b.linear) {
          last.count += b.count;
          continue;
        }
      }
      batches_.push_back(b);
    }
    glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(verts.size() * sizeof(GlVertex)), verts.data(),
                 GL_STATIC_DRAW);
    glUseProgram(program_);
    const GLint pos = glGetAttribLocation(program_, "aPos"), col = glGetAttribLocation(program_, "aColor"),
                specular = glGetAttribLocation(program_, "aSpec"), uv = glGetAttribLocation(program_, "aUV");
    glEnableVertexAttribArray(pos);
    glEnableVertexAttribArray(col);
    glEnableVertexAttribArray(specular);
    glEnableVertexAttribArray(uv);
    glVertexAttribPointer(pos, 4, GL_FLOAT, GL_FALSE, sizeof(GlVertex), reinterpret_cast<void*>(offsetof(GlVertex, x)));
    glVertexAttribPointer(col, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(GlVertex),
                          reinterpret_cast<void*>(offsetof(GlVertex, color)));
    glVertexAttribPointer(specular, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(GlVertex),
                          reinterpret_cast<void*>(offsetof(GlVertex, specular)));
    glVertexAttribPointer(uv, 2, GL_FLOAT, GL_FALSE, sizeof(GlVertex), reinterpret_cast<void*>(offsetof(GlVertex, u)));
    glUniform2f(glGetUniformLocation(program_, "uSize"), static_cast<float>(kWidth), static_cast<float>(kHeight));
    glUniform1i(glGetUniformLocation(program_, "uTex"), 0);
  }

  void DrawFrame() {
    glClearColor(0, 0, 0, 1);
    glClearDepthf(1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const GLint textured = glGetUniformLocation(program_, "uTextured"), specular = glGetUniformLocation(program_, "uSpecular"),
                key = glGetUniformLocation(program_, "uKey"), modAlpha = glGetUniformLocation(program_, "uModAlpha");
    for (const GlBatch& b : batches_) {
      glUniform1f(textured, b.texture ? 1.0f : 0.0f);
      glUniform1f(specular, b.specular ? 1.0f : 0.0f);
      glUniform1f(key, b.key ? 1.0f : 0.0f);
      glUniform1f(modAlpha, b.modAlpha ? 1.0f : 0.0f);
      if (b.texture) {
        glBindTexture(GL_TEXTURE_2D, b.texture);
        const GLint filter = b.linear ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
      }
      if (b.blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      } else {
        glDisable(GL_BLEND);
      }
      glDepthMask(b.zwrite ? GL_TRUE : GL_FALSE);
      glDrawArrays(GL_TRIANGLES, b.first, b.count);
    }
    glFinish();
  }

  const std::string& RendererName() const { return renderer_; }
  std::size_t BatchCount() const { return batches_.size(); }

 private:
  GLuint Link() {
    auto compile = [](GLenum type, const char* src) {
      GLuint s = glCreateShader(type);
      glShaderSource(s, 1, &src, nullptr);
      glCompileShader(s);
      GLint ok = 0;
      glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
      return ok ? s : 0u;
    };
    const GLuint vs = compile(GL_VERTEX_SHADER, kVertexShader), fs = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vs || !fs) return 0;
    const GLuint p = glCreateProgram();
    glAttachShader(p, vs);
    glAttachShader(p, fs);
    glLinkProgram(p);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    return ok ? p : 0u;
  }

  // The texture of a device handle, made from the same file and conversion.
  GLuint TextureFor(std::uint32_t handle) {
    if (handle == 0) return 0;
    if (auto it = textures_.find(handle); it != textures_.end()) return it->second;
    GLuint tex = 0;
    for (int slot = 0; slot < kCddTextureSlots; ++slot) {
      if (Cdd::TextureSlotHandle(slot) != handle) continue;
      CTgaImage img;
      if (!img.Load(Cdd::TextureSlotName(slot).c_str())) break;
      img.FlipRows();
      img.ConvertTo16(0xF800, 0x07E0, 0x001F, 0);
      glGenTextures(1, &tex);
      glBindTexture(GL_TEXTURE_2D, tex);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, img.GetWidth(), img.GetHeight(), 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                   img.GetData());
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
      break;
    }
    textures_[handle] = tex;
    return tex;
  }

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  GLuint program_ = 0;
  GLuint vbo_ = 0;
  std::string renderer_;
  std::vector<GlBatch> batches_;
  std::map<std::uint32_t, GLuint> textures_;
};

GlPeer* ThePeer() {
  static std::unique_ptr<GlPeer> peer = [] {
    auto p = std::make_unique<GlPeer>();
    if (!p->Init()) p.reset();
    return p;
  }();
  return peer.get();
}

void BM_DemoRoomLlvmpipe(benchmark::State& state) {
  World& w = TheWorld();
  GlPeer* peer = ThePeer();
  if (!w.ok || !peer) {
    state.SkipWithError("no EGL display with llvmpipe");
    return;
  }
  const int dungeon = state.range(0) != 0;
  const Capture c = CaptureFrame(w, dungeon);
  peer->Load(c);
  const double start = Seconds();
  for (auto _ : state) peer->DrawFrame();
  const double fps = static_cast<double>(state.iterations()) / (Seconds() - start);
  // How many times faster than the peer: the device alone on the same
  // triangles, and the whole frame through the engine.
  if (g_deviceFps[dungeon] > 0) state.counters["device_x_llvmpipe"] = g_deviceFps[dungeon] / fps;
  if (g_engineFps[dungeon] > 0) state.counters["engine_x_llvmpipe"] = g_engineFps[dungeon] / fps;
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = static_cast<double>(c.triangles);
  state.counters["batches"] = static_cast<double>(peer->BatchCount());
  state.SetLabel(std::string(dungeon ? "dungeon room, " : "land room, ") + peer->RendererName());
}

#endif

}  // namespace

// Arguments: 0 the land room, 1 the dungeon room. Wall-clock time, since the
// peer works in llvmpipe's own thread.
BENCHMARK(BM_DemoRoomThroughEngine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DemoRoomDeviceOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RoomRedrawDuringPaintDrag)->Arg(8)->Arg(31)->Unit(benchmark::kMillisecond)->UseRealTime();
#ifdef HAVE_EGL
BENCHMARK(BM_DemoRoomLlvmpipe)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

BENCHMARK_MAIN();

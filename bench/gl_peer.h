#pragma once
// The peer of the drawing benchmarks: the same screen triangles, as the
// emulated 3D device received them, drawn through Mesa's llvmpipe (EGL,
// surfaceless, one rasterizer thread unless LP_NUM_THREADS says otherwise)
// into a 5-6-5 colour buffer with a depth buffer.
//
// The peer is at its best: each combination of states the frame uses gets a
// shader written for it (no branch on a uniform, no discard), batches of one state are drawn together, and its frame is read
// back so the benchmarks can check it against the device's.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES2/gl2.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/video/recorder.h"
#include "platform/video/render_state.h"
#include "platform/video/surface.h"

namespace benchpeer {

namespace pv = platform::video;

// What a shader is written for. The benchmarks' frames have no colour-keyed
// triangles (a frame that had them would fail the check against the device's).
struct ShaderKey {
  bool textured = false, specular = false, modAlpha = false;
  auto Tie() const { return std::tie(textured, specular, modAlpha); }
  bool operator<(const ShaderKey& o) const { return Tie() < o.Tie(); }
  bool operator==(const ShaderKey& o) const { return Tie() == o.Tie(); }
};

// The shaders of one state: only the inputs and operations it needs.
inline std::string ShaderDefines(const ShaderKey& k) {
  std::string d;
  if (k.textured) d += "#define TEXTURED 1\n";
  if (k.specular) d += "#define SPECULAR 1\n";
  if (k.modAlpha) d += "#define MODULATE_ALPHA 1\n";
  return d;
}

inline const char* kVertexShader = R"(
attribute vec4 aPos;  // pixel x, pixel y, window depth, w
attribute vec4 aColor;
varying vec4 vColor;
#ifdef SPECULAR
attribute vec3 aSpec;
varying vec3 vSpec;
#endif
#ifdef TEXTURED
attribute vec2 aUV;
varying vec2 vUV;
#endif
uniform vec2 uSize;
void main() {
  vec2 ndc = vec2((aPos.x + 0.5) / uSize.x * 2.0 - 1.0, 1.0 - (aPos.y + 0.5) / uSize.y * 2.0);
  gl_Position = vec4(ndc * aPos.w, (aPos.z * 2.0 - 1.0) * aPos.w, aPos.w);
  vColor = aColor;
#ifdef SPECULAR
  vSpec = aSpec;
#endif
#ifdef TEXTURED
  vUV = aUV;
#endif
})";

inline const char* kFragmentShader = R"(
precision mediump float;
varying vec4 vColor;
#ifdef SPECULAR
varying vec3 vSpec;
#endif
#ifdef TEXTURED
uniform sampler2D uTex;
varying vec2 vUV;
#endif
void main() {
  vec4 c = vColor;
#ifdef TEXTURED
  vec4 t = texture2D(uTex, vUV);
  c.rgb *= t.rgb;
#ifdef MODULATE_ALPHA
  c.a *= t.a;
#endif
#endif
#ifdef SPECULAR
  c.rgb = min(c.rgb + vSpec, vec3(1.0));
#endif
  gl_FragColor = c;
})";

struct GlVertex {
  float x, y, depth, w;
  std::uint8_t color[4];
  std::uint8_t specular[4];
  float u, v;
};

struct GlBatch {
  ShaderKey shader;
  GLuint texture = 0;
  bool blend = false, ztest = true, zwrite = true, linear = true;
  GLint first = 0;
  GLsizei count = 0;
  auto Tie() const { return std::tie(shader.textured, shader.specular, shader.modAlpha, texture, blend, ztest, zwrite, linear); }
};

// How two frames of R, G, B bytes (rows top first) differ. Pixels are
// "covered" where they are not the background. Colours are compared over
// blocks of 8 x 8 pixels (the mean of each channel over the block's pixels
// covered in both), which holds filtering and texture-level choices apart
// from wrong colours; the per-pixel error is reported beside it.
struct FrameDifference {
  double coverageMismatch = 1;  // share of pixels background in one frame only
  double blocksOff = 1;         // share of blocks whose mean colour differs by more than the tolerance
  double meanChannelError = 255;  // per pixel covered in both, of 255
  double covered = 0;           // share of pixels the peer covered
};

inline FrameDifference CompareFrames(const std::vector<std::uint8_t>& ours, const std::vector<std::uint8_t>& theirs,
                                     int width, double blockTolerance) {
  constexpr int kBlock = 8;
  FrameDifference d;
  if (ours.size() != theirs.size() || ours.empty() || width <= 0) return d;
  const std::size_t pixels = ours.size() / 3;
  const int height = static_cast<int>(pixels / static_cast<std::size_t>(width));
  auto isCovered = [](const std::uint8_t* p) { return p[0] != 0 || p[1] != 0 || p[2] != 0; };
  std::size_t mismatch = 0, both = 0, covered = 0, blocks = 0, off = 0;
  double error = 0;
  for (int by = 0; by < height; by += kBlock)
    for (int bx = 0; bx < width; bx += kBlock) {
      double sum[2][3] = {};
      int n = 0;
      for (int y = by; y < std::min(height, by + kBlock); ++y)
        for (int x = bx; x < std::min(width, bx + kBlock); ++x) {
          const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
          const std::uint8_t* a = &ours[i];
          const std::uint8_t* b = &theirs[i];
          const bool inA = isCovered(a), inB = isCovered(b);
          covered += inB;
          if (inA != inB) ++mismatch;
          if (!inA || !inB) continue;
          ++n;
          for (int c = 0; c < 3; ++c) {
            sum[0][c] += a[c];
            sum[1][c] += b[c];
            error += std::abs(static_cast<int>(a[c]) - static_cast<int>(b[c]));
          }
        }
      if (n == 0) continue;
      both += static_cast<std::size_t>(n);
      ++blocks;
      double worst = 0;
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(sum[0][c] - sum[1][c]) / n);
      off += worst > blockTolerance;
    }
  d.coverageMismatch = static_cast<double>(mismatch) / static_cast<double>(pixels);
  d.blocksOff = blocks ? static_cast<double>(off) / static_cast<double>(blocks) : 0;
  d.meanChannelError = both ? error / (3.0 * static_cast<double>(both)) : 0;
  d.covered = static_cast<double>(covered) / static_cast<double>(pixels);
  return d;
}

// The same triangles through llvmpipe.
class GlPeer {
  struct Program {
    GLuint id = 0;
    GLint pos = -1, colour = -1, specular = -1, uv = -1;
  };

 public:
  GlPeer(int width, int height) : width_(width), height_(height) {}

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
    // Peers of several sizes share one set of textures.
    static EGLContext shared = EGL_NO_CONTEXT;
    context_ = eglCreateContext(display_, n ? cfg : nullptr, shared, ctxAttrs);
    if (context_ == EGL_NO_CONTEXT) return false;
    if (shared == EGL_NO_CONTEXT) shared = context_;
    if (!MakeCurrent()) return false;
    renderer_ = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    GLuint colour, depth;
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB565, width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, 0x81A6 /* 24-bit depth */, width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    glViewport(0, 0, width_, height_);
    // 5-6-5 has nothing to dither into that the device does not do itself.
    glDisable(GL_DITHER);
    return glGetError() == GL_NO_ERROR;
  }

  // Several peers (one per size) share the process: each draws in its own context.
  bool MakeCurrent() { return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE; }

  // Uploads captured primitives once; `texture` gives each one's texture (0: none).
  // False when a state's shader cannot be made.
  bool Load(const std::vector<pv::RecordedPrimitive>& primitives,
            const std::function<GLuint(const pv::RecordedPrimitive&)>& texture) {
    MakeCurrent();
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
    for (const auto& p : primitives) {
      if (p.type != pv::PrimitiveType::TriangleList && p.type != pv::PrimitiveType::TriangleFan) continue;
      GlBatch b;
      b.texture = texture(p);
      b.shader.textured = b.texture != 0;
      b.shader.specular = p.states[pv::kRsSpecularEnable] != 0;
      b.shader.modAlpha = b.shader.textured && p.states[pv::kRsTextureMapBlend] == pv::kTexBlendModulateAlpha;
      b.blend = p.states[pv::kRsAlphaBlendEnable] != 0 &&
                !(p.states[pv::kRsSrcBlend] == pv::kBlendOne && p.states[pv::kRsDestBlend] == pv::kBlendZero);
      b.ztest = p.states[pv::kRsZEnable] != 0;
      b.zwrite = b.ztest && p.states[pv::kRsZWriteEnable] != 0;
      b.linear = p.states[pv::kRsTextureMag] == pv::kFilterLinear || p.states[pv::kRsTextureMin] == pv::kFilterLinear;
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
      if (!batches_.empty() && batches_.back().Tie() == b.Tie()) {
        batches_.back().count += b.count;
        continue;
      }
      batches_.push_back(b);
      if (!ProgramFor(b.shader)) return false;
    }
    if (!vbo_) glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(verts.size() * sizeof(GlVertex)), verts.data(),
                 GL_STATIC_DRAW);
    return glGetError() == GL_NO_ERROR;
  }

  void DrawFrame() {
    glClearColor(0, 0, 0, 1);
    glClearDepthf(1.0f);
    glDepthFunc(GL_LEQUAL);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const Program* current = nullptr;
    for (const GlBatch& b : batches_) {
      const Program* p = &programs_.at(b.shader);
      if (p != current) {
        glUseProgram(p->id);
        Attributes(*p);
        current = p;
      }
      if (b.texture) {
        glBindTexture(GL_TEXTURE_2D, b.texture);
        // Shrunk textures from their halved copies, one level a pixel, as the device does a triangle.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, b.linear ? GL_LINEAR : GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, b.linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST);
      }
      if (b.blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      } else {
        glDisable(GL_BLEND);
      }
      if (b.ztest) glEnable(GL_DEPTH_TEST);
      else glDisable(GL_DEPTH_TEST);
      glDepthMask(b.zwrite ? GL_TRUE : GL_FALSE);
      glDrawArrays(GL_TRIANGLES, b.first, b.count);
    }
    glFinish();
  }

  // The last frame as R, G, B bytes, rows top first; empty after a GL error.
  std::vector<std::uint8_t> ReadRgb() {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    if (glGetError() != GL_NO_ERROR) return {};
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width_) * height_ * 3);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        for (int c = 0; c < 3; ++c)
          rgb[(static_cast<std::size_t>(y) * width_ + x) * 3 + c] =
              rgba[(static_cast<std::size_t>(height_ - 1 - y) * width_ + x) * 4 + c];
    return rgb;
  }

  const std::string& RendererName() const { return renderer_; }
  std::size_t BatchCount() const { return batches_.size(); }
  std::size_t ShaderCount() const { return programs_.size(); }
  // The states of the frame's shaders, e.g. "textured+specular".
  std::string ShaderNames() const {
    std::string names;
    for (const auto& [k, p] : programs_) {
      std::string n = k.textured ? "textured" : "plain";
      if (k.specular) n += "+specular";
      if (k.modAlpha) n += "+alpha";
      names += (names.empty() ? "" : ", ") + n;
    }
    return names;
  }

 private:
  const Program* ProgramFor(const ShaderKey& k) {
    if (auto it = programs_.find(k); it != programs_.end()) return &it->second;
    const std::string defines = ShaderDefines(k);
    auto compile = [&defines](GLenum type, const char* body) {
      const std::string src = defines + body;
      const char* text = src.c_str();
      GLuint s = glCreateShader(type);
      glShaderSource(s, 1, &text, nullptr);
      glCompileShader(s);
      GLint ok = 0;
      glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
      return ok ? s : 0u;
    };
    const GLuint vs = compile(GL_VERTEX_SHADER, kVertexShader), fs = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vs || !fs) return nullptr;
    Program p;
    p.id = glCreateProgram();
    glAttachShader(p.id, vs);
    glAttachShader(p.id, fs);
    glLinkProgram(p.id);
    GLint ok = 0;
    glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
    if (!ok) return nullptr;
    p.pos = glGetAttribLocation(p.id, "aPos");
    p.colour = glGetAttribLocation(p.id, "aColor");
    p.specular = glGetAttribLocation(p.id, "aSpec");
    p.uv = glGetAttribLocation(p.id, "aUV");
    glUseProgram(p.id);
    glUniform2f(glGetUniformLocation(p.id, "uSize"), static_cast<float>(width_), static_cast<float>(height_));
    if (k.textured) glUniform1i(glGetUniformLocation(p.id, "uTex"), 0);
    return &programs_.emplace(k, p).first->second;
  }

  void Attributes(const Program& p) {
    for (GLuint i = 0; i < 4; ++i) glDisableVertexAttribArray(i);
    auto bind = [](GLint at, GLint n, GLenum type, GLboolean norm, std::size_t offset) {
      if (at < 0) return;
      glEnableVertexAttribArray(static_cast<GLuint>(at));
      glVertexAttribPointer(static_cast<GLuint>(at), n, type, norm, sizeof(GlVertex), reinterpret_cast<void*>(offset));
    };
    bind(p.pos, 4, GL_FLOAT, GL_FALSE, offsetof(GlVertex, x));
    bind(p.colour, 4, GL_UNSIGNED_BYTE, GL_TRUE, offsetof(GlVertex, color));
    bind(p.specular, 3, GL_UNSIGNED_BYTE, GL_TRUE, offsetof(GlVertex, specular));
    bind(p.uv, 2, GL_FLOAT, GL_FALSE, offsetof(GlVertex, u));
  }

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  GLuint fbo_ = 0;
  GLuint vbo_ = 0;
  std::string renderer_;
  std::map<ShaderKey, Program> programs_;
  std::vector<GlBatch> batches_;
  int width_, height_;
};

// A surface's pixels as R, G, B bytes, rows top first, each channel widened to 8 bits.
inline std::vector<std::uint8_t> SurfaceRgb(const pv::Surface& s) {
  const pv::PixelFormat& f = s.Format();
  const std::uint32_t masks[3] = {f.redMask, f.greenMask, f.blueMask};
  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<std::size_t>(s.Width()) * s.Height() * 3);
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      const std::uint32_t p = s.PixelAt(x, y);
      for (const std::uint32_t m : masks) {
        if (!m) {
          rgb.push_back(0);
          continue;
        }
        const int shift = __builtin_ctz(m), bits = __builtin_popcount(m);
        const std::uint32_t v = (p & m) >> shift, top = (1u << bits) - 1;
        rgb.push_back(static_cast<std::uint8_t>((v * 255 + top / 2) / top));
      }
    }
  return rgb;
}

// A repeating texture from 5-6-5 texels, with its halved copies (power-of-two sizes only).
inline GLuint UploadTexture565(int width, int height, const void* texels) {
  GLuint tex = 0;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, texels);
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  return tex;
}

}  // namespace benchpeer

#pragma once
// The peer of the drawing benchmarks: the same screen triangles, as the
// emulated 3D device received them, drawn through Mesa's llvmpipe (EGL,
// surfaceless, one rasterizer thread unless LP_NUM_THREADS says otherwise)
// into a 5-6-5 colour buffer with a depth buffer.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES2/gl2.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/video/recorder.h"
#include "platform/video/render_state.h"

namespace benchpeer {

namespace pv = platform::video;

inline const char* kVertexShader = R"(
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

inline const char* kFragmentShader = R"(
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
    context_ = eglCreateContext(display_, n ? cfg : nullptr, EGL_NO_CONTEXT, ctxAttrs);
    if (context_ == EGL_NO_CONTEXT || !eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) return false;
    renderer_ = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    GLuint fbo, colour, depth;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
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
    program_ = Link();
    return program_ != 0;
  }

  // Uploads captured primitives once; `texture` gives each one's texture (0: none).
  void Load(const std::vector<pv::RecordedPrimitive>& primitives,
            const std::function<GLuint(const pv::RecordedPrimitive&)>& texture) {
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
    glUniform2f(glGetUniformLocation(program_, "uSize"), static_cast<float>(width_), static_cast<float>(height_));
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

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  GLuint program_ = 0;
  GLuint vbo_ = 0;
  std::string renderer_;
  std::vector<GlBatch> batches_;
  int width_, height_;
};

// A repeating texture from 5-6-5 texels.
inline GLuint UploadTexture565(int width, int height, const void* texels) {
  GLuint tex = 0;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, texels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  return tex;
}

}  // namespace benchpeer

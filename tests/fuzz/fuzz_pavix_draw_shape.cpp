// The mesh editor's pipeline drawing and picking random meshes: any
// positions (behind the camera, huge, not numbers), any indices, nodes,
// flags and progressive data stay inside the pool, the buffers and the screen.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "meshedit/core/render_pipeline.h"
#include "platform/video/window.h"

namespace {

struct Reader {
  const std::uint8_t* data;
  std::size_t size, pos = 0;
  std::uint32_t U32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | (pos < size ? data[pos++] : 0);
    return v;
  }
  std::uint8_t U8() { return pos < size ? data[pos++] : 0; }
  float F() {
    const std::uint32_t b = U32();
    // Mostly ordinary numbers in view, sometimes raw bit patterns.
    if ((b & 0xF) == 0) {
      float f;
      std::memcpy(&f, &b, 4);
      return f;
    }
    return static_cast<float>(static_cast<std::int32_t>(b) >> 20);
  }
};

struct Screen {
  platform::video::Window window{platform::video::Rect{0, 0, 64, 48}};
  std::unique_ptr<pavix::CRenderPipeline> pipeline = std::make_unique<pavix::CRenderPipeline>();
  bool ok = pavix::CRenderPipeline::SetFormat(&window, 0) == 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Screen screen;
  if (!screen.ok) __builtin_trap();
  Reader r{data, size};
  pavix::CShape shape;
  const int vertices = r.U8() % 40;
  for (int i = 0; i < vertices; ++i) {
    const float x = r.F(), y = r.F(), z = r.F();
    shape.vertices.push_back({{x, y, z}, {0, 0, -1}, r.U8()});
  }
  const int sides = r.U8() % 40;
  for (int i = 0; i < sides; ++i) {
    pavix::CSide side;
    for (auto& index : side.index) index = r.U8() % 48;
    side.flags = r.U32();
    side.texture = r.U32();
    side.uv[0] = {r.F(), r.F()};
    shape.sides.push_back(side);
  }
  const int nodes = r.U8() % 4;
  for (int i = 0; i < nodes; ++i) {
    pavix::CShapeNode node;
    node.vertexCount = r.U8() % 50;
    node.parent = i == 0 ? -1 : static_cast<int>(r.U8() % i);
    node.flags = r.U32();
    node.lockedCount = r.U8();
    shape.nodes.push_back(node);
  }
  if (r.U8() & 1) {
    for (int i = 0; i < vertices; ++i) shape.mrm.order.push_back(r.U32());
    shape.mrm.threshold = r.F();
  }
  const std::uint8_t mode = r.U8();
  pavix::CRenderPipeline::SetDetailMode(mode % 3);
  pavix::CRenderPipeline::SetShowEverything((mode & 4) != 0);
  pavix::CRenderPipeline::ClearLights();
  pavix::CLight light;
  light.point = (mode & 8) != 0;
  light.range = 500;
  pavix::CRenderPipeline::AddLight(light);
  pavix::CRenderPipeline::SetCamera(pavix::IdentityMatrix());
  pavix::CRenderPipeline::NewFrame();
  pavix::CRenderPipeline::BeginFrame(3, 0, 1.0f, 0);
  pavix::CRenderPipeline::DrawShape(shape, pavix::IdentityMatrix());
  pavix::CRenderPipeline::FlushOrderingTable();
  pavix::CRenderPipeline::EndFrame();
  const float point[2] = {static_cast<float>(r.U8() % 64), static_cast<float>(r.U8() % 48)};
  const int picked = pavix::CRenderPipeline::PickInShape(point, shape, pavix::IdentityMatrix());
  if (picked >= static_cast<int>(shape.sides.size())) __builtin_trap();
  return 0;
}

#include "tools/demodata/o3d_builder.h"

#include <stdexcept>

#include "datafiles/common/little_endian.h"

namespace {

DemoPoint Sub(DemoPoint a, DemoPoint b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
DemoPoint Cross(DemoPoint a, DemoPoint b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(DemoPoint a, DemoPoint b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

constexpr std::uint32_t kSideColour = 0xFF808080u;  // grey, for untextured drawing
constexpr std::uint32_t kFileFlagsTextured = 0x1;
constexpr float kTexels = 255.0f;

}  // namespace

std::uint16_t O3dBuilder::AddVertex(DemoPoint p) {
  for (std::size_t i = 0; i < vertices_.size(); ++i) {
    const DemoPoint& v = vertices_[i];
    if (v.x == p.x && v.y == p.y && v.z == p.z) return static_cast<std::uint16_t>(i);
  }
  if (vertices_.size() >= 0xFFFF) throw std::length_error("too many vertices for a mesh file");
  vertices_.push_back(p);
  return static_cast<std::uint16_t>(vertices_.size() - 1);
}

void O3dBuilder::AddQuad(DemoPoint a, DemoPoint b, DemoPoint c, DemoPoint d, DemoPoint normal,
                         std::uint16_t texture) {
  // The engine keeps a side whose corners turn so that (b - a) x (c - b)
  // points the way the side faces.
  if (Dot(Cross(Sub(b, a), Sub(c, b)), normal) < 0.0f) std::swap(b, d);
  Side s;
  s.index = {AddVertex(a), AddVertex(b), AddVertex(c), AddVertex(d)};
  s.uv = {0.0f, 0.0f, kTexels, 0.0f, kTexels, kTexels, 0.0f, kTexels};
  s.texture = texture;
  sides_.push_back(s);
}

void O3dBuilder::AddBox(DemoPoint lo, DemoPoint hi, std::uint16_t sideTexture, std::uint16_t topTexture) {
  AddQuad({lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {0, 1, 0}, topTexture);
  AddQuad({lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}, {0, 0, -1}, sideTexture);
  AddQuad({hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {0, 0, 1}, sideTexture);
  AddQuad({lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {-1, 0, 0}, sideTexture);
  AddQuad({hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}, {1, 0, 0}, sideTexture);
}

std::vector<std::uint8_t> O3dBuilder::Raw() const {
  std::vector<std::uint8_t> out;
  const auto v = static_cast<std::uint32_t>(vertices_.size());
  const auto s = static_cast<std::uint32_t>(sides_.size());
  AppendLe32(out, v);
  AppendLe32(out, s);
  AppendLe32(out, v);
  AppendLe32(out, s);
  for (const DemoPoint& p : vertices_) {
    AppendLeF32(out, p.x);
    AppendLeF32(out, p.y);
    AppendLeF32(out, p.z);
  }
  for (const Side& side : sides_) {
    AppendLe32(out, kSideColour);
    for (float f : side.uv) AppendLeF32(out, f);
    for (std::uint16_t i : side.index) AppendLe16(out, i);
    AppendLe32(out, kFileFlagsTextured);
    AppendLe16(out, side.texture);
  }
  return out;
}

std::vector<std::uint8_t> O3dBuilder::Form04D() const {
  std::vector<std::uint8_t> out = {'0', '4', 'D', 0};
  AppendLe32(out, 1);
  const std::vector<std::uint8_t> body = Raw();
  out.insert(out.end(), body.begin(), body.end());
  AppendLe32(out, 1);  // one block wide
  AppendLe32(out, 1);  // and deep
  out.insert(out.end(), footprint_.begin(), footprint_.end());
  return out;
}

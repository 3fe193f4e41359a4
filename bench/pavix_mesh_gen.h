#pragma once
// Meshes for the mesh editor's benchmarks.
#include <cstddef>
#include <cstdint>

#include "meshedit/core/shape.h"

namespace pavixbench {

// A bumpy grid of w x h vertices in triangles (or quads), one node.
inline pavix::CShape Grid(int w, int h, bool quads = false) {
  pavix::CShape shape;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      pavix::CShapeVertex v;
      v.position = {static_cast<float>(x), static_cast<float>((x * 7 + y * 13) % 11) * 0.1f, static_cast<float>(y)};
      shape.AddVertex(v);
    }
  }
  auto at = [w](int x, int y) { return static_cast<std::uint32_t>(y * w + x); };
  for (int y = 0; y + 1 < h; ++y) {
    for (int x = 0; x + 1 < w; ++x) {
      pavix::CSide s;
      s.texture = static_cast<std::uint32_t>((x / 8 + y / 8) % 5);
      s.flags = 1;
      if (quads) {
        s.index[0] = at(x, y);
        s.index[1] = at(x + 1, y);
        s.index[2] = at(x + 1, y + 1);
        s.index[3] = at(x, y + 1);
        shape.AddSide(s);
      } else {
        s.index[0] = at(x, y);
        s.index[1] = at(x + 1, y);
        s.index[2] = s.index[3] = at(x + 1, y + 1);
        shape.AddSide(s);
        s.index[1] = at(x + 1, y + 1);
        s.index[2] = s.index[3] = at(x, y + 1);
        shape.AddSide(s);
      }
    }
  }
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  return shape;
}

// n separate triangles: as many parts as sides.
inline pavix::CShape Scattered(int n) {
  pavix::CShape shape;
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < 3; ++k) {
      pavix::CShapeVertex v;
      v.position = {static_cast<float>(i), static_cast<float>(k), 0};
      shape.AddVertex(v);
    }
    pavix::CSide s;
    s.index[0] = static_cast<std::uint32_t>(3 * i);
    s.index[1] = static_cast<std::uint32_t>(3 * i + 1);
    s.index[2] = s.index[3] = static_cast<std::uint32_t>(3 * i + 2);
    shape.AddSide(s);
  }
  return shape;
}

// FNV-1a over a progressive build's output: the collapse order, the texture
// pairs and the sides' corners in their order. Equal digests, equal output.
inline std::uint32_t ProgressiveDigest(const pavix::CShape& shape) {
  std::uint32_t h = 2166136261u;
  auto add = [&h](const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 16777619u;
  };
  add(shape.mrm.order.data(), shape.mrm.order.size() * sizeof shape.mrm.order[0]);
  for (const pavix::CUv& uv : shape.mrm.uv) add(&uv, sizeof uv);
  for (const pavix::CSide& s : shape.sides) add(s.index, sizeof s.index);
  return h;
}

}  // namespace pavixbench

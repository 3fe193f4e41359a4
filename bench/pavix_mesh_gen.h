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

// A rough w x h grid for checking that the progressive build's output never
// changes: random heights, patches of three textures with their own mappings
// (seams), scattered locked vertices, quads and triangles mixed, a few broken
// sides (a corner repeated) and repeated sides. With `twoNodes` the rows are
// split between two nodes (the sides between them belong to neither) and one
// vertex is left outside both.
inline pavix::CShape RoughGrid(std::uint32_t seed, int w, int h, bool twoNodes) {
  std::uint32_t state = seed * 2654435761u + 12345u;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  pavix::CShape shape;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      pavix::CShapeVertex v;
      v.position = {static_cast<float>(x) + static_cast<float>(next() % 100) / 400.0f,
                    static_cast<float>(next() % 64) * 0.05f, static_cast<float>(y)};
      if (next() % 61 == 0) v.flags |= pavix::kVertexLocked;
      shape.AddVertex(v);
    }
  }
  auto at = [w](int x, int y) { return static_cast<std::uint32_t>(y * w + x); };
  for (int y = 0; y + 1 < h; ++y) {
    for (int x = 0; x + 1 < w; ++x) {
      const std::uint32_t patch = (static_cast<std::uint32_t>(x / 5 + y / 7) + seed) % 3;
      const std::uint32_t corner[4] = {at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1)};
      const int cx[4] = {x, x + 1, x + 1, x}, cy[4] = {y, y, y + 1, y + 1};
      pavix::CSide s;
      s.texture = patch;
      s.flags = 1;
      auto setCorner = [&](int j, int k) {
        s.index[j] = corner[k];
        s.uv[j] = {static_cast<float>(cx[k]) * 0.125f + static_cast<float>(patch), static_cast<float>(cy[k]) * 0.25f};
      };
      const std::uint32_t r = next() % 16;
      if (r < 4) {
        for (int j = 0; j < 4; ++j) setCorner(j, j);
        shape.AddSide(s);
        continue;
      }
      const int first[3] = {0, 1, 2}, second[3] = {0, 2, 3}, third[3] = {0, 1, 3}, fourth[3] = {1, 2, 3};
      const int* halves[2] = {r & 1 ? first : third, r & 1 ? second : fourth};
      for (const int* half : halves) {
        for (int j = 0; j < 3; ++j) setCorner(j, half[j]);
        s.index[3] = s.index[2];
        s.uv[3] = s.uv[2];
        shape.AddSide(s);
        if (r == 14) shape.AddSide(s);
      }
      if (r == 15) {
        setCorner(0, 0);
        setCorner(1, 0);
        setCorner(2, 2);
        s.index[3] = s.index[2];
        shape.AddSide(s);
      }
    }
  }
  if (!twoNodes) {
    shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
    return shape;
  }
  pavix::CShapeVertex outside;
  outside.position = {-1, -1, -1};
  shape.AddVertex(outside);
  shape.SetNodeCount(2);
  shape.nodes[0].vertexCount = w * (h / 2);
  shape.nodes[1].level = 1;
  shape.nodes[1].vertexCount = w * (h - h / 2);
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

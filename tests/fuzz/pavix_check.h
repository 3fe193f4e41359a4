#pragma once
// What every mesh reader must leave behind, checked after each fuzz input.
#include "meshedit/core/coordinate_limit.h"
#include "meshedit/core/shape.h"

namespace pavixfuzz {

inline void CheckShape(const pavix::CShape& s) {
  const auto nv = static_cast<std::uint32_t>(s.vertices.size());
  for (const pavix::CSide& side : s.sides)
    for (std::uint32_t i : side.index)
      if (i >= nv) __builtin_trap();
  for (const pavix::CEdge& e : s.edges)
    if (e.a >= nv || e.b >= nv) __builtin_trap();
  long long total = 0;
  for (const pavix::CShapeNode& n : s.nodes) {
    if (n.vertexCount < 0) __builtin_trap();
    total += n.vertexCount;
  }
  if (total > nv) __builtin_trap();
}

// What the model importers and the ".o3d" reader give lies in the coordinate
// range: no vertex the view cannot draw.
inline void CheckCoordinates(const pavix::CShape& s) {
  for (const pavix::CShapeVertex& v : s.vertices)
    if (!pavix::IsUsablePosition(v.position)) __builtin_trap();
}

// Editing a mesh that was read must stay inside it as well.
inline void Exercise(pavix::CShape& s) {
  s.GroupSides();
  if (!s.sides.empty()) {
    s.TransformGroup(s.sides[0].group, pavix::TranslationMatrix({1, 2, 3}));
    s.RotateUv(0, 0.5f);
  }
  if (s.vertices.size() <= 2000) {
    pavix::CShape copy = s;
    copy.BuildProgressive();
    CheckShape(copy);
    if (copy.mrm.order.size() != copy.vertices.size() && !copy.sides.empty()) __builtin_trap();
  }
  CheckShape(s);
}

}  // namespace pavixfuzz

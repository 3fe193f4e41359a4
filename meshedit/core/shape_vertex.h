#pragma once
// The vertex and edge records of a mesh.
#include <cstdint>

#include "meshedit/core/matrix.h"

namespace pavix {

// Vertex flags: the low three bits are the vertex class 0..3.
inline constexpr std::uint8_t kVertexClassMask = 0x07;
inline constexpr std::uint8_t kVertexRemove = 0x10;
inline constexpr std::uint8_t kVertexLocked = 0x20;  // collapses last in the progressive build
inline constexpr std::uint8_t kVertexMarkA = 0x40;   // working marks of TransformGroup
inline constexpr std::uint8_t kVertexMarkB = 0x80;

struct CShapeVertex {
  CVector position;
  CVector normal;
  std::uint8_t flags = 0;
};

// Two vertex indices, in the direction of their first use.
struct CEdge {
  std::uint32_t a = 0, b = 0;
};

// Bit 31 of a side-edge reference: the edge is stored the other way round.
inline constexpr std::uint32_t kEdgeReversed = 0x80000000u;

// For each corner j, the edge from corner j to the next corner (cyclic).
struct CSideEdge {
  std::uint32_t edge[4] = {};
};

}  // namespace pavix

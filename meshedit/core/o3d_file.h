#pragma once
// The ".o3d" mesh file: u32 V, u32 S, V and S again, V vertices of three
// f32, S side records of 50 bytes (a colour word, eight texture coordinates
// times 256, four u16 indices with 0xFFFF marking a triangle, u32 flags, u16
// texture id). The quest editor reads the same layout.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pavix {

class CShape;

inline constexpr std::size_t kO3dHeaderSize = 16;
inline constexpr std::size_t kO3dVertexSize = 12;
inline constexpr std::size_t kO3dSideSize = 50;
// What the side records' first word holds: the colour (blue, green, red,
// alpha bytes) the quest editor gives an untextured face, an opaque grey.
inline constexpr std::uint32_t kO3dFaceColour = 0xFF808080u;
// Indices are 16 bits and 0xFFFF marks a triangle: the highest index a file
// can hold is 0xFFFE, so a mesh has at most 65,535 vertices.
inline constexpr int kO3dMaxVertices = 0xFFFF;

// What a save wrote, or why it wrote nothing.
struct O3dSaveReport {
  std::string path;              // the file written, as the disk names it
  bool tooManyVertices = false;  // over kO3dMaxVertices
  int cause = 0;                 // the file error's cause number, 0 for none
};

// The file's bytes for the mesh as it stands; empty when it has too many
// vertices for the format.
std::vector<std::uint8_t> EncodeO3d(const CShape& shape);
// Replaces the mesh's vertices, sides and nodes (and drops its progressive
// data) from a file's bytes, then rebuilds. False, with the mesh unchanged,
// when the size is not 16 + 12 V + 50 S, an index is not below V or a vertex
// lies out of the coordinate range (coordinate_limit.h).
bool DecodeO3d(std::span<const std::uint8_t> bytes, CShape& shape);

}  // namespace pavix

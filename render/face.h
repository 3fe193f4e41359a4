#pragma once
// The polygon record of the 3D engine: up to four corners indexing a vertex
// array, their texture coordinates, a colour, a depth key and the face flags.
#include <cstddef>
#include <cstdint>

struct MtfFile;
namespace platform {
class File;
}

// Face flags shared by the faces, the engine and the renderers.
inline constexpr std::uint32_t kFaceTextured = 0x1;
inline constexpr std::uint32_t kFaceOutline = 0x2;
inline constexpr std::uint32_t kFaceSmooth = 0x4;
inline constexpr std::uint32_t kFaceColorKey = 0x8;
inline constexpr std::uint32_t kFaceBlended = 0x10;
inline constexpr std::uint32_t kFaceHidden = 0x100;
inline constexpr std::uint32_t kFaceNoFade = 0x800;
inline constexpr std::uint32_t kFaceFileNoSmooth = 0x1000;  // a mesh file's face keeps flat shading
inline constexpr std::uint32_t kFaceRipple = 0x4000;
inline constexpr std::uint32_t kFaceTranslucent = 0x8000;
inline constexpr std::uint32_t kFaceBright = 0x10000;
inline constexpr std::uint32_t kFaceRemapped = 0x20000;

inline constexpr std::uint16_t kNoVertex = 0xFFFF;

// One side record of a mesh file: u32 colour, 8 x f32 coordinates,
// 4 x u16 indices, u32 flags, u16 texture id.
inline constexpr std::size_t kFaceRecordSize = 50;

struct CFace {
  struct UV {
    float u = 0.0f, v = 0.0f;
  };
  UV uv[4];
  std::uint32_t color = 0;  // CColor bytes B, G, R, A as one word
  std::uint16_t index[4] = {kNoVertex, kNoVertex, kNoVertex, kNoVertex};
  std::uint16_t depth = 0;  // depth key; a mesh file's face holds its texture id here
  std::uint32_t flags = 0;
  std::uint32_t spare = 0;
  std::uint16_t vertexCount = 0;

  // One side record from its 50 bytes.
  void Parse(const std::uint8_t* record);
  // One side record from a file; false (face unchanged) when the file ends first.
  bool Read(MtfFile* file);
  // Throws platform::FileException when the file fails or ends first.
  void ReadStream(platform::File& file);

  void InitLine(std::uint32_t flags, std::uint32_t colour, std::uint16_t i0, std::uint16_t i1);
  void InitTriangle(std::uint32_t flags, std::uint32_t owner, std::uint16_t i0, std::uint16_t i1, std::uint16_t i2);
  void InitTriangleColour(std::uint32_t flags, std::uint32_t colour, std::uint16_t i0, std::uint16_t i1,
                          std::uint16_t i2);
  void InitQuad(std::uint32_t flags, std::uint32_t owner, std::uint16_t i0, std::uint16_t i1, std::uint16_t i2,
                std::uint16_t i3);
  void InitTriangleUV(std::uint32_t flags, std::uint32_t colour, std::uint16_t i0, std::uint16_t i1,
                      std::uint16_t i2, float u0, float v0, float u1, float v1, float u2, float v2,
                      std::uint16_t depth);

  // Reverses the corner order over the vertex count.
  void Reverse();
  // Moves every corner one place forward: corner 1 becomes corner 0.
  void Rotate();
  // 1 when the second index is free, 2 when the third is, 3 when the fourth is, else 4.
  void UpdateVertexCount();
};

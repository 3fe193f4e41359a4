#pragma once
// Builds mesh files of our own: vertices, four-corner (or three-corner)
// sides with texture coordinates in texels and a texture id, and a
// footprint of 3 x 3 collision cells per block.
#include <array>
#include <cstdint>
#include <vector>

struct DemoPoint {
  float x, y, z;
};

class O3dBuilder {
 public:
  // A side facing along `normal` (its corners are put in the order that
  // faces that way), textured with a bank over its whole 256-texel square.
  void AddQuad(DemoPoint a, DemoPoint b, DemoPoint c, DemoPoint d, DemoPoint normal, std::uint16_t texture);
  // An axis-aligned box from min to max, without its bottom.
  void AddBox(DemoPoint min, DemoPoint max, std::uint16_t sideTexture, std::uint16_t topTexture);
  // Footprint of one block, rows of three cells top first.
  void SetFootprint(const std::array<std::uint8_t, 9>& cells) { footprint_ = cells; }

  std::vector<std::uint8_t> Raw() const;
  // The "04D" form: the raw body behind its header, then the one-block footprint.
  std::vector<std::uint8_t> Form04D() const;

  std::size_t vertexCount() const { return vertices_.size(); }
  std::size_t sideCount() const { return sides_.size(); }

 private:
  struct Side {
    std::array<std::uint16_t, 4> index;
    std::array<float, 8> uv;
    std::uint16_t texture;
  };
  std::uint16_t AddVertex(DemoPoint p);

  std::vector<DemoPoint> vertices_;
  std::vector<Side> sides_;
  std::array<std::uint8_t, 9> footprint_{};
};

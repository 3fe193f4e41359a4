#pragma once
// One ".o3d" mesh drawn as the mesh editor draws it (its pipeline and its
// display device), seen from the front and lit from the upper left.
#include <cstdint>
#include <string>
#include <vector>

namespace pavix {
class CShape;
}

class PavixMeshView {
 public:
  // Sets up the mesh editor's device in a window of the size; false when the
  // display offers no 3D device.
  bool Open(int width, int height);
  ~PavixMeshView();
  // Loads the mesh (a path of the start directory) and draws it; false when it cannot be read.
  bool DrawFile(const std::string& path);
  // Draws a mesh held in memory.
  void Draw(pavix::CShape& shape);
  // The back buffer as R, G, B bytes, rows top first.
  std::vector<std::uint8_t> ReadRgb() const;
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  struct Impl;
  Impl* impl_ = nullptr;
  int width_ = 0, height_ = 0;
};

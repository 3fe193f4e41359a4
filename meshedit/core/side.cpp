#include "meshedit/core/side.h"

namespace pavix {

bool CSide::Validate() {
  if (CornerCount() == 3) return index[0] != index[1] && index[0] != index[2] && index[1] != index[2];
  for (int i = 0; i < 4; ++i) {
    for (int k = i + 1; k < 4; ++k) {
      if (index[i] != index[k]) continue;
      for (int j = k; j < 3; ++j) {
        index[j] = index[j + 1];
        uv[j] = uv[j + 1];
      }
      index[3] = index[2];
      uv[3] = uv[2];
      return index[0] != index[1] && index[0] != index[2] && index[1] != index[2];
    }
  }
  return true;
}

bool CSide::SharesVertex(const CSide& other) const {
  for (std::uint32_t a : index)
    for (std::uint32_t b : other.index)
      if (a == b) return true;
  return false;
}

void CSide::RotateCorners() {
  const int n = CornerCount();
  const std::uint32_t firstIndex = index[0];
  const CUv firstUv = uv[0];
  for (int j = 0; j + 1 < n; ++j) {
    index[j] = index[j + 1];
    uv[j] = uv[j + 1];
  }
  index[n - 1] = firstIndex;
  uv[n - 1] = firstUv;
  if (n == 3) {
    index[3] = index[2];
    uv[3] = uv[2];
  }
}

std::uint32_t CSide::SortKey() const {
  std::uint32_t key = ((texture & kTextureIdMask) << 21) | (texture & 0x003FF800u);
  if (flags & 0x1) key += 1;
  if (flags & 0x2) key |= 1u << 1;
  if (flags & 0x4) key |= 1u << 2;
  if (flags & 0x20) key |= 1u << 3;
  if (flags & 0x40) key |= 1u << 4;
  if (flags & 0x8) key |= 1u << 5;
  if (flags & 0x10) key |= 3u << 6;
  return key;
}

}  // namespace pavix

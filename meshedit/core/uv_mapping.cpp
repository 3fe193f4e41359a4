#include "meshedit/core/uv_mapping.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "meshedit/core/shape.h"

namespace pavix {

namespace {

bool InGroup(const CSide& s, int group) { return group == 0 || s.group == group; }

bool CornersKnown(const CSide& s, std::size_t n) {
  for (std::uint32_t i : s.index)
    if (i >= n) return false;
  return true;
}

}  // namespace

void MapCylindrical(CShape& shape, int group, std::span<const CVector> transformed, float fx, float fy,
                    std::uint32_t textureId) {
  if (fx == 0.0f) fx = 1.0f;
  if (fy == 0.0f) fy = 1.0f;
  float vMin = std::numeric_limits<float>::max();
  float vMax = -std::numeric_limits<float>::max();
  for (CSide& s : shape.sides) {
    if (!InGroup(s, group) || !CornersKnown(s, transformed.size())) continue;
    for (int j = 0; j < 4; ++j) {
      const CVector& p = transformed[s.index[j]];
      s.uv[j].u = static_cast<float>(std::atan2(p.y / fy, p.x / fx) / (2 * std::numbers::pi) + 0.5);
      s.uv[j].v = p.z;
      vMin = std::min(vMin, p.z);
      vMax = std::max(vMax, p.z);
    }
    bool seam = false;
    for (int a = 0; a < 4; ++a)
      for (int b = 0; b < 4; ++b) seam = seam || std::fabs(s.uv[a].u - s.uv[b].u) > 0.5f;
    if (seam)
      for (CUv& uv : s.uv)
        if (uv.u < 0.5f) uv.u += 1.0f;
    s.SetTextureId(textureId);
  }
  const float extent = vMax - vMin;
  for (CSide& s : shape.sides) {
    if (!InGroup(s, group) || !CornersKnown(s, transformed.size())) continue;
    for (CUv& uv : s.uv) uv.v = extent > 0 ? (uv.v - vMin) / extent : 0.0f;
  }
}

void MapPlanar(CShape& shape, int group, std::span<const CVector> transformed, std::uint32_t textureId) {
  const std::size_t n = std::min(transformed.size(), shape.vertices.size());
  float minX = std::numeric_limits<float>::max(), minY = minX;
  float maxX = -std::numeric_limits<float>::max(), maxY = maxX;
  for (std::size_t i = 0; i < n; ++i) {
    minX = std::min(minX, transformed[i].x);
    maxX = std::max(maxX, transformed[i].x);
    minY = std::min(minY, transformed[i].y);
    maxY = std::max(maxY, transformed[i].y);
  }
  if (n == 0) return;
  const float cx = minX + (maxX - minX) / 2, cy = minY + (maxY - minY) / 2;
  const float d = std::max(maxX - minX, maxY - minY);
  for (CSide& s : shape.sides) {
    if (!InGroup(s, group) || !CornersKnown(s, n)) continue;
    for (int j = 0; j < 4; ++j) {
      const CVector& p = transformed[s.index[j]];
      const float u = d > 0 ? (p.x - cx) / d + 0.5f : 0.5f;
      const float v = d > 0 ? 0.5f - (p.y - cy) / d : 0.5f;
      s.uv[j] = {std::trunc(u * 256.0f) / 256.0f, std::trunc(v * 256.0f) / 256.0f};
    }
    s.SetTextureId(textureId);
  }
}

}  // namespace pavix

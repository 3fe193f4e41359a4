#include "meshedit/core/uv_mapping.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "meshedit/core/shape.h"

using namespace pavix;

namespace {

CShape QuadOver(int vertices) {
  CShape shape;
  shape.SetVertexCount(vertices);
  CSide s;
  for (int j = 0; j < 4; ++j) s.index[j] = static_cast<std::uint32_t>(j);
  s.texture = 0x1800;
  shape.AddSide(s);
  return shape;
}

CVector Around(float u, float depth) {
  const double a = (u - 0.5) * 2 * std::numbers::pi;
  return {static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)), depth};
}

TEST(UvMapping, CylindricalWrapsAcrossTheSeam) {
  CShape shape = QuadOver(4);
  const std::vector<CVector> seen = {Around(0.95f, 0), Around(0.05f, 0), Around(0.05f, 4), Around(0.95f, 4)};
  MapCylindrical(shape, 0, seen, 1, 1, 12);
  const CSide& s = shape.sides[0];
  EXPECT_NEAR(s.uv[0].u, 0.95f, 1e-5f);
  EXPECT_NEAR(s.uv[1].u, 1.05f, 1e-5f);
  EXPECT_NEAR(s.uv[2].u, 1.05f, 1e-5f);
  EXPECT_FLOAT_EQ(s.uv[0].v, 0);
  EXPECT_FLOAT_EQ(s.uv[3].v, 1);
  EXPECT_EQ(s.texture, 0x1800u | 12u);
}

TEST(UvMapping, CylindricalWithoutDepthExtentGivesZero) {
  CShape shape = QuadOver(4);
  const std::vector<CVector> flat = {Around(0.2f, 3), Around(0.3f, 3), Around(0.4f, 3), Around(0.25f, 3)};
  MapCylindrical(shape, 0, flat, 0, 0, 1);  // no projection factors either
  for (const CUv& uv : shape.sides[0].uv) {
    EXPECT_TRUE(std::isfinite(uv.u));
    EXPECT_EQ(uv.v, 0.0f);
  }
}

TEST(UvMapping, PlanarScalesByTheLargerExtentInSteps) {
  CShape shape = QuadOver(5);
  const std::vector<CVector> seen = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}, {1.3f, 0.4f, 9}};
  MapPlanar(shape, 0, seen, 7);
  const CSide& s = shape.sides[0];
  EXPECT_EQ(s.uv[0], (CUv{0.0f, 0.75f}));
  EXPECT_EQ(s.uv[1], (CUv{1.0f, 0.75f}));
  EXPECT_EQ(s.uv[2], (CUv{1.0f, 0.25f}));
  EXPECT_EQ(s.TextureId(), 7u);
  CShape odd = QuadOver(5);
  odd.sides[0].index[0] = 4;
  MapPlanar(odd, 0, seen, 7);
  // (1.3 - 1) / 2 + 0.5 = 0.65, cut to a multiple of 1/256.
  EXPECT_FLOAT_EQ(odd.sides[0].uv[0].u, std::trunc(0.65f * 256) / 256);
}

TEST(UvMapping, PlanarWithoutExtentMapsToTheMiddle) {
  CShape shape = QuadOver(4);
  const std::vector<CVector> point(4, CVector{5, 5, 5});
  MapPlanar(shape, 0, point, 3);
  for (const CUv& uv : shape.sides[0].uv) EXPECT_EQ(uv, (CUv{0.5f, 0.5f}));
}

TEST(UvMapping, OnlyTheGroupIsMapped) {
  CShape shape = QuadOver(4);
  shape.sides[0].group = 2;
  const std::vector<CVector> seen = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  MapPlanar(shape, 1, seen, 3);
  EXPECT_EQ(shape.sides[0].TextureId(), 0u);
  MapPlanar(shape, 2, seen, 3);
  EXPECT_EQ(shape.sides[0].TextureId(), 3u);
}

}  // namespace

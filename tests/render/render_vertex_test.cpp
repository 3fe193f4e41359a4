// The render vertex's interpolations at the near plane and along projected edges.
#include "render/render_vertex.h"

#include <gtest/gtest.h>

namespace {

CVertex Make(float x, float y, float z, CColor c, float u, int fade) {
  CVertex v{};
  v.x = x;
  v.y = y;
  v.z = z;
  v.rz = 1.0f / z;
  v.sx = static_cast<int>(320 + x / z);
  v.sy = static_cast<int>(240 - y / z);
  v.color = c;
  v.u = u;
  v.v = 2 * u;
  v.fade = fade;
  v.inFront = z < 128 ? 1 : 0;
  return v;
}

}  // namespace

TEST(RenderVertex, NearPlaneCrossing) {
  const CVertex a = Make(1000, 500, 300, CColor::FromRGBA(0, 100, 200, 255), 0, 255);
  const CVertex b = Make(-1000, 500, 100, CColor::FromRGBA(100, 0, 0, 55), 10, 0);
  const CVertex n = CVertex::InterpolateNear(a, b, 200, 320, 240);  // halfway
  EXPECT_FLOAT_EQ(n.z, 200);
  EXPECT_FLOAT_EQ(n.x, 0);
  EXPECT_FLOAT_EQ(n.u, 5);
  EXPECT_FLOAT_EQ(n.rz, 1.0f / 200);
  EXPECT_EQ(n.sx, 320);
  EXPECT_EQ(n.sy, 238);  // 240 - 2.5, rounded to the nearest even
  EXPECT_EQ(n.color.r, 50);
  EXPECT_EQ(n.color.b, 100);
  EXPECT_EQ(n.color.a, 155);
  EXPECT_EQ(n.fade, 128);
  EXPECT_EQ(n.inFront, 0);
  // Both ends at the same depth: no division by zero.
  const CVertex same = CVertex::InterpolateNear(a, a, 200, 320, 240);
  EXPECT_FLOAT_EQ(same.z, 300);
}

TEST(RenderVertex, ProjectedEdgeIsPerspectiveCorrect) {
  const CVertex a = Make(0, 0, 100, CColor::FromRGBA(0, 0, 0, 255), 0, 255);
  const CVertex b = Make(0, 0, 300, CColor::FromRGBA(240, 0, 0, 255), 30, 255);
  const CVertex m = CVertex::InterpolateProjected(a, b, 0.5f);
  // 1/z is linear on the screen: halfway is z = 150, a quarter of the way along the edge in space.
  EXPECT_FLOAT_EQ(m.z, 150);
  EXPECT_NEAR(m.u, 7.5f, 1e-4);
  EXPECT_EQ(m.color.r, 60);
  const CVertex end = CVertex::InterpolateProjected(a, b, 1.0f);
  EXPECT_EQ(end.sx, b.sx);
  EXPECT_NEAR(end.u, 30.0f, 1e-4);
}

#include "meshedit/core/view_camera.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using pavix::CVector;
using pavix::CViewCamera;

namespace {

bool Finite(const CVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Whatever it is given, the camera stays where its maths works: a target out
// of the coordinate range becomes the origin, a distance beyond the range is
// held at it, and what is not finite takes its default.
TEST(ViewCamera, StaysWhereItsMathsWorks) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    CVector target, angles;
    float zoom;
    CVector wantTarget;
    float wantZoom;
  };
  const Case cases[] = {
      {"in range", {1e7f, -5, 3}, {0.5f, 0, 0}, 100, {1e7f, -5, 3}, 100},
      {"a target not a number", {nan, 0, 0}, {}, 512, {}, 512},
      {"an infinite target", {0, 0, -inf}, {}, 512, {}, 512},
      {"a target beyond the range", {2e7f, 0, 0}, {}, 512, {}, 512},
      {"a distance beyond the range", {}, {}, -1e30f, {}, -1e7f},
      {"a distance not a number", {}, {}, nan, {}, CViewCamera::kDefaultZoom},
      {"angles not numbers", {}, {nan, inf, -inf}, 512, {}, 512},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CViewCamera camera;
    camera.BuildViewMatrix(c.target, c.angles, c.zoom);
    EXPECT_EQ(camera.target, c.wantTarget);
    EXPECT_EQ(camera.zoom, c.wantZoom);
    EXPECT_TRUE(Finite(camera.angles));
    EXPECT_TRUE(Finite(camera.eye));
    for (float m : camera.matrix.m) EXPECT_TRUE(std::isfinite(m));
    // Rebuilt from what it stored, it stays the same.
    camera.Rebuild();
    EXPECT_EQ(camera.target, c.wantTarget);
  }
}

}  // namespace

#include "meshedit/core/point_in_triangle.h"

namespace pavix {

int PointInTriangle2D(const float p[2], const float a[2], const float b[2], const float c[2]) {
  const float e0 = (p[1] - b[1]) * (b[0] - a[0]) - (p[0] - b[0]) * (b[1] - a[1]);
  const float e1 = (p[1] - c[1]) * (c[0] - b[0]) - (p[0] - c[0]) * (c[1] - b[1]);
  const float e2 = (p[1] - a[1]) * (a[0] - c[0]) - (p[0] - a[0]) * (a[1] - c[1]);
  return e0 >= 0 && e1 >= 0 && e2 >= 0 ? 1 : 0;
}

}  // namespace pavix

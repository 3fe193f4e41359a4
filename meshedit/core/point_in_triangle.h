#pragma once
// Whether a screen point lies in a triangle of the winding the pipeline
// draws (all three edge functions non-negative); a point on an edge counts
// as inside. Points are x, y.
namespace pavix {

int PointInTriangle2D(const float p[2], const float a[2], const float b[2], const float c[2]);

}  // namespace pavix

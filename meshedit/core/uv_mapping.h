#pragma once
// Cylindrical and planar texture mapping of a group's sides from the mesh's
// vertices as the view transformed them (one position per mesh vertex).
#include <cstdint>
#include <span>

#include "meshedit/core/matrix.h"

namespace pavix {

class CShape;

// u from the angle around the view's depth axis (fx, fy: the projection
// factors), v from the depth scaled to 0..1 over the group; a side across the
// seam has its low u moved past 1. A group without depth extent gets v = 0.
void MapCylindrical(CShape& shape, int group, std::span<const CVector> transformed, float fx, float fy,
                    std::uint32_t textureId);
// u and v from x and y over the whole mesh, centred, scaled by the larger
// extent and cut to multiples of 1/256. A mesh without extent maps to 0.5.
void MapPlanar(CShape& shape, int group, std::span<const CVector> transformed, std::uint32_t textureId);

}  // namespace pavix

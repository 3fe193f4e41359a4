#pragma once
// The 3D engine's program-wide state, shared by its source files.
#include <array>
#include <climits>
#include <vector>

#include "render/bank_cache.h"
#include "render/engine_3d.h"
#include "render/face.h"

struct EngineState {
  CRenderer* renderer = nullptr;
  float focalX = 512.0f;
  float focalY = 512.0f;
  float nearPlane = 256.0f;
  int viewportWidth = 320;
  int viewportHeight = 240;
  int centreX = 160;
  int centreY = 120;
  float centreXf = 160.0f;
  float centreYf = 120.0f;
  int viewLeft = 0, viewTop = 0, viewRight = 319, viewBottom = 239;
  int viewWidth = 736;   // the room view's visible size, for the 2D helpers
  int viewHeight = 480;

  std::vector<CVertex> pool;
  int poolUsed = 0;
  int poolHighWater = 0;

  float frameTime = 0.0f;
  std::uint32_t andMask = 0xFFFFFFFFu;
  std::uint32_t orMask = 0;
  CColor outline = CColor::FromValue(0x40000000u);

  std::array<CSortItem*, kEngineBuckets> heads{};
  std::vector<CSortItem> items = std::vector<CSortItem>(kEngineSortItems);
  int itemsUsed = 0;
  int lowest = INT_MAX;
  int highest = INT_MIN;

  std::vector<CFace> lineFaces = std::vector<CFace>(kEngineLineFaces);
  int lineFacesUsed = 0;

  CTextureBankCache banks;
  char bankPath[512] = {};
};

EngineState& Engine();

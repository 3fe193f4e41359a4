#pragma once
// One frame of the world map into the display device's back surface: the
// grid, every node (with the thumbnail column emptied first), the rubber
// band, the links, the rooms' links and boxes, then the labels.
#include "platform/video/types.h"

class Cdd;

struct WorldMapFrame {
  platform::video::Rect visible;  // the shown part of the back surface (pixels)
  platform::video::Rect view;     // the map area shown (world units)
  bool bandShown = false;
  platform::video::Rect band;     // world units
  float elapsed = 0.0f;           // ms since the last frame
};

// Nothing without a 3D engine; no labels without a device.
void DrawWorldMap(Cdd* cdd, const WorldMapFrame& frame);

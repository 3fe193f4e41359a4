#pragma once
// How a world-map link runs between two rectangles: the sides it leaves and
// reaches, the spreading of links sharing a side, and its orthogonal path
// with a start square and an arrow head, drawn in screen coordinates.
#include "platform/video/types.h"
#include "quest/world_graph.h"
#include "render/color.h"

// Sides: 0 top, 1 right, 2 bottom, 3 left; -1 none (the rectangles overlap).
struct LinkSides {
  int from = -1;
  int to = -1;
};
LinkSides ChooseLinkSides(const platform::video::Rect& from, const platform::video::Rect& to);

// Offset of the n-th link on one side: 0, 5, -5, 10, -10, ...
int LinkSpreadOffset(int n);

// Where a link meets a rectangle's side (world units); the bottom end sits
// below the label.
MapPoint LinkEndPoint(const platform::video::Rect& r, int side, int offset);

// Draws one link from `from` to `to` in `colour`, relative to the view's
// left-top corner, and counts it on both sides used. Counters (top, right,
// bottom, left) may be null.
void DrawMapLinkPath(const platform::video::Rect& from, int* fromCounts, const platform::video::Rect& to,
                     int* toCounts, CColor colour, const platform::video::Rect& view);

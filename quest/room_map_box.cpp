#include "quest/room_map_box.h"

#include <algorithm>

#include "quest/quest_list.h"
#include "quest/room.h"

void OffsetRooms(CRoom* rooms, int dx, int dy) {
  for (CRoom* r : Each(rooms)) {
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
  }
}

CRoom* HitTestRoom(CRoom* rooms, int x, int y, bool* corner) {
  if (corner) *corner = false;
  for (CRoom* r : Each(rooms)) r->SetSelected(false);
  for (CRoom* r : Each(rooms)) {
    if (x >= r->left && x <= r->right && y >= r->top && y <= r->bottom) {
      r->SetSelected(true);
      if (corner) *corner = x >= r->right - kRoomResizeCorner && y >= r->bottom - kRoomResizeCorner;
      return r;
    }
  }
  return nullptr;
}

void SelectRoomsInRect(CRoom* rooms, int left, int top, int right, int bottom) {
  // A rubber band may be drawn in any direction.
  const int l = std::min(left, right), r = std::max(left, right);
  const int t = std::min(top, bottom), b = std::max(top, bottom);
  for (CRoom* room : Each(rooms)) {
    const bool overlaps = l <= room->right && r >= room->left && t <= room->bottom && b >= room->top;
    const bool inside = l > room->left && r < room->right && t > room->top && b < room->bottom;
    room->SetSelected(overlaps && !inside);
  }
}

void MoveSelectedRooms(CRoom* rooms, int dx, int dy) {
  for (CRoom* r : Each(rooms)) {
    if (!r->IsSelected()) continue;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
  }
}

void ResizeSelectedRooms(CRoom* rooms, int dx, int dy) {
  for (CRoom* r : Each(rooms)) {
    if (!r->IsSelected()) continue;
    const int right = r->right + dx;
    const int bottom = r->bottom + dy;
    if (right > r->left + kRoomMinBoxSize && bottom > r->top + kRoomMinBoxSize) {
      r->right = right;
      r->bottom = bottom;
    }
  }
}

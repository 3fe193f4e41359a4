#pragma once
// The rooms' boxes on the world map: hit tests, selection, moving and
// resizing, over a room list.
class CRoom;

// Size of the bottom-right corner that resizes a box.
inline constexpr int kRoomResizeCorner = 16;
// A box never becomes this narrow or narrower.
inline constexpr int kRoomMinBoxSize = 64;

void OffsetRooms(CRoom* rooms, int dx, int dy);
// Deselects every room, then selects and returns the first whose box holds
// the point (edges included); *corner tells whether the point lies in its
// resize corner. Null when no box holds it.
CRoom* HitTestRoom(CRoom* rooms, int x, int y, bool* corner);
// Selects each room whose box meets the rectangle (edges included), unless
// the rectangle lies strictly inside the box; deselects the others.
void SelectRoomsInRect(CRoom* rooms, int left, int top, int right, int bottom);
void MoveSelectedRooms(CRoom* rooms, int dx, int dy);
// Applied to a selected room only when its box stays wider and taller than 64.
void ResizeSelectedRooms(CRoom* rooms, int dx, int dy);

// Outlines of every box, relative to the view origin (drawn through the 3D engine).
void DrawRoomBoxes(CRoom* rooms, int viewX, int viewY);

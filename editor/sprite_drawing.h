#pragma once
// Sprites of the sprite table and cells of the quest's sprite sheet, drawn
// into the display's back surface for the pickers' and dialogs' previews.
// What an object shows is found by `ObjectPictureOf` and its kin
// (quest/object_picture.h), as on the world map.
#include "datafiles/trisprite_table.h"
#include "quest/object_picture.h"

namespace kelvar {

class PreviewFrame;

// Draws a sprite row through the engine (inside a frame) with the middle of
// its top edge at (x, top).
void DrawSpriteTop(const TrispriteRecord& sprite, int x, int top);
// Copies a cell of the sprite sheet (its footprint) to the back surface with
// the middle of its top edge at (x, top); the cell never reads outside the
// sheet.
void DrawSheetCell(const TrispriteRecord& cell, int x, int top);
// Draws what the picture shows (nothing when it shows nothing) into the
// preview frame, the middle of its top edge at (x, top).
void DrawObjectPicture(PreviewFrame& frame, const ObjectPicture& picture, int x, int top);

}  // namespace kelvar

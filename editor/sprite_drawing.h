#pragma once
// Sprites of the sprite table and cells of the quest's sprite sheet, drawn
// into the display's back surface for the pickers' and dialogs' previews.
#include <string_view>

#include "datafiles/trisprite_table.h"

class CQuestObject;

namespace kelvar {

// The sprite sheet the quest objects' own sprite cells come from.
inline constexpr int kSpriteSheetSize = 256;
// A cell size of 0 or below counts as this.
inline constexpr int kDefaultCellSize = 24;

// The cell with a usable cell size.
TrispriteRecord UsableCell(const TrispriteRecord& cell);

// The sprite-table row of exactly this name (ignoring case); null when none.
const TrispriteRecord* FindSprite(std::string_view name);
// Whether a quest object has its own sprite cell (its sprite is not "FREE").
bool HasCustomSprite(const CQuestObject& object);
// The sprite named in the item-object row the quest object derives from;
// null when the row or its sprite does not exist.
const TrispriteRecord* OriginSprite(const CQuestObject& object);

// Draws a named sprite through the engine (inside a frame) with the middle
// of its top edge at (x, top); nothing when the sprite does not exist.
void DrawSpriteTop(std::string_view name, int x, int top);
// Copies a cell of the sprite sheet (its footprint) to the back surface with
// the middle of its top edge at (x, top); the cell never reads outside the
// sheet.
void DrawSheetCell(const TrispriteRecord& cell, int x, int top);

}  // namespace kelvar

#include "editor/sprite_drawing.h"

#include <algorithm>

#include "datafiles/item_object_table.h"
#include "datafiles/trisprite_table.h"
#include "editor/display_objects.h"
#include "editor/picker_support.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/quest_object.h"
#include "render/cdd.h"
#include "render/engine_3d.h"

namespace kelvar {

const TrispriteRecord* FindSprite(std::string_view name) {
  if (name.empty() || g_trispriteTable.Count() == 0) return nullptr;
  const int row = g_trispriteTable.Find(name);
  const TrispriteRecord& record = g_trispriteTable.Row(static_cast<std::size_t>(row));
  return platform::EqualsNoCase(FieldText(record.name), name) ? &record : nullptr;
}

bool HasCustomSprite(const CQuestObject& object) {
  return !platform::EqualsNoCase(FieldText(object.sprite.name), "FREE");
}

const TrispriteRecord* OriginSprite(const CQuestObject& object) {
  const int origin = FindItemObject(FieldText(object.parent));
  if (origin < 0) return nullptr;
  return FindSprite(ItemSpriteName(g_itemObjectTable.Row(static_cast<std::size_t>(origin))));
}

void DrawSpriteTop(std::string_view name, int x, int top) {
  const TrispriteRecord* sprite = FindSprite(name);
  if (!sprite || !g_3DEngine) return;
  const std::string text(FieldText(sprite->name));
  g_3DEngine->DrawSprite2D(text.c_str(), x, top + sprite->GetFootprintHeight() / 2);
}

TrispriteRecord UsableCell(const TrispriteRecord& cell) {
  TrispriteRecord usable = cell;
  if (usable.cellSize <= 0) usable.cellSize = kDefaultCellSize;
  return usable;
}

void DrawSheetCell(const TrispriteRecord& record, int x, int top) {
  Cdd* cdd = Display().cdd;
  if (!cdd) return;
  const TrispriteRecord cell = UsableCell(record);
  const int size = cell.cellSize;
  const int w = std::min(cell.GetFootprintWidth(), kSpriteSheetSize);
  const int h = std::min(cell.GetFootprintHeight(), kSpriteSheetSize);
  if (w <= 0 || h <= 0) return;
  const int left = std::clamp(cell.column * size, 0, kSpriteSheetSize - w);
  const int upper = std::clamp(cell.row * size, 0, kSpriteSheetSize - h);
  cdd->DrawBitmap(kQuestSpriteSource, {x - w / 2, top, x - w / 2 + w, top + h}, {left, upper, left + w, upper + h},
                  CColor(0, 0, 0));
}

}  // namespace kelvar

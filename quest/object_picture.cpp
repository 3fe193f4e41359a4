#include "quest/object_picture.h"

#include <algorithm>

#include "datafiles/item_object_table.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"

TrispriteRecord UsableCell(const TrispriteRecord& cell) {
  TrispriteRecord usable = cell;
  if (usable.cellSize <= 0) usable.cellSize = kDefaultCellSize;
  return usable;
}

std::optional<TrispriteRecord> OwnCell(const TrispriteRecord& sprite) {
  if (platform::EqualsNoCase(FieldText(sprite.name), "FREE")) return std::nullopt;
  return UsableCell(sprite);
}

platform::video::Rect SheetCellRect(const TrispriteRecord& record) {
  const TrispriteRecord cell = UsableCell(record);
  const int w = std::clamp(cell.GetFootprintWidth(), 0, kSpriteSheetSize);
  const int h = std::clamp(cell.GetFootprintHeight(), 0, kSpriteSheetSize);
  const int left = std::clamp(cell.column * cell.cellSize, 0, kSpriteSheetSize - w);
  const int top = std::clamp(cell.row * cell.cellSize, 0, kSpriteSheetSize - h);
  return {left, top, left + w, top + h};
}

int FindItemObject(std::string_view key) {
  if (key.empty()) return -1;
  for (std::size_t i = 0; i < g_itemObjectTable.Count(); ++i)
    if (platform::EqualsNoCase(FieldText(g_itemObjectTable.Row(i).name), key)) return static_cast<int>(i);
  return -1;
}

std::string_view ItemSpriteName(const CItemObject& item) { return FieldText(item.text3); }

int ObjectPicture::Width() const {
  if (cell) return SheetCellRect(*cell).Width();
  return sprite ? sprite->GetFootprintWidth() : 0;
}

int ObjectPicture::Height() const {
  if (cell) return SheetCellRect(*cell).Height();
  return sprite ? sprite->GetFootprintHeight() : 0;
}

namespace {

const CItemObject* ItemRow(std::string_view key) {
  const int row = FindItemObject(key);
  return row < 0 ? nullptr : &g_itemObjectTable.Row(static_cast<std::size_t>(row));
}

// The picture of an object of this item (its own cell, when its sprite record
// sets one), or of the item itself.
ObjectPicture Picture(const TrispriteRecord* own, const CItemObject* item) {
  ObjectPicture p;
  p.item = item;
  if (own) p.cell = OwnCell(*own);
  if (!p.cell && item) {
    const std::string_view sprite = ItemSpriteName(*item);
    if (!sprite.empty()) p.sprite = g_trispriteTable.Named(sprite);
  }
  return p;
}

}  // namespace

ObjectPicture ItemPicture(const CItemObject& item) { return Picture(nullptr, &item); }

ObjectPicture QuestObjectPicture(const TrispriteRecord& sprite, std::string_view origin) {
  return Picture(&sprite, ItemRow(origin));
}

ObjectPicture QuestObjectPicture(const CQuestObject& object) {
  ObjectPicture p = QuestObjectPicture(object.sprite, FieldText(object.parent));
  p.object = &object;
  return p;
}

ObjectPicture ObjectPictureOf(std::string_view name) {
  const CQuestObject* object = FindQuestObject(Quest().questObjects, name);
  if (const CItemObject* item = ItemRow(name)) {
    ObjectPicture p = Picture(object ? &object->sprite : nullptr, item);
    p.object = object;
    return p;
  }
  return object ? QuestObjectPicture(*object) : ObjectPicture{};
}

#include "editor/preview_list_box.h"

#include <optional>

#include <QPainter>
#include <QStyledItemDelegate>

#include "datafiles/item_object_table.h"
#include "datafiles/trisprite_table.h"
#include "editor/picker_support.h"
#include "editor/preview_render.h"
#include "editor/sprite_drawing.h"
#include "quest/fixed_field.h"
#include "quest/machine_def.h"
#include "quest/mesh_banks.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "render/engine_3d.h"

namespace kelvar {
namespace {

class PreviewDelegate : public QStyledItemDelegate {
 public:
  explicit PreviewDelegate(CPreviewListBox* box) : QStyledItemDelegate(box), box_(box) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    box_->CountDrawn();
    painter->save();
    painter->setClipRect(option.rect);
    box_->DrawItem(*painter, option.rect, index.row(), (option.state & QStyle::State_Selected) != 0);
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
    return QSize(box_->viewport()->width(), box_->MeasureItem(index.row()));
  }

 private:
  CPreviewListBox* box_;
};

}  // namespace

CPreviewListBox::CPreviewListBox(QWidget* parent) : CPickerListBox(parent) {
  setItemDelegate(new PreviewDelegate(this));
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setUniformItemSizes(false);
  // Items are as wide as the list.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void PaintMeshItem(QPainter& painter, const QRect& rect, CBankList* bank, int index, bool selected,
                   std::string_view text) {
  const QImage image = RenderMeshItem(bank, index, rect.size(), selected, text);
  if (!image.isNull()) painter.drawImage(rect.topLeft(), image);
}

void CTrapPreviewListBox::DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) {
  const auto* def = reinterpret_cast<const GenericDef*>(GetItemData(row));
  if (!def) return;
  // The generic definitions' own bank learns the mesh when it is new.
  const int index = def->mesh && !def->mesh->empty() ? GenericMeshBank().FindOrAdd(*def->mesh) : -1;
  PaintMeshItem(painter, rect, &GenericMeshBank(), index, selected, FieldText(def->key));
}

void CMeshPickPreviewListBox::DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) {
  const int index = static_cast<int>(GetItemData(row));
  PaintMeshItem(painter, rect, bank_, bank_ && index < bank_->GetCount() ? index : -1, selected, GetText(row));
}

void CMeshPreviewListBox::DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) {
  const int index = static_cast<int>(GetItemData(row));
  PaintMeshItem(painter, rect, &ObjectMeshBank(), index < ObjectMeshBank().GetCount() ? index : -1, selected,
                GetText(row));
}

void CStylePreviewListBox::DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) {
  const auto* category = reinterpret_cast<const TileCategory*>(GetItemData(row));
  if (!category) return;
  // Without a room being edited there is no block set: the label alone.
  const int index = room_ ? room_->blockSet.FindName(category->base) : -1;
  PaintMeshItem(painter, rect, room_ ? &room_->blockSet : nullptr, index, selected, category->label);
}

namespace {

// The picture of an entry: an item object's, or a quest object's (none for a
// virtual one or a position past the list); none for "ERROR".
std::optional<ObjectPicture> EntryPicture(int data) {
  if (data < kQuestEntryBase) {
    if (data < 0 || static_cast<std::size_t>(data) >= g_itemObjectTable.Count()) return ObjectPicture{};
    return ItemPicture(g_itemObjectTable.Row(static_cast<std::size_t>(data)));
  }
  const CQuestObject* object = QuestObjectAt(data - kQuestEntryBase);
  if (!object) return std::nullopt;
  // A virtual object shows its key only.
  return object->isVirtual ? ObjectPicture{} : QuestObjectPicture(*object);
}

}  // namespace

int CObjectPreviewListBox::MeasureItem(int row) const {
  const int data = static_cast<int>(GetItemData(row));
  const std::optional<ObjectPicture> picture = EntryPicture(data);
  if (!picture) return 24;
  if (picture->Shows()) return picture->Height() + 24;
  // A (not virtual) quest object whose origin has no sprite keeps a preview's height.
  return picture->object ? kPreviewItemHeight : 24;
}

void CObjectPreviewListBox::DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) {
  PreviewFrame frame(rect.size(), selected ? kPreviewGrey : kPreviewWhite);
  if (!frame.Usable()) return;
  const std::optional<ObjectPicture> picture = EntryPicture(static_cast<int>(GetItemData(row)));
  if (picture) DrawObjectPicture(frame, *picture, frame.Size().width() / 2, 4);
  painter.drawImage(rect.topLeft(), frame.Finish(picture ? GetText(row) : std::string("ERROR"), selected));
}

}  // namespace kelvar

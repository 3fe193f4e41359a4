#pragma once
// Owner-drawn picker lists: each item is measured by the list and drawn by
// it into its own rectangle (only the items in view are drawn). The mesh
// lists show each entry's mesh rendered as a preview item; the object list
// shows item objects and quest objects with their sprites.
#include <string_view>

#include "editor/picker_list_box.h"

class CBankList;
class CRoom;
class QPainter;
struct GenericDef;
struct TileCategory;

namespace kelvar {

inline constexpr int kPreviewItemHeight = 128;

class CPreviewListBox : public CPickerListBox {
 public:
  explicit CPreviewListBox(QWidget* parent = nullptr);

  // The height of a row's item.
  virtual int MeasureItem(int /*row*/) const { return kPreviewItemHeight; }
  // Draws a row's item into its rectangle of the list.
  virtual void DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) = 0;

  // Items drawn so far (each paint of an item counts).
  int DrawnItems() const { return drawn_; }
  void CountDrawn() { ++drawn_; }

 private:
  int drawn_ = 0;
};

// Draws a bank's mesh item into the rectangle; nothing without a preview.
void PaintMeshItem(QPainter& painter, const QRect& rect, CBankList* bank, int index, bool selected,
                   std::string_view text);

// Generic trap definitions (item data: the definition), their meshes from
// the generic definitions' bank, captioned with their keys.
class CTrapPreviewListBox : public CPreviewListBox {
 public:
  using CPreviewListBox::CPreviewListBox;
  void DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) override;
};

// Blocks of a block set (item data: name index).
class CMeshPickPreviewListBox : public CPreviewListBox {
 public:
  using CPreviewListBox::CPreviewListBox;
  void SetBank(CBankList* bank) { bank_ = bank; }
  void DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) override;

 private:
  CBankList* bank_ = nullptr;
};

// Meshes of the object-mesh bank (item data: name index).
class CMeshPreviewListBox : public CPreviewListBox {
 public:
  using CPreviewListBox::CPreviewListBox;
  void DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) override;
};

// Paint categories (item data: the category), shown with their block from
// the edited room's block set and captioned with their labels.
class CStylePreviewListBox : public CPreviewListBox {
 public:
  using CPreviewListBox::CPreviewListBox;
  void SetRoom(CRoom* room) { room_ = room; }
  void DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) override;

 private:
  CRoom* room_ = nullptr;
};

// Item objects (item data: row index) and quest objects (32000 + position),
// each item as high as its sprite plus 24.
class CObjectPreviewListBox : public CPreviewListBox {
 public:
  using CPreviewListBox::CPreviewListBox;
  int MeasureItem(int row) const override;
  void DrawItem(QPainter& painter, const QRect& rect, int row, bool selected) override;
};

}  // namespace kelvar

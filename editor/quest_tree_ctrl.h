#pragma once
// The four trees of the left view (machines, quest objects, monsters,
// rooms). Each is a global list of root items (text and record) with a
// caret item, which the main frame's commands act on, plus the widget that
// the current left view shows it in. The items live as long as the widget:
// when the view goes, the tree is empty until the next view fills it.
#include <QPointer>
#include <QRect>
#include <QTreeWidget>
#include <string>
#include <string_view>
#include <vector>

namespace kelvar {

inline constexpr int kTreeMachines = 0;
inline constexpr int kTreeObjects = 1;
inline constexpr int kTreeMonsters = 2;
inline constexpr int kTreeRooms = 3;
inline constexpr int kTreeCount = 4;

class CQuestTreeCtrl;

// The widget of one tree; a right click opens the tree's context menu.
class QuestTreeWidget : public QTreeWidget {
 public:
  QuestTreeWidget(CQuestTreeCtrl& tree, QWidget* parent);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  CQuestTreeCtrl& tree_;
};

class CQuestTreeCtrl {
 public:
  using Item = int;  // 0 is no item
  static constexpr Item kNoItem = 0;

  CQuestTreeCtrl() = default;
  ~CQuestTreeCtrl();
  CQuestTreeCtrl(const CQuestTreeCtrl&) = delete;
  CQuestTreeCtrl& operator=(const CQuestTreeCtrl&) = delete;

  // Makes the widget under the parent (hidden); items start empty.
  void Create(QWidget* parent, QRect rect, int controlId);
  bool HasWindow() const { return widget_ != nullptr; }
  // The widget goes (from the event loop) and the items with it, at once.
  void DestroyWindow();
  QuestTreeWidget* Widget() const { return widget_; }

  int Category() const { return category_; }
  void SetCategory(int category) { category_ = category; }

  // A root item after the last one.
  Item InsertItem(std::string_view text, void* data = nullptr);
  void DeleteItem(Item item);
  void DeleteAllItems();
  Item GetSelectedItem() const { return caret_; }
  void SelectItem(Item item);
  std::string GetItemText(Item item) const;
  void SetItemText(Item item, std::string_view text);
  void* GetItemData(Item item) const;
  // Root items in order.
  std::vector<Item> Items() const;
  int Count() const { return static_cast<int>(items_.size()); }
  Item ItemAt(int index) const;

  // The right-button press: selects the item under the point (none over
  // empty space), then opens the tree's context menu there.
  void OnRButtonDown(QPoint point);

 private:
  struct Entry {
    Item id;
    std::string text;
    void* data;
    QTreeWidgetItem* shown;
  };
  const Entry* Find(Item item) const;
  Entry* Find(Item item);
  void WidgetGone();

  std::vector<Entry> items_;
  Item caret_ = kNoItem;
  Item nextId_ = 1;
  int category_ = 0;
  QPointer<QuestTreeWidget> widget_;
  bool syncing_ = false;
};

// The four trees, by category.
CQuestTreeCtrl& QuestTree(int category);

// In the tree of the category, the first root item whose text equals the
// name (ignoring case) gets the new text, or becomes the caret item.
// Nothing when none matches.
void RenameTreeItem(int category, std::string_view oldName, std::string_view newName);
void SelectTreeItem(int category, std::string_view name);

}  // namespace kelvar

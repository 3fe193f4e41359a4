#pragma once
// Tooltips over rectangles of one widget. Tools are added by id with a text
// (game bytes) and a rectangle in the widget's coordinates; rectangles move as
// the owner redraws. Nothing shows while the control is inactive.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

namespace platform::ui {

class ToolTips : public QObject {
 public:
  ToolTips() = default;
  explicit ToolTips(QWidget* owner) { Attach(owner); }
  // The control may exist before its widget does.
  void Attach(QWidget* owner);

  void AddTool(std::uintptr_t id, std::string text, QRect rect = QRect());
  void RemoveTool(std::uintptr_t id);
  void SetToolRect(std::uintptr_t id, QRect rect);
  void Activate(bool active);
  bool IsActive() const { return active_; }
  // Hides a shown tip.
  void Pop();
  int Count() const { return static_cast<int>(tools_.size()); }
  // The text a hover at the point shows: the first tool whose rectangle holds
  // it, nothing while inactive.
  std::optional<std::string> TextAt(QPoint point) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Tool {
    std::uintptr_t id;
    std::string text;
    QRect rect;
  };
  std::vector<Tool> tools_;
  QPointer<QWidget> owner_;
  bool active_ = true;
};

}  // namespace platform::ui

#include "platform/ui/tool_tips.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include "platform/ui/text_codec.h"

namespace platform::ui {

void ToolTips::Attach(QWidget* owner) {
  if (owner_) owner_->removeEventFilter(this);
  owner_ = owner;
  if (owner_) owner_->installEventFilter(this);
}

void ToolTips::AddTool(std::uintptr_t id, std::string text, QRect rect) {
  for (Tool& t : tools_) {
    if (t.id == id) {
      t.text = std::move(text);
      t.rect = rect;
      return;
    }
  }
  tools_.push_back({id, std::move(text), rect});
}

void ToolTips::RemoveTool(std::uintptr_t id) {
  std::erase_if(tools_, [id](const Tool& t) { return t.id == id; });
}

void ToolTips::SetToolRect(std::uintptr_t id, QRect rect) {
  for (Tool& t : tools_)
    if (t.id == id) t.rect = rect;
}

void ToolTips::Activate(bool active) {
  active_ = active;
  if (!active_) Pop();
}

void ToolTips::Pop() {
  if (QToolTip::isVisible()) QToolTip::hideText();
}

std::optional<std::string> ToolTips::TextAt(QPoint point) const {
  if (!active_) return std::nullopt;
  for (const Tool& t : tools_)
    if (t.rect.contains(point)) return t.text;
  return std::nullopt;
}

bool ToolTips::eventFilter(QObject* watched, QEvent* event) {
  if (watched == owner_ && event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (auto text = TextAt(help->pos())) {
      QRect rect;
      for (const Tool& t : tools_)
        if (t.rect.contains(help->pos())) {
          rect = t.rect;
          break;
        }
      QToolTip::showText(help->globalPos(), FromAnsi(*text), owner_, rect);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace platform::ui

#include "platform/ui/popup_menu.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

namespace platform::ui {
namespace {

IPopupMenus*& Current() {
  static IPopupMenus* current = nullptr;
  return current;
}

}  // namespace

IPopupMenus& DefaultPopupMenus();  // qt_ui.cpp

IPopupMenus& PopupMenus() { return Current() ? *Current() : DefaultPopupMenus(); }

IPopupMenus* SetPopupMenus(IPopupMenus* service) {
  IPopupMenus* previous = Current();
  Current() = service;
  return previous;
}

std::vector<PopupItem> EvaluateMenu(const std::vector<MenuItem>& items, CommandSink& sink) {
  std::vector<PopupItem> out;
  for (const MenuItem& m : items) {
    PopupItem p;
    p.text = m.text;
    p.id = m.id;
    if (m.IsPopup()) {
      p.items = EvaluateMenu(m.items, sink);
    } else if (m.id > 0) {
      CommandState s = sink.QueryCommand(m.id);
      p.enabled = s.enabled;
      p.checked = s.checked;
      p.radio = s.radio;
    }
    out.push_back(std::move(p));
  }
  return out;
}

bool OffersCommand(const std::vector<PopupItem>& items, int id) {
  for (const PopupItem& p : items) {
    if (!p.items.empty() && OffersCommand(p.items, id)) return true;
    if (p.items.empty() && p.id == id && p.enabled) return true;
  }
  return false;
}

int TrackPopupMenu(const MenuItem& popup, QPoint globalPos, CommandSink& sink, QObject* context,
                   bool returnOnly) {
  std::vector<PopupItem> shown = EvaluateMenu(popup.items, sink);
  int id = PopupMenus().Choose(shown, globalPos);
  if (id <= 0 || !OffersCommand(shown, id)) return 0;
  if (!returnOnly && context) {
    CommandSink* target = &sink;
    QPointer<QObject> guard(context);
    QMetaObject::invokeMethod(
        context, [target, guard, id] {
          if (guard) target->SendCommand(id);
        },
        Qt::QueuedConnection);
  }
  return id;
}

}  // namespace platform::ui

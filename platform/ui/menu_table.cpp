#include "platform/ui/menu_table.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>

#include "platform/ui/command_ids.h"
#include "platform/ui/string_table.h"
#include "platform/ui/text_codec.h"

namespace platform::ui {
namespace {

constexpr const char* kRecentProperty = "recentEntry";

QAction* MakeAction(QObject* parent, const MenuItem& item, CommandSink* sink) {
  auto* action = new QAction(FromDisplayText(item.text), parent);
  action->setData(item.id);
  std::string flyBy = Strings().FlyBy(item.id);
  if (!flyBy.empty()) action->setStatusTip(FromDisplayText(flyBy));
  int id = item.id;
  QObject::connect(action, &QAction::triggered, action, [sink, id] { sink->SendCommand(id); });
  return action;
}

void ExpandRecentFiles(QMenu* menu, QAction* placeholder, CommandSink* sink) {
  for (QAction* a : menu->actions())
    if (a->property(kRecentProperty).toBool()) {
      menu->removeAction(a);
      a->deleteLater();
    }
  std::vector<std::string> texts = sink->RecentFileTexts();
  placeholder->setVisible(texts.empty());
  placeholder->setEnabled(false);
  for (size_t i = 0; i < texts.size() && kCmdRecentFirst + static_cast<int>(i) <= kCmdRecentLast; ++i) {
    MenuItem item = Item(texts[i], kCmdRecentFirst + static_cast<int>(i));
    QAction* a = MakeAction(menu, item, sink);
    a->setProperty(kRecentProperty, true);
    menu->insertAction(placeholder, a);
  }
}

}  // namespace

const MenuItem* FindPopup(const std::vector<MenuItem>& menus, std::string_view text) {
  for (const MenuItem& m : menus)
    if (m.IsPopup() && m.text == text) return &m;
  return nullptr;
}

int ActionCommand(const QAction* action) {
  if (!action || action->menu()) return 0;
  bool ok = false;
  int id = action->data().toInt(&ok);
  return ok ? id : 0;
}

void ApplyState(QAction* action, const CommandState& state) {
  action->setEnabled(state.enabled);
  bool mark = state.checked || state.radio;
  if (state.radio && !action->actionGroup()) {
    // A one-action exclusive group makes styles draw a radio mark.
    auto* group = new QActionGroup(action);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    group->addAction(action);
  }
  action->setCheckable(mark || action->actionGroup() != nullptr);
  action->setChecked(mark);
}

void FillMenu(QMenu* menu, const std::vector<MenuItem>& items, CommandSink* sink) {
  for (const MenuItem& item : items) {
    if (item.IsSeparator()) {
      menu->addSeparator();
    } else if (item.IsPopup()) {
      QMenu* sub = menu->addMenu(FromDisplayText(item.text));
      FillMenu(sub, item.items, sink);
    } else {
      menu->addAction(MakeAction(menu, item, sink));
    }
  }
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, sink] { UpdateMenu(menu, sink); });
}

void FillMenuBar(QMenuBar* bar, const std::vector<MenuItem>& menus, CommandSink* sink) {
  for (const MenuItem& m : menus) {
    if (m.IsPopup()) {
      QMenu* menu = bar->addMenu(FromDisplayText(m.text));
      FillMenu(menu, m.items, sink);
    } else if (!m.IsSeparator()) {
      bar->addAction(MakeAction(bar, m, sink));
    }
  }
}

void UpdateMenu(QMenu* menu, CommandSink* sink) {
  for (QAction* a : menu->actions()) {
    int id = ActionCommand(a);
    if (id == kCmdRecentFirst && !a->property(kRecentProperty).toBool()) {
      ExpandRecentFiles(menu, a, sink);
      break;
    }
  }
  for (QAction* a : menu->actions()) {
    int id = ActionCommand(a);
    if (id <= 0 || !a->isVisible()) continue;
    ApplyState(a, sink->QueryCommand(id));
  }
}

}  // namespace platform::ui

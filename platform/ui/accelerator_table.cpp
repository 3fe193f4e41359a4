#include "platform/ui/accelerator_table.h"

#include <QKeyEvent>

namespace platform::ui {

int AcceleratorTable::Find(int key, unsigned mods) const {
  for (const Accelerator& a : entries_)
    if (a.key == key && a.mods == mods) return a.command;
  return 0;
}

int AcceleratorTable::Find(const QKeyEvent& event) const {
  int key = event.key();
  Qt::KeyboardModifiers m = event.modifiers();
  unsigned mods = 0;
  if (m & Qt::ShiftModifier) mods |= kModShift;
  if (m & Qt::ControlModifier) mods |= kModCtrl;
  if (m & Qt::AltModifier) mods |= kModAlt;
  // Shift+Tab arrives as its own key.
  if (key == Qt::Key_Backtab) {
    key = Qt::Key_Tab;
    mods |= kModShift;
  }
  if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
  return Find(key, mods);
}

}  // namespace platform::ui

#pragma once
// Keyboard accelerators: keys with their modifiers mapped to command ids.
// A frame holds one table at a time and swaps it as its mode changes.
#include <initializer_list>
#include <vector>

class QKeyEvent;

namespace platform::ui {

inline constexpr unsigned kModShift = 1;
inline constexpr unsigned kModCtrl = 2;
inline constexpr unsigned kModAlt = 4;

struct Accelerator {
  int key;         // a Qt::Key value (Qt::Key_A for the letter A, shifted or not)
  unsigned mods;   // kMod* flags that must be held, exactly
  int command;
};

class AcceleratorTable {
 public:
  AcceleratorTable() = default;
  AcceleratorTable(int resourceId, std::initializer_list<Accelerator> entries)
      : id_(resourceId), entries_(entries) {}

  int id() const { return id_; }
  const std::vector<Accelerator>& entries() const { return entries_; }
  // The command of the key, 0 when none.
  int Find(int key, unsigned mods) const;
  int Find(const QKeyEvent& event) const;

 private:
  int id_ = 0;
  std::vector<Accelerator> entries_;
};

}  // namespace platform::ui

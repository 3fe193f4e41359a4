#pragma once
// What the monster and machine instance dialogs share: a list of instance
// names beside an add and a delete button and OK.
#include <functional>
#include <string>

struct ElementInstance;

namespace platform::ui {
class Dialog;
class ListBox;
}

namespace kelvar {

struct InstanceButton {
  const char* text;
  int id;
};

// Lays the dialog out and returns its list.
platform::ui::ListBox* BuildInstanceListDialog(platform::ui::Dialog& dialog, const char* title, InstanceButton add,
                                     InstanceButton remove, std::function<void()> onAdd,
                                     std::function<void()> onRemove);
// One row per instance of the list, in list order.
void FillInstanceList(platform::ui::ListBox* list, const ElementInstance* instances);
void AddInstanceRow(platform::ui::ListBox* list, const ElementInstance* instance);
// Removes the selected row and returns its name; "" without a selection.
std::string TakeSelectedInstance(platform::ui::ListBox* list);

}  // namespace kelvar

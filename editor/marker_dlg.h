#pragma once
// "Marker...": the quest's map markers: add, rename, delete, and go to one.
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/list_box.h"

struct Marker;

namespace kelvar {

class CMarkerDlg : public platform::ui::Dialog {
 public:
  static constexpr int kNameLimit = 31;

  explicit CMarkerDlg(QWidget* parent = nullptr);

  void OnAdd();
  void OnRename();
  void OnDelete();
  // Moves the map view to the selected marker and closes the dialog.
  void OnGoto();

  // True when markers were added, renamed or deleted.
  bool Changed() const { return changed_; }
  platform::ui::ListBox* List() const { return list_; }
  // The marker of each row.
  const std::vector<Marker*>& Rows() const { return rows_; }

 protected:
  bool OnInitDialog() override;

 private:
  // Inserts the marker's row where the sorted list puts it; returns the row.
  int InsertSorted(Marker* marker);
  Marker* Selected() const;

  platform::ui::ListBox* list_;
  std::vector<Marker*> rows_;
  bool changed_ = false;
};

}  // namespace kelvar

#pragma once
// The frame every picker dialog shares: its resource id and title, a body
// for its list and controls, and OK with or without Cancel below.
#include "platform/ui/dialog.h"

class QBoxLayout;
class QPushButton;

namespace kelvar {

class CPickerDlg : public platform::ui::Dialog {
 public:
  int DialogId() const { return dialogId_; }
  bool HasCancel() const { return cancel_ != nullptr; }

 protected:
  CPickerDlg(int dialogId, const char* title, bool withCancel, QWidget* parent);
  // Where the dialog lays out its controls, above the buttons.
  QBoxLayout* Body() const { return body_; }
  // The dialog's list: it has the keyboard when the dialog opens and comes
  // before the buttons when tabbing, so the first arrow key moves its
  // selection (gaining the focus chooses nothing).
  void SetList(QWidget* list);

 private:
  int dialogId_;
  QBoxLayout* body_;
  QPushButton* ok_;
  QPushButton* cancel_ = nullptr;
};

}  // namespace kelvar

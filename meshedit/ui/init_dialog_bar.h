#pragma once
// A bar of dialog controls that gets a chance to initialise them once they
// exist, as a dialog does: Create builds the controls, then OnInitDialogBar
// runs (by default it moves the member values into the controls).
#include <QWidget>

namespace pavix {

class CInitDialogBar : public QWidget {
 public:
  explicit CInitDialogBar(QWidget* parent = nullptr) : QWidget(parent) {}

  // False when the controls could not be made or initialised.
  bool Create();

 protected:
  virtual bool CreateControls() = 0;
  virtual bool OnInitDialogBar();
  // Data exchange between the members and the controls.
  virtual void UpdateData(bool fromControls) = 0;
};

}  // namespace pavix

#pragma once
// "Parameters...": a label with one text (CParamTextDlg) or one integer
// (CParamValueDlg) to enter.
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/dialog.h"

class QLabel;
class QLineEdit;

namespace kelvar {

class CParamTextDlg : public platform::ui::Dialog {
 public:
  explicit CParamTextDlg(QWidget* parent = nullptr);

  std::string label;
  std::string value;  // game text

  QLineEdit* ValueEdit() const { return edit_; }
  QLabel* Label() const { return label_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  QLabel* label_;
  QLineEdit* edit_;
};

class CParamValueDlg : public platform::ui::Dialog {
 public:
  explicit CParamValueDlg(QWidget* parent = nullptr);

  std::string label;
  int value = 0;

  QLineEdit* ValueEdit() const { return edit_; }
  QLabel* Label() const { return label_; }

 protected:
  bool OnInitDialog() override;
  // A field that is not an integer is refused with a prompt.
  void OnOK() override;

 private:
  QLabel* label_;
  QLineEdit* edit_;
};

// An integer with optional sign and surrounding spaces that an int holds.
std::optional<int> ParseIntegerField(std::string_view text);

}  // namespace kelvar

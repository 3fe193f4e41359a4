#include "editor/param_dlgs.h"

#include <charconv>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "editor/generation_text.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"

namespace kelvar {
namespace {

// Label above the field, OK and Cancel below.
void LayOut(platform::ui::Dialog& dialog, QLabel* label, QLineEdit* edit) {
  dialog.setWindowTitle("Parameters...");
  label->setObjectName("static1032");
  edit->setObjectName("edit1004");
  edit->setMinimumWidth(280);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog] { dialog.accept(); });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, [&dialog] { dialog.reject(); });
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(label);
  layout->addWidget(edit);
  layout->addWidget(buttons);
}

}  // namespace

std::optional<int> ParseIntegerField(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

CParamTextDlg::CParamTextDlg(QWidget* parent)
    : Dialog(parent), label_(new QLabel(this)), edit_(new QLineEdit(this)) {
  LayOut(*this, label_, edit_);
}

bool CParamTextDlg::OnInitDialog() {
  label_->setText(GameTextToEdit(label));
  edit_->setText(GameTextToEdit(value));
  return true;
}

void CParamTextDlg::OnOK() {
  value = EditToGameText(edit_->text());
  Dialog::OnOK();
}

CParamValueDlg::CParamValueDlg(QWidget* parent)
    : Dialog(parent), label_(new QLabel(this)), edit_(new QLineEdit(this)) {
  LayOut(*this, label_, edit_);
}

bool CParamValueDlg::OnInitDialog() {
  label_->setText(GameTextToEdit(label));
  edit_->setText(QString::number(value));
  return true;
}

void CParamValueDlg::OnOK() {
  const auto parsed = ParseIntegerField(edit_->text().toStdString());
  if (!parsed) {
    platform::ui::AppMessageBox("Please enter an integer.", platform::kMbOk | platform::kMbIconWarning);
    edit_->setFocus();
    return;
  }
  value = *parsed;
  Dialog::OnOK();
}

}  // namespace kelvar

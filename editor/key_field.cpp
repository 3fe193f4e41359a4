#include "editor/key_field.h"

#include <algorithm>

#include <QLineEdit>

#include "editor/generation_text.h"
#include "editor/param_dlgs.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"

namespace kelvar {

void SetKeyField(QLineEdit* edit, std::string_view text) {
  const QString shown = GameTextToEdit(text);
  edit->setMaxLength(std::max<int>(kKeyLimit, static_cast<int>(shown.size())));
  edit->setText(shown);
}

std::optional<std::string> TakeKeyField(QLineEdit* edit) {
  const std::string text = EditToGameText(edit->text());
  if (text.size() > static_cast<std::size_t>(kKeyLimit)) {
    platform::ui::AppMessageBox("Enter no more than 15 characters.", platform::kMbOk | platform::kMbIconWarning);
    edit->setFocus();
    return std::nullopt;
  }
  return text;
}

std::optional<int> TakeIntField(QLineEdit* edit, int minimum, int maximum) {
  const auto value = ParseIntegerField(edit->text().toStdString());
  if (!value || *value < minimum || *value > maximum) {
    platform::ui::AppMessageBox("Enter an integer between " + std::to_string(minimum) + " and " +
                                    std::to_string(maximum) + ".",
                                platform::kMbOk | platform::kMbIconWarning);
    edit->setFocus();
    return std::nullopt;
  }
  return value;
}

}  // namespace kelvar

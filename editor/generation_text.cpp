#include "editor/generation_text.h"

#include "platform/ui/text_codec.h"

namespace kelvar {

QString GameTextToEdit(std::string_view text) {
  QString shown = platform::ui::FromAnsi(text);
  shown.replace("\r\n", "\n");
  return shown;
}

std::string EditToGameText(const QString& text) {
  QString stored = text;
  stored.replace("\r\n", "\n");
  stored.replace("\n", "\r\n");
  return platform::ui::ToAnsi(stored);
}

}  // namespace kelvar

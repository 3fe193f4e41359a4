#pragma once
// Game texts (Windows-1252, lines ending in CR LF) in and out of edit controls.
#include <string>
#include <string_view>

#include <QString>

namespace kelvar {

QString GameTextToEdit(std::string_view text);
std::string EditToGameText(const QString& text);

}  // namespace kelvar

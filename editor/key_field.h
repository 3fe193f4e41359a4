#pragma once
// Key and name fields of the element dialogs: at most 15 characters typed,
// a longer name already in the quest shown whole and refused on OK with the
// class library's prompt, and integer fields within their range.
#include <optional>
#include <string>
#include <string_view>

class QLineEdit;

namespace kelvar {

inline constexpr int kKeyLimit = 15;

// Shows the text; typing stops at 15 characters.
void SetKeyField(QLineEdit* edit, std::string_view text);
// The field's text; nothing (after a box) when it is over 15 characters.
std::optional<std::string> TakeKeyField(QLineEdit* edit);
// The field's integer; nothing (after a box) when it is no integer in range.
std::optional<int> TakeIntField(QLineEdit* edit, int minimum, int maximum);

}  // namespace kelvar

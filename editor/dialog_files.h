#pragma once
// File dialogs opened by Kelvar's dialogs: each starts in the folder the user
// last chose a file in (the start folder at first) and remembers the folder of
// the file chosen; the program's own folder never changes.
#include <optional>
#include <string>
#include <string_view>

namespace kelvar {

// An open dialog with the default extension and the filter string of the
// string table; the chosen path, nothing on Cancel.
std::optional<std::string> ChooseFileToOpen(std::string_view defaultExt, int filterStringId);

// The folder the next dialog starts in; empty until a file was chosen.
const std::string& LastDialogFolder();
void ResetLastDialogFolder();

}  // namespace kelvar

#include "editor/dialog_files.h"

#include <filesystem>

#include "platform/ui/file_dialog.h"
#include "platform/ui/string_table.h"

namespace kelvar {
namespace {

std::string& Folder() {
  static std::string folder;
  return folder;
}

}  // namespace

std::optional<std::string> ChooseFileToOpen(std::string_view defaultExt, int filterStringId) {
  platform::ui::FileDialogRequest request;
  request.open = true;
  request.directory = Folder();
  request.defaultExt = std::string(defaultExt);
  request.filter = platform::ui::Strings().Get(filterStringId);
  auto chosen = platform::ui::ShowFileDialog(request);
  if (chosen) Folder() = std::filesystem::path(*chosen).parent_path().string();
  return chosen;
}

const std::string& LastDialogFolder() { return Folder(); }

void ResetLastDialogFolder() { Folder().clear(); }

}  // namespace kelvar

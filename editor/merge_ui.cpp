#include "editor/merge_ui.h"

#include "editor/kelvar_commands.h"
#include "editor/left_view.h"
#include "editor/room_view.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/string_table.h"

namespace kelvar {

std::optional<std::string> MergeUi::ChooseQuestFile(const std::string& directory) {
  platform::ui::FileDialogRequest request;
  request.open = true;
  request.directory = directory;
  request.defaultExt = ".QST";
  request.filter = platform::ui::Strings().Get(kIdsMergeFilter);
  return platform::ui::ShowFileDialog(request);
}

void MergeUi::RefreshViews() {
  if (CLeftView* left = CLeftView::Instance()) left->RefillTrees();
  if (CRoomView* room = CRoomView::Instance()) room->Redraw();
}

MergeUi& TheMergeUi() {
  static MergeUi ui;
  return ui;
}

}  // namespace kelvar

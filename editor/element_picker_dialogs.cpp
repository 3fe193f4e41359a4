#include "editor/element_picker_dialogs.h"

#include "datafiles/monster_class_table.h"
#include "editor/element_pickers.h"
#include "editor/picker_choice_list_dlg.h"
#include "editor/picker_frame_dlg.h"
#include "editor/picker_monster_list_dlg.h"
#include "editor/picker_object_meshes_dlg.h"
#include "editor/picker_objects_dlg.h"
#include "editor/picker_sound_dlg.h"
#include "editor/picker_sprite_dlg.h"
#include "platform/core/paths.h"
#include "quest/machine_def.h"

namespace kelvar {
namespace {

// Runs a picker dialog; its value on OK.
template <class Dialog>
std::optional<std::string> Run(Dialog& dialog) {
  if (dialog.DoModal() != platform::ui::kDialogOk) return std::nullopt;
  return dialog.value;
}

}  // namespace

void InstallPickerDialogs() {
  ElementPickers& p = Pickers();
  p.itemObject = [](std::string_view current) {
    CObjectsDlg dialog{std::string(current), false};
    return Run(dialog);
  };
  p.questObject = [](std::string_view current) {
    CObjectsDlg dialog{std::string(current), true};
    return Run(dialog);
  };
  p.objectMesh = [](std::string_view current) {
    CObjectMeshesDlg dialog{std::string(current)};
    return Run(dialog);
  };
  p.monsterClass = [](std::string_view current) {
    CMonsterListDlg dialog{std::string(current), false, true};
    return Run(dialog);
  };
  p.questMonster = [](std::string_view current) {
    CMonsterListDlg dialog{std::string(current), true, false};
    return Run(dialog);
  };
  p.linkedMonster = [](std::string_view current) {
    CMonsterListDlg dialog{std::string(current), true, true};
    return Run(dialog);
  };
  // The list shows classes; the value is a skeleton name both ways.
  p.skeletonClass = [](std::string_view skeleton) -> std::optional<std::string> {
    std::string preselect;
    for (std::size_t i = 0; i < g_monsterClassTable.Count(); ++i) {
      if (platform::EqualsNoCase(g_monsterClassTable.Row(i).skeleton, skeleton)) {
        preselect = g_monsterClassTable.Row(i).name;
        break;
      }
    }
    CMonsterListDlg dialog{preselect, false, false};
    const auto chosen = Run(dialog);
    if (!chosen) return std::nullopt;
    const int row = g_monsterClassTable.Find(*chosen);
    if (row < 0) return std::nullopt;
    return std::string(g_monsterClassTable.Row(static_cast<std::size_t>(row)).skeleton);
  };
  p.frame = [](std::string_view current) {
    CFrameDlg dialog{std::string(current)};
    return Run(dialog);
  };
  p.sound = [](std::string_view current) {
    CSoundDlg dialog{std::string(current)};
    return Run(dialog);
  };
  p.choice = [](const MachineParamDef& definition, std::string_view current) {
    CChoiceListDlg dialog{definition.choices, std::string(current)};
    return Run(dialog);
  };
  p.sprite = [](const TrispriteRecord& current) -> std::optional<TrispriteRecord> {
    CSpriteDlg dialog{current};
    if (dialog.DoModal() != platform::ui::kDialogOk) return std::nullopt;
    return dialog.sprite;
  };
}

}  // namespace kelvar

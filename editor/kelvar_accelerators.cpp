#include "editor/kelvar_accelerators.h"

#include <Qt>

#include "editor/kelvar_commands.h"
#include "platform/ui/command_ids.h"

namespace kelvar {

namespace ui = platform::ui;
using ui::kModAlt;
using ui::kModCtrl;
using ui::kModShift;

const ui::AcceleratorTable& MapAccelerators() {
  static const ui::AcceleratorTable table(
      kIdrMainFrame, {
                         {Qt::Key_C, 0, kCmdBlockCopy},
                         {Qt::Key_C, kModCtrl, ui::kCmdEditCopy},
                         {Qt::Key_Insert, kModCtrl, ui::kCmdEditCopy},
                         {Qt::Key_G, kModCtrl, kCmdMarker},
                         {Qt::Key_M, 0, kCmdMapMoveInstance},
                         {Qt::Key_N, kModCtrl, ui::kCmdFileNew},
                         {Qt::Key_O, kModCtrl, ui::kCmdFileOpen},
                         {Qt::Key_R, kModShift, kCmdBlockRotate},
                         {Qt::Key_S, 0, kCmdMapSelect},
                         {Qt::Key_S, kModCtrl, ui::kCmdFileSave},
                         {Qt::Key_T, 0, kCmdMapMoveView},
                         {Qt::Key_V, kModCtrl, ui::kCmdEditPaste},
                         {Qt::Key_Insert, kModShift, ui::kCmdEditPaste},
                         {Qt::Key_Backspace, kModAlt, ui::kCmdEditUndo},
                         {Qt::Key_Z, kModCtrl, ui::kCmdEditUndo},
                         {Qt::Key_Delete, 0, kCmdBlockDelete},
                         {Qt::Key_Delete, kModShift, ui::kCmdEditCut},
                         {Qt::Key_X, kModCtrl, ui::kCmdEditCut},
                         {Qt::Key_F6, 0, ui::kCmdNextPane},
                         {Qt::Key_F6, kModShift, ui::kCmdPrevPane},
                         {Qt::Key_Tab, 0, kCmdEditView},
                     });
  return table;
}

const ui::AcceleratorTable& RoomAccelerators() {
  static const ui::AcceleratorTable table(kIdrRoomAccelerators, {
                                                                    {Qt::Key_A, kModShift, kCmdTrapAddGeneric},
                                                                    {Qt::Key_C, kModCtrl, kCmdBlockCopy},
                                                                    {Qt::Key_D, 0, kCmdDraw},
                                                                    {Qt::Key_D, kModCtrl, kCmdBlockDelete},
                                                                    {Qt::Key_D, kModShift, kCmdEditDelete},
                                                                    {Qt::Key_E, 0, kCmdCameraElevate},
                                                                    {Qt::Key_L, 0, kCmdLinkAdd},
                                                                    {Qt::Key_L, kModShift, kCmdLinkDelete},
                                                                    {Qt::Key_M, kModShift, kCmdRoomMonsterAdd},
                                                                    {Qt::Key_O, kModCtrl, kCmdBlockChoose},
                                                                    {Qt::Key_P, kModCtrl, kCmdBlockPick},
                                                                    {Qt::Key_R, 0, kCmdCameraRotate},
                                                                    {Qt::Key_R, kModCtrl, kCmdBlockRotate},
                                                                    {Qt::Key_R, kModShift, kCmdEditRotate},
                                                                    {Qt::Key_S, 0, kCmdStyle},
                                                                    {Qt::Key_S, kModCtrl, kCmdBlockSet},
                                                                    {Qt::Key_T, 0, kCmdCameraTranslate},
                                                                    {Qt::Key_T, kModCtrl, kCmdBlockMove},
                                                                    {Qt::Key_T, kModShift, kCmdEditMove},
                                                                    {Qt::Key_Tab, 0, kCmdHierarchyView},
                                                                    {Qt::Key_Z, 0, kCmdCameraZoom},
                                                                });
  return table;
}

}  // namespace kelvar

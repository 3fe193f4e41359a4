#pragma once
// Kelvar's own command, menu, toolbar and string ids. The framework's
// (New, Open, Save, the recent files, About ...) are in platform/ui/command_ids.h.

namespace kelvar {

// Element commands.
inline constexpr int kCmdRoomCreate = 32771;
inline constexpr int kCmdRoomEdit = 32772;
inline constexpr int kCmdRoomDelete = 32773;
inline constexpr int kCmdRoomProperties = 32774;
inline constexpr int kCmdObjectCreate = 32775;
inline constexpr int kCmdObjectCreateVirtual = 32776;
inline constexpr int kCmdObjectCreateUnique = 32777;
inline constexpr int kCmdObjectProperties = 32778;
inline constexpr int kCmdObjectDelete = 32779;
inline constexpr int kCmdMonsterAdd = 32780;
inline constexpr int kCmdMonsterProperties = 32781;
inline constexpr int kCmdMonsterDelete = 32782;
inline constexpr int kCmdItem = 32783;
inline constexpr int kCmdMachineAdd = 32785;
inline constexpr int kCmdMachineProperties = 32786;
inline constexpr int kCmdMachineDelete = 32787;
inline constexpr int kCmdMachineInstanceDelete = 32836;
inline constexpr int kCmdMachineInstanceAdd = 32837;
inline constexpr int kCmdMonsterInstanceDelete = 32838;
inline constexpr int kCmdMonsterInstanceAdd = 32839;
inline constexpr int kCmdMarker = 32835;
inline constexpr int kCmdTextEdit = 32848;
inline constexpr int kCmdGoto = 32850;

// Views.
inline constexpr int kCmdHierarchyView = 32790;
inline constexpr int kCmdEditView = 32791;

// Map tools.
inline constexpr int kCmdMapMoveInstance = 32812;
inline constexpr int kCmdMapSelect = 32813;
inline constexpr int kCmdMapMoveView = 32814;

// Room tools (the tool number each sets is in the main frame's table).
inline constexpr int kCmdCameraRotate = 32792;
inline constexpr int kCmdCameraTranslate = 32793;
inline constexpr int kCmdCameraZoom = 32794;
inline constexpr int kCmdBlockMove = 32795;
inline constexpr int kCmdBlockSet = 32796;
inline constexpr int kCmdBlockPick = 32797;
inline constexpr int kCmdBlockDelete = 32798;
inline constexpr int kCmdBlockCopy = 32799;
inline constexpr int kCmdBlockRotate = 32800;
inline constexpr int kCmdBlockChoose = 32801;
inline constexpr int kCmdCameraElevate = 32802;
inline constexpr int kCmdTrapMove = 32803;
inline constexpr int kCmdTrapProperties = 32804;
inline constexpr int kCmdTrapRotate = 32805;
inline constexpr int kCmdTrapAddGeneric = 32806;
inline constexpr int kCmdTrapDeleteGeneric = 32807;
inline constexpr int kCmdRoomMonsterAdd = 32808;
inline constexpr int kCmdRoomMonsterRotate = 32809;
inline constexpr int kCmdRoomMonsterMove = 32810;
inline constexpr int kCmdRoomMonsterDelete = 32811;
inline constexpr int kCmdCollisionSet = 32819;
inline constexpr int kCmdCollisionSetLow = 32820;
inline constexpr int kCmdCollisionClear = 32821;
inline constexpr int kCmdLinkAdd = 32822;
inline constexpr int kCmdLinkDelete = 32823;
inline constexpr int kCmdEditMove = 32825;
inline constexpr int kCmdEditRotate = 32826;
inline constexpr int kCmdEditDelete = 32827;
inline constexpr int kCmdDraw = 32832;
inline constexpr int kCmdErase = 32833;
inline constexpr int kCmdStyle = 32834;

// Document and left-view commands.
inline constexpr int kCmdGenerateQuest = 32824;
inline constexpr int kCmdSwapUp = 32830;
inline constexpr int kCmdSwapDown = 32831;
inline constexpr int kCmdMerge = 32849;

// Text languages: French (0) to Other (6).
inline constexpr int kCmdLanguageFirst = 32841;
inline constexpr int kCmdLanguageLast = 32847;

// Resources.
inline constexpr int kIdrMainFrame = 128;      // frame menu, main toolbar, map accelerators
inline constexpr int kIdrQuestType = 129;      // document template and its menu
inline constexpr int kIdrTreeMenu = 130;       // tree context menus
inline constexpr int kIdrRoomViewMenu = 156;   // room view context menus
inline constexpr int kIdrRoomAccelerators = 186;
inline constexpr int kBandView = 152;
inline constexpr int kBandCamera = 157;
inline constexpr int kBandBlock = 159;
inline constexpr int kBandEdit = 164;
inline constexpr int kBandMapTools = 167;
inline constexpr int kBandCollision = 169;
inline constexpr int kBandLink = 171;

// Strings.
inline constexpr int kIdsAppTitle = 128;
inline constexpr int kIdsDeleteMachine = 61221;
inline constexpr int kIdsDeleteObject = 61225;
inline constexpr int kIdsDeleteMonster = 61226;
inline constexpr int kIdsDeleteRoom = 61235;
inline constexpr int kIdsDeleteInstance = 61237;
inline constexpr int kIdsMergeFilter = 61242;
inline constexpr int kIdsTabMachines = 61216;
inline constexpr int kIdsTabObjects = 61217;
inline constexpr int kIdsTabMonsters = 61218;
inline constexpr int kIdsTabRooms = 61232;

}  // namespace kelvar

#pragma once
// Command ids that the framework itself knows. The programs' own commands use
// the same numbering, so menus, toolbars and accelerators all carry plain ints.

namespace platform::ui {

inline constexpr int kCmdFileNew = 57600;
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdFileClose = 57602;
inline constexpr int kCmdFileSave = 57603;
inline constexpr int kCmdFileSaveAs = 57604;
inline constexpr int kCmdRecentFirst = 57616;  // recent files: first .. first + 15
inline constexpr int kCmdRecentLast = 57631;
inline constexpr int kCmdEditCopy = 57634;
inline constexpr int kCmdEditCut = 57635;
inline constexpr int kCmdEditPaste = 57637;
inline constexpr int kCmdEditUndo = 57643;
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdAppExit = 57665;
inline constexpr int kCmdNextPane = 57680;
inline constexpr int kCmdPrevPane = 57681;
inline constexpr int kCmdViewToolBar = 59392;
inline constexpr int kCmdViewStatusBar = 59393;
// The list-view styles (small icons, large icons, list, details, line up).
inline constexpr int kCmdViewSmallIcon = 59408;
inline constexpr int kCmdViewLargeIcon = 59409;
inline constexpr int kCmdViewList = 59410;
inline constexpr int kCmdViewDetails = 59411;
inline constexpr int kCmdViewLineUp = 59412;

// Ids of the frame's own bars.
inline constexpr int kMainToolBarId = 0xE800;
inline constexpr int kStatusBarId = 0xE801;
inline constexpr int kFirstPaneId = 0xE900;

// The message pane's text while nothing is hovered.
inline constexpr const char* kIdleMessage = "Ready";

}  // namespace platform::ui

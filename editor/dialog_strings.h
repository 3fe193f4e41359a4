#pragma once
// Texts of the element, text and marker dialogs in the string table.
namespace kelvar {

inline constexpr int kIdsPropertiesColumn = 61219;
inline constexpr int kIdsSelectMachine = 61220;
inline constexpr int kIdsValueColumn = 61222;
inline constexpr int kIdsObjectKeyTaken = 61223;
inline constexpr int kIdsMachineNameTaken = 61224;
inline constexpr int kIdsMonsterKeyTaken = 61227;
inline constexpr int kIdsMonsterKeyEmpty = 61228;
inline constexpr int kIdsMonsterOriginEmpty = 61229;
inline constexpr int kIdsDamageOrder = 61230;
inline constexpr int kIdsObjectOriginEmpty = 61231;
inline constexpr int kIdsRoomNameEmpty = 61233;
inline constexpr int kIdsRoomNameTaken = 61234;
inline constexpr int kIdsCdfFilter = 61236;
inline constexpr int kIdsCbsFilter = 61238;
inline constexpr int kIdsInvalidKey = 61239;
inline constexpr int kIdsWavFilter = 61240;
inline constexpr int kIdsInvalidWave = 61241;
inline constexpr int kIdsTextFilter = 61246;

// Adds them to the program's string table.
void LoadDialogStrings();

// The string's text in a plain OK box.
void ShowStringBox(int stringId);

}  // namespace kelvar

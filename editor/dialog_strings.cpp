#include "editor/dialog_strings.h"

#include <utility>

#include "platform/core/services.h"
#include "platform/ui/application.h"
#include "platform/ui/string_table.h"

namespace kelvar {

void LoadDialogStrings() {
  static const std::pair<int, const char*> kStrings[] = {
      {kIdsPropertiesColumn, "Properties"},
      {kIdsSelectMachine, "Please select a machine and give it a name."},
      {kIdsValueColumn, "Value"},
      {kIdsObjectKeyTaken, "Invalid key: the key is empty or another object already has this key."},
      {kIdsMachineNameTaken, "Name duplication. Please choose another name..."},
      {kIdsMonsterKeyTaken, "A monster already has this name. Please choose another name."},
      {kIdsMonsterKeyEmpty, "The key must not be empty."},
      {kIdsMonsterOriginEmpty,
       "The  origin field must not be empty. Click on the button labelled \"Origin\" and select a monster in the "
       "list."},
      {kIdsDamageOrder, "Minimum damages cannot be greather than maximum damages."},
      {kIdsObjectOriginEmpty,
       "The origin field must not be empty. Click on the button labelled \"Origin\" and select an object in the "
       "list."},
      {kIdsRoomNameEmpty, "The name field must not be empty."},
      {kIdsRoomNameTaken, "A room already has this name. Please choose a new name."},
      {kIdsCdfFilter, "CDF Files (*.CDF)|*.CDF||"},
      {kIdsCbsFilter, "CBS Files (*.CBS)|*.CBS||"},
      {kIdsInvalidKey, "Invalid key : only  characters 'A-'Z' and '0-'9'  are allowed in keys."},
      {kIdsWavFilter, "WAV Files (*.WAV)|*.WAV||"},
      {kIdsInvalidWave, "Invalid Wave Format: only 44100-16Bit-Mono PCM wave format is allowed."},
      {kIdsTextFilter, "text Files (*TXT)|*TXT||"},
  };
  for (const auto& [id, text] : kStrings) platform::ui::Strings().Set(id, text);
}

void ShowStringBox(int stringId) { platform::ui::AppMessageBox(platform::ui::Strings().Get(stringId), platform::kMbOk); }

}  // namespace kelvar

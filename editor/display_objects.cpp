#include "editor/display_objects.h"

#include "audio/sound_system.h"
#include "audio/sound_table.h"

namespace kelvar {

DisplayObjects& Display() {
  static DisplayObjects objects;
  return objects;
}

void PlayBankSound(const char* name) {
  CSoundSystem* sound = Display().soundSystem;
  if (!sound || !name || !*name) return;
  // A name that no row has plays nothing (the table's lookup answers row 0).
  const SoundRecord* row = g_soundTable.Named(name);
  if (!row) return;
  const int handle = row->handle;
  sound->SetVolume(handle, 255);
  sound->SetPan(handle, 0);
  sound->Play(handle, CSoundDevice::kPlayOverlap);
}

}  // namespace kelvar

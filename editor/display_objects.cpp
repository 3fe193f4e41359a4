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
  if (!sound || !name || !*name || g_soundTable.Count() == 0) return;
  const int handle = g_soundTable.Row(static_cast<std::size_t>(g_soundTable.Find(name))).handle;
  sound->SetVolume(handle, 255);
  sound->SetPan(handle, 0);
  sound->Play(handle, CSoundDevice::kPlayOverlap);
}

}  // namespace kelvar

#pragma once
// The display objects the application creates at start-up and owns until
// exit: the display device, the renderer drawing through it, and the window
// the device is set up for (the main frame's). The 3D engine is g_3DEngine.
// The sound system is made right after the display device and, unlike the
// others, is never destroyed: it lives until the process ends.
class Cdd;
class CRenderer;
class CSoundSystem;

namespace platform::video {
class Window;
}

namespace kelvar {

struct DisplayObjects {
  Cdd* cdd = nullptr;
  CRenderer* renderer = nullptr;
  CSoundSystem* soundSystem = nullptr;
  platform::video::Window* mainWindow = nullptr;
};

DisplayObjects& Display();

// Plays the sound-table row of this name (the first row when no row has it)
// at full volume, centred, overlapping itself if it is still playing.
void PlayBankSound(const char* name);

}  // namespace kelvar

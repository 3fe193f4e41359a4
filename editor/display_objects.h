#pragma once
// The display objects the application creates at start-up and owns until
// exit: the display device, the renderer drawing through it, and the window
// the device is set up for (the main frame's). The 3D engine is g_3DEngine.
class Cdd;
class CRenderer;

namespace platform::video {
class Window;
}

namespace kelvar {

struct DisplayObjects {
  Cdd* cdd = nullptr;
  CRenderer* renderer = nullptr;
  platform::video::Window* mainWindow = nullptr;
};

DisplayObjects& Display();

}  // namespace kelvar

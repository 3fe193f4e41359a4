#pragma once
// The sound facade the editor holds: every call does nothing, or gives -1,
// when the machine's sound did not come up, so the editor runs silently.
#include <memory>
#include <string_view>

#include "audio/sound_device.h"

class CSoundSystem {
 public:
  explicit CSoundSystem(void* window);

  int LoadWave(std::string_view path);
  int Play(int handle, int flags);
  void SetVolume(int handle, int volume);
  void SetPan(int handle, int pan);

  bool ok() const { return ok_; }
  CSoundDevice& device() { return *device_; }

 private:
  std::unique_ptr<CSoundDevice> device_;
  bool ok_ = false;
};

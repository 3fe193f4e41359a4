#include "audio/sound_system.h"

namespace {

// Handles outside -1 and the device's slots are refused by every call.
bool Playable(int handle) { return handle >= 0 && handle < CSoundDevice::kSlots; }

}  // namespace

CSoundSystem::CSoundSystem(void* window) : device_(std::make_unique<CSoundDevice>(window)), ok_(device_->ok()) {}

int CSoundSystem::LoadWave(std::string_view path) {
  if (!ok_) return -1;
  return device_->LoadWave(path, device_->output());
}

int CSoundSystem::Play(int handle, int flags) {
  if (!ok_ || !Playable(handle)) return -1;
  return device_->Play(handle, flags);
}

void CSoundSystem::SetVolume(int handle, int volume) {
  if (ok_ && Playable(handle)) device_->SetVolume(handle, volume);
}

void CSoundSystem::SetPan(int handle, int pan) {
  if (ok_ && Playable(handle)) device_->SetPan(handle, pan);
}

#include "audio/sound_device.h"

#include <algorithm>

namespace {

bool ValidHandle(int handle) { return handle >= 0 && handle < CSoundDevice::kSlots; }

}  // namespace

CSoundDevice::CSoundDevice(void* window) { Init(window); }

CSoundDevice::~CSoundDevice() {
  // Voices go before the output that plays them.
  for (auto& slot : slots_) slot.reset();
  output_.reset();
}

void CSoundDevice::Init(void* /*window*/) {
  ClearCallbacks();
  for (auto& slot : slots_) slot.reset();
  output_.reset();
  usedCount_ = 0;
  sixteenBit_ = stereo_ = hardware_ = false;
  hardwareMixing_ = primaryBufferBytes_ = 0;
  ok_ = false;

  output_ = platform::sound::OpenOutput();
  if (!output_) return;
  const platform::sound::OutputCaps caps = output_->Caps();
  sixteenBit_ = caps.primary16Bit;
  stereo_ = caps.primaryStereo;
  hardware_ = !caps.emulated;
  hardwareMixing_ = caps.maxHardwareMixing;
  if (SetPrimaryFormat(stereo_, sixteenBit_, 44100) != 0) {
    output_.reset();
    return;
  }
  ok_ = true;
}

int CSoundDevice::SetPrimaryFormat(bool stereo, bool sixteenBits, int rate) {
  if (!output_) return 1;
  const platform::sound::PcmFormat format{stereo ? 2 : 1, rate, sixteenBits ? 16 : 8};
  if (!output_->SetPrimaryFormat(format)) return 1;
  primaryBufferBytes_ = output_->PrimaryBufferBytes();
  return 0;
}

int CSoundDevice::FindFreeSlot() {
  for (int i = 0; i < kSlots; ++i) {
    if (!slots_[static_cast<std::size_t>(i)]) {
      if (i >= usedCount_) ++usedCount_;
      return i;
    }
  }
  return -1;
}

CSoundBuffer* CSoundDevice::Slot(int handle) const {
  return ValidHandle(handle) ? slots_[static_cast<std::size_t>(handle)].get() : nullptr;
}

int CSoundDevice::LoadWave(std::string_view path, platform::sound::SoundOutput* output) {
  const int slot = FindFreeSlot();
  if (slot < 0) return -1;
  auto sound = std::make_unique<CSoundBuffer>(ok_);
  if (!sound->Load(path, output)) return -1;
  slots_[static_cast<std::size_t>(slot)] = std::move(sound);
  return slot;
}

int CSoundDevice::Play(int handle, int flags) {
  CSoundBuffer* sound = Slot(handle);
  if (!ok_ || !sound) return ValidHandle(handle) || handle == -1 ? handle : -1;
  if (!(flags & kPlayOverlap)) {
    sound->Play(flags);
    return handle;
  }
  int last = handle;
  for (int at = handle; at >= 0;) {
    CSoundBuffer* link = Slot(at);
    if (!link) break;
    if (!link->IsPlaying()) {
      link->Play(flags);
      return at;
    }
    last = at;
    at = link->nextDuplicate;
  }
  const int slot = FindFreeSlot();
  if (slot < 0) return -1;
  CSoundBuffer* tail = Slot(last);
  std::unique_ptr<CSoundBuffer> copy = tail->Duplicate(output_.get());
  if (!copy) return -1;
  copy->nextDuplicate = -1;
  tail->nextDuplicate = slot;
  CSoundBuffer& played = *copy;
  slots_[static_cast<std::size_t>(slot)] = std::move(copy);
  played.Play(flags);
  return slot;
}

int CSoundDevice::VolumeToHundredthsDb(int volume) { return (std::clamp(volume, 0, 255) * 4000 - 1020000) / 256; }

int CSoundDevice::PanToHundredthsDb(int pan) { return std::clamp(pan, -128, 128) * 4000 / 128; }

void CSoundDevice::SetVolume(int handle, int volume) {
  CSoundBuffer* sound = Slot(handle);
  if (!ok_ || !sound) return;
  const int v = std::clamp(volume, 0, 255);
  sound->SetVolume(v, VolumeToHundredthsDb(v));
}

void CSoundDevice::SetPan(int handle, int pan) {
  CSoundBuffer* sound = Slot(handle);
  if (!ok_ || !sound) return;
  const int p = std::clamp(pan, -128, 128);
  sound->SetPan(p, PanToHundredthsDb(p));
}

void CSoundDevice::ClearCallbacks() { callbacks_.fill(StreamCallbackSlot{}); }

int CSoundDevice::AddCallback(std::uint32_t argument, StreamCallbackSlot::Function function, void* object) {
  for (int i = 0; i < kCallbackSlots; ++i) {
    StreamCallbackSlot& slot = callbacks_[static_cast<std::size_t>(i)];
    if (slot.function == nullptr && slot.argument == 0) {
      slot = StreamCallbackSlot{function, argument, object};
      return i;
    }
  }
  return -1;
}

void CSoundDevice::RemoveCallback(int index) {
  if (index < 0 || index >= kCallbackSlots) return;
  callbacks_[static_cast<std::size_t>(index)].function = nullptr;
  callbacks_[static_cast<std::size_t>(index)].argument = 0;
}

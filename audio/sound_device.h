#pragma once
// The sound device: the output, its primary format, up to 256 loaded sounds
// (a handle is a slot 0..255, -1 none) and the music player's 20
// stream-callback slots.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "audio/sound_buffer.h"
#include "platform/sound/sound_output.h"

struct StreamCallbackSlot {
  using Function = void (*)(void* object, std::uint32_t argument);
  Function function = nullptr;
  std::uint32_t argument = 0;
  void* object = nullptr;
};

class CSoundDevice {
 public:
  static constexpr int kSlots = 256;
  static constexpr int kCallbackSlots = 20;
  static constexpr int kPlayLoop = 1;
  static constexpr int kPlayOverlap = 2;

  // The window the original bound its output to; the output here is the machine's.
  explicit CSoundDevice(void* window);
  ~CSoundDevice();
  CSoundDevice(const CSoundDevice&) = delete;
  CSoundDevice& operator=(const CSoundDevice&) = delete;

  void Init(void* window);
  // 0 on success, non-zero when the output refuses the format.
  int SetPrimaryFormat(bool stereo, bool sixteenBits, int rate);
  int FindFreeSlot();
  int LoadWave(std::string_view path, platform::sound::SoundOutput* output);
  int Play(int handle, int flags);
  void SetVolume(int handle, int volume);
  void SetPan(int handle, int pan);

  void ClearCallbacks();
  int AddCallback(std::uint32_t argument, StreamCallbackSlot::Function function, void* object);
  void RemoveCallback(int index);
  const StreamCallbackSlot& Callback(int index) const { return callbacks_[static_cast<std::size_t>(index)]; }

  bool ok() const { return ok_; }
  platform::sound::SoundOutput* output() const { return output_.get(); }
  CSoundBuffer* Slot(int handle) const;
  int usedCount() const { return usedCount_; }
  bool sixteenBit() const { return sixteenBit_; }
  bool stereo() const { return stereo_; }
  bool hardware() const { return hardware_; }
  int hardwareMixing() const { return hardwareMixing_; }
  int primaryBufferBytes() const { return primaryBufferBytes_; }

  // DirectSound-style levels: volume 0..255 in hundredths of a decibel, pan -128..128.
  static int VolumeToHundredthsDb(int volume);
  static int PanToHundredthsDb(int pan);

 private:
  std::unique_ptr<platform::sound::SoundOutput> output_;
  std::array<std::unique_ptr<CSoundBuffer>, kSlots> slots_;
  std::array<StreamCallbackSlot, kCallbackSlots> callbacks_{};
  int usedCount_ = 0;
  bool sixteenBit_ = false;
  bool stereo_ = false;
  bool hardware_ = false;
  int hardwareMixing_ = 0;
  int primaryBufferBytes_ = 0;
  bool ok_ = false;
};

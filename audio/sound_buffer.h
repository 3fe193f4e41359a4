#pragma once
// One loaded sound: its voice on the output, the format it was read with,
// and the slot of the next copy made to let it overlap itself.
#include <memory>
#include <string>
#include <string_view>

#include "audio/wave_file.h"
#include "platform/sound/sound_output.h"

class CSoundBuffer {
 public:
  static constexpr std::size_t kMaxName = 259;

  explicit CSoundBuffer(bool deviceOk);

  // 1 when the file was read and its voice made, else 0 (nothing kept).
  int Load(std::string_view path, platform::sound::SoundOutput* output);
  void Release();
  int IsPlaying() const;
  // A copy on the same samples, marked as a duplicate; null when the output cannot make one.
  std::unique_ptr<CSoundBuffer> Duplicate(platform::sound::SoundOutput* output) const;
  // 0 on success, non-zero when the output refused.
  int Play(int flags);
  void SetVolume(int volume, int hundredthsDb);
  void SetPan(int pan, int hundredthsDb);

  int nextDuplicate = -1;
  int sampleRate = 0;
  std::shared_ptr<const WaveFormat> format;  // shared with duplicates
  int pan = 0;
  int volume = 255;
  int lastFlags = 0;
  bool deviceOk = false;
  bool isDuplicate = false;
  std::string fileName;

 private:
  std::unique_ptr<platform::sound::SoundVoice> voice_;
};

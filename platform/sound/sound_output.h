#pragma once
// The machine's sound output, in the shape the sound code expects of it: a
// device that may fail to open, a primary format, and voices (one loaded
// sound each) of 8/16-bit mono/stereo PCM at any rate. Duplicated voices share
// their samples. Volume and pan are in hundredths of a decibel. Output goes
// through OpenAL Soft; a loopback output renders on demand, for tests that
// check what would be heard.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace platform::sound {

struct PcmFormat {
  int channels = 1;
  int samplesPerSecond = 22050;
  int bitsPerSample = 16;
  int BlockAlign() const { return channels * (bitsPerSample / 8); }
};

struct OutputCaps {
  bool primary16Bit = false;
  bool primaryStereo = false;
  bool emulated = false;  // mixed in software
  int maxHardwareMixing = 0;
};

inline constexpr int kMinVolume = -10000;  // silence
inline constexpr int kMaxPan = 10000;

class SoundOutput;
struct SharedSamples;

class SoundVoice {
 public:
  ~SoundVoice();
  SoundVoice(const SoundVoice&) = delete;
  SoundVoice& operator=(const SoundVoice&) = delete;

  // From the start (a stopped voice) or where it is (a playing one, restarted by Rewind first).
  bool Play(bool loop);
  void Stop();
  bool Rewind();
  bool IsPlaying() const;
  // Hundredths of a decibel: kMinVolume..0 and -kMaxPan (left only)..kMaxPan (right only).
  bool SetVolume(int hundredthsDb);
  bool SetPan(int hundredthsDb);
  int volume() const { return volume_; }
  int pan() const { return pan_; }
  const PcmFormat& format() const;

 private:
  friend class SoundOutput;
  SoundVoice(SoundOutput& output, std::shared_ptr<SharedSamples> samples, const unsigned* sources);
  void ApplyGains();
  int SourceCount() const;

  SoundOutput& output_;
  std::shared_ptr<SharedSamples> samples_;
  // A mono voice plays through two sources held hard left and hard right, so
  // that pan sets each side's level exactly; a stereo voice through one.
  unsigned sources_[2] = {0, 0};
  int volume_ = 0;
  int pan_ = 0;
};

class SoundOutput {
 public:
  // The default output device; null when the machine has none that opens.
  static std::unique_ptr<SoundOutput> Open();
  // An output that plays only when Render is called, at this mixing rate.
  static std::unique_ptr<SoundOutput> OpenLoopback(int rate);

  ~SoundOutput();
  SoundOutput(const SoundOutput&) = delete;
  SoundOutput& operator=(const SoundOutput&) = delete;

  OutputCaps Caps() const;
  bool SetPrimaryFormat(const PcmFormat& format);
  const PcmFormat& PrimaryFormat() const { return primary_; }
  // Bytes of the primary format mixed in one update of the output.
  int PrimaryBufferBytes() const;

  // Null when the format is not PCM the output takes or the samples are not whole frames.
  std::unique_ptr<SoundVoice> CreateVoice(const PcmFormat& format, std::span<const std::uint8_t> samples);
  std::unique_ptr<SoundVoice> Duplicate(const SoundVoice& voice);

  // Loopback only: mixes the next frames as interleaved stereo floats (left, right).
  void Render(std::span<float> stereo);
  bool IsLoopback() const { return loopback_; }

  // Makes this output's context the one the following calls use.
  void Select() const;

 private:
  SoundOutput() = default;
  std::unique_ptr<SoundVoice> MakeVoice(std::shared_ptr<SharedSamples> samples);
  bool Start(bool loopback, int rate);

  void* device_ = nullptr;
  void* context_ = nullptr;
  bool loopback_ = false;
  PcmFormat primary_{2, 44100, 16};
};

// Replaces how the sound device opens its output (a test's loopback, or none); null restores the default.
using OutputFactory = std::function<std::unique_ptr<SoundOutput>()>;
void SetOutputFactory(OutputFactory factory);
std::unique_ptr<SoundOutput> OpenOutput();

}  // namespace platform::sound

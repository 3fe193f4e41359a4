#include "platform/sound/sound_output.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform::sound {

struct SharedSamples {
  ALuint buffer = 0;
  PcmFormat format;
  SoundOutput* output = nullptr;
  ~SharedSamples() {
    if (buffer) {
      output->Select();
      alDeleteBuffers(1, &buffer);
    }
  }
};

namespace {

OutputFactory& Factory() {
  static OutputFactory factory;
  return factory;
}

ALenum AlFormat(const PcmFormat& f) {
  if (f.channels == 1 && f.bitsPerSample == 8) return AL_FORMAT_MONO8;
  if (f.channels == 1 && f.bitsPerSample == 16) return AL_FORMAT_MONO16;
  if (f.channels == 2 && f.bitsPerSample == 8) return AL_FORMAT_STEREO8;
  if (f.channels == 2 && f.bitsPerSample == 16) return AL_FORMAT_STEREO16;
  return 0;
}

constexpr ALCint kMonoSources = 1024;
constexpr ALCint kStereoSources = 16;

double DbGain(int hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }

}  // namespace

void SetOutputFactory(OutputFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<SoundOutput> OpenOutput() {
  if (Factory()) return Factory()();
  return SoundOutput::Open();
}

std::unique_ptr<SoundOutput> SoundOutput::Open() {
  std::unique_ptr<SoundOutput> output(new SoundOutput());
  if (!output->Start(false, 0)) return nullptr;
  return output;
}

std::unique_ptr<SoundOutput> SoundOutput::OpenLoopback(int rate) {
  std::unique_ptr<SoundOutput> output(new SoundOutput());
  if (!output->Start(true, rate)) return nullptr;
  return output;
}

bool SoundOutput::Start(bool loopback, int rate) {
  loopback_ = loopback;
  ALCdevice* device = nullptr;
  if (loopback) {
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return false;
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    if (!open) return false;
    device = open(nullptr);
  } else {
    device = alcOpenDevice(nullptr);
  }
  if (!device) return false;
  device_ = device;
  // Plain stereo output: no head-related filtering, so pan is a level difference only.
  // Sources for every slot's voice and its copies, two to a mono voice.
  const ALCint loopbackAttrs[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                  ALC_FREQUENCY, rate, ALC_HRTF_SOFT, ALC_FALSE,
                                  ALC_MONO_SOURCES, kMonoSources, ALC_STEREO_SOURCES, kStereoSources, 0};
  const ALCint deviceAttrs[] = {ALC_HRTF_SOFT, ALC_FALSE, ALC_MONO_SOURCES, kMonoSources,
                                ALC_STEREO_SOURCES, kStereoSources, 0};
  ALCcontext* context = alcCreateContext(device, loopback ? loopbackAttrs : deviceAttrs);
  if (!context) return false;
  context_ = context;
  Select();
  alDistanceModel(AL_NONE);
  return alGetError() == AL_NO_ERROR;
}

SoundOutput::~SoundOutput() {
  if (context_) {
    if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context_));
  }
  if (device_) alcCloseDevice(static_cast<ALCdevice*>(device_));
}

void SoundOutput::Select() const {
  if (alcGetCurrentContext() != context_) alcMakeContextCurrent(static_cast<ALCcontext*>(context_));
}

OutputCaps SoundOutput::Caps() const {
  OutputCaps caps;
  caps.primary16Bit = true;
  caps.primaryStereo = true;
  caps.emulated = false;
  ALCint mono = 0;
  alcGetIntegerv(static_cast<ALCdevice*>(device_), ALC_MONO_SOURCES, 1, &mono);
  caps.maxHardwareMixing = mono;
  return caps;
}

bool SoundOutput::SetPrimaryFormat(const PcmFormat& format) {
  if (!AlFormat(format) || format.samplesPerSecond <= 0) return false;
  primary_ = format;
  return true;
}

int SoundOutput::PrimaryBufferBytes() const {
  ALCint refresh = 0;
  alcGetIntegerv(static_cast<ALCdevice*>(device_), ALC_REFRESH, 1, &refresh);
  // A loopback output mixes whatever it is asked for; take the usual 50 updates a second.
  if (refresh <= 0) refresh = 50;
  const long frames = static_cast<long>(primary_.samplesPerSecond) / refresh;
  return static_cast<int>(frames * primary_.BlockAlign());
}

std::unique_ptr<SoundVoice> SoundOutput::CreateVoice(const PcmFormat& format, std::span<const std::uint8_t> samples) {
  const ALenum alFormat = AlFormat(format);
  if (!alFormat || format.samplesPerSecond <= 0 || samples.size() % static_cast<std::size_t>(format.BlockAlign()) != 0 ||
      samples.size() > 0x7fffffffu) {
    return nullptr;
  }
  Select();
  alGetError();
  auto shared = std::make_shared<SharedSamples>();
  shared->output = this;
  shared->format = format;
  alGenBuffers(1, &shared->buffer);
  if (alGetError() != AL_NO_ERROR) {
    shared->buffer = 0;
    return nullptr;
  }
  alBufferData(shared->buffer, alFormat, samples.data(), static_cast<ALsizei>(samples.size()), format.samplesPerSecond);
  if (alGetError() != AL_NO_ERROR) return nullptr;
  return MakeVoice(std::move(shared));
}

std::unique_ptr<SoundVoice> SoundOutput::MakeVoice(std::shared_ptr<SharedSamples> samples) {
  Select();
  alGetError();
  ALuint sources[2] = {0, 0};
  alGenSources(samples->format.channels == 1 ? 2 : 1, sources);
  if (alGetError() != AL_NO_ERROR) return nullptr;
  return std::unique_ptr<SoundVoice>(new SoundVoice(*this, std::move(samples), sources));
}

std::unique_ptr<SoundVoice> SoundOutput::Duplicate(const SoundVoice& voice) {
  std::unique_ptr<SoundVoice> copy = MakeVoice(voice.samples_);
  if (!copy) return nullptr;
  copy->SetVolume(voice.volume());
  copy->SetPan(voice.pan());
  return copy;
}

void SoundOutput::Render(std::span<float> stereo) {
  if (!loopback_) return;
  static const auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  Select();
  render(static_cast<ALCdevice*>(device_), stereo.data(), static_cast<ALCsizei>(stereo.size() / 2));
}

// ---------------------------------------------------------------------------

SoundVoice::SoundVoice(SoundOutput& output, std::shared_ptr<SharedSamples> samples, const unsigned* sources)
    : output_(output), samples_(std::move(samples)) {
  output_.Select();
  for (int i = 0; i < SourceCount(); ++i) {
    sources_[i] = sources[i];
    alSourcei(sources_[i], AL_BUFFER, static_cast<ALint>(samples_->buffer));
    alSourcei(sources_[i], AL_SOURCE_RELATIVE, AL_TRUE);
  }
  if (SourceCount() == 2) {
    alSource3f(sources_[0], AL_POSITION, -1.0f, 0.0f, 0.0f);
    alSource3f(sources_[1], AL_POSITION, 1.0f, 0.0f, 0.0f);
  } else {
    alSource3f(sources_[0], AL_POSITION, 0.0f, 0.0f, -1.0f);
    alSourcei(sources_[0], AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
  }
  ApplyGains();
}

SoundVoice::~SoundVoice() {
  output_.Select();
  alSourceStopv(SourceCount(), sources_);
  for (int i = 0; i < SourceCount(); ++i) alSourcei(sources_[i], AL_BUFFER, 0);
  alDeleteSources(SourceCount(), sources_);
}

int SoundVoice::SourceCount() const { return samples_->format.channels == 1 ? 2 : 1; }

const PcmFormat& SoundVoice::format() const { return samples_->format; }

bool SoundVoice::Play(bool loop) {
  output_.Select();
  alGetError();
  for (int i = 0; i < SourceCount(); ++i) alSourcei(sources_[i], AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
  // Both sides start in the same mixing update.
  if (!IsPlaying()) alSourcePlayv(SourceCount(), sources_);
  return alGetError() == AL_NO_ERROR;
}

void SoundVoice::Stop() {
  output_.Select();
  alSourceStopv(SourceCount(), sources_);
}

bool SoundVoice::Rewind() {
  output_.Select();
  alGetError();
  if (IsPlaying()) {
    for (int i = 0; i < SourceCount(); ++i) alSourcei(sources_[i], AL_SAMPLE_OFFSET, 0);
  } else {
    alSourceRewindv(SourceCount(), sources_);
  }
  return alGetError() == AL_NO_ERROR;
}

bool SoundVoice::IsPlaying() const {
  output_.Select();
  ALint state = 0;
  alGetSourcei(sources_[0], AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

bool SoundVoice::SetVolume(int hundredthsDb) {
  volume_ = std::clamp(hundredthsDb, kMinVolume, 0);
  ApplyGains();
  return true;
}

bool SoundVoice::SetPan(int hundredthsDb) {
  pan_ = std::clamp(hundredthsDb, -kMaxPan, kMaxPan);
  ApplyGains();
  return true;
}

// Pan attenuates the far side by its amount and leaves the near side at the
// voice's volume. Stereo sounds play their channels as recorded.
void SoundVoice::ApplyGains() {
  output_.Select();
  const double volume = volume_ <= kMinVolume ? 0.0 : DbGain(volume_);
  if (SourceCount() == 1) {
    alSourcef(sources_[0], AL_GAIN, static_cast<ALfloat>(volume));
    return;
  }
  const double left = pan_ > 0 ? DbGain(-pan_) : 1.0;
  const double right = pan_ < 0 ? DbGain(pan_) : 1.0;
  alSourcef(sources_[0], AL_GAIN, static_cast<ALfloat>(volume * (pan_ >= kMaxPan ? 0.0 : left)));
  alSourcef(sources_[1], AL_GAIN, static_cast<ALfloat>(volume * (pan_ <= -kMaxPan ? 0.0 : right)));
}

}  // namespace platform::sound

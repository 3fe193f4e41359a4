#include "audio/sound_buffer.h"

#include <vector>

CSoundBuffer::CSoundBuffer(bool ok) : deviceOk(ok) {}

int CSoundBuffer::Load(std::string_view path, platform::sound::SoundOutput* output) {
  Release();
  fileName.assign(path.substr(0, kMaxName));
  WaveFormat read;
  std::vector<std::uint8_t> data;
  if (ReadWaveFile(path, read, data) != kWaveOk || !output) return 0;
  const platform::sound::PcmFormat pcm{read.channels, static_cast<int>(read.samplesPerSecond), read.bitsPerSample};
  voice_ = output->CreateVoice(pcm, data);
  if (!voice_) return 0;
  format = std::make_shared<const WaveFormat>(read);
  sampleRate = static_cast<int>(read.samplesPerSecond);
  return 1;
}

void CSoundBuffer::Release() {
  voice_.reset();
  format.reset();
}

int CSoundBuffer::IsPlaying() const {
  if (!deviceOk || !voice_) return 0;
  return voice_->IsPlaying() ? 1 : 0;
}

std::unique_ptr<CSoundBuffer> CSoundBuffer::Duplicate(platform::sound::SoundOutput* output) const {
  if (!output || !voice_) return nullptr;
  auto copy = std::make_unique<CSoundBuffer>(deviceOk);
  copy->voice_ = output->Duplicate(*voice_);
  if (!copy->voice_) return nullptr;
  copy->nextDuplicate = nextDuplicate;
  copy->sampleRate = sampleRate;
  copy->format = format;
  copy->pan = pan;
  copy->volume = volume;
  copy->lastFlags = lastFlags;
  copy->fileName = fileName;
  copy->isDuplicate = true;
  return copy;
}

int CSoundBuffer::Play(int flags) {
  if (!deviceOk || !voice_) return 0;
  if (!voice_->Rewind()) return 1;
  lastFlags = flags;
  return voice_->Play((flags & 1) != 0) ? 0 : 1;
}

void CSoundBuffer::SetVolume(int v, int hundredthsDb) {
  volume = v;
  if (deviceOk && voice_) voice_->SetVolume(hundredthsDb);
}

void CSoundBuffer::SetPan(int p, int hundredthsDb) {
  pan = p;
  if (deviceOk && voice_) voice_->SetPan(hundredthsDb);
}

#include "audio/music_stream.h"

#include "audio/sound_device.h"

CMusicStream::CMusicStream() { Reset(); }

CMusicStream::~CMusicStream() {
  // The device may be gone by now; only what the player owns is released.
  stream_buffer_.Release();
  source_.Close();
  CloseDecoder();
  FreeBuffers();
}

void CMusicStream::Reset() {
  playing_slot_ = -1;
  device_slot_ = -1;
  decoder_open_ = false;
  stopped_ = true;
}

int CMusicStream::Init(CSoundDevice* device) {
  device_ = device;
  if (!device_ || !AllocBuffers() || !OpenDecoder()) {
    Shutdown();
    return 0;
  }
  device_slot_ = device_->AddCallback(0, &MusicStreamDeviceCallback, this);
  if (device_slot_ < 0) {  // every stream slot taken
    Shutdown();
    return 0;
  }
  return 1;
}

int CMusicStream::OpenDecoder() {
  if (decoder_) return 0;
  if (MpegDecoderNew(&decoder_) != 0) {
    decoder_ = nullptr;
    return 0;
  }
  MpegInputModuleMethods memory{};
  if (MemoryInputModuleGetMethods(&memory) != 0) return 0;
  if (MpegDecoderAddInputModule(decoder_, &memory) < 0) return 0;
  if (MpegDecoderInputNew(decoder_, nullptr, -1) != 0) return 0;
  if (MpegDecoderInputOpen(decoder_) != 0) return 0;
  decoder_open_ = true;
  return 1;
}

void CMusicStream::CloseDecoder() {
  if (decoder_) MpegDecoderDelete(decoder_);
  decoder_ = nullptr;
  decoder_open_ = false;
}

int CMusicStream::AllocBuffers() {
  input_buffer_.reset(std::malloc(kInputBufferBytes));
  frame_buffer_.reset(std::malloc(kFrameBufferBytes));
  return input_buffer_ && frame_buffer_ ? 1 : 0;
}

void CMusicStream::FreeBuffers() {
  input_buffer_.reset();
  frame_buffer_.reset();
}

void CMusicStream::Stop() {
  if (device_) {
    if (playing_slot_ >= 0) device_->RemoveCallback(playing_slot_);
    playing_slot_ = -1;
    stream_buffer_.Stop();
    stream_buffer_.Clear();
    stopped_ = true;
  }
  source_.Close();
}

void CMusicStream::Shutdown() {
  Stop();
  FreeBuffers();
  CloseDecoder();
  source_.Close();
  if (device_) {
    if (device_slot_ >= 0) device_->RemoveCallback(device_slot_);
    device_slot_ = -1;
    stream_buffer_.Release();
  }
}

void CMusicStream::DeviceCallback(void* object, std::uint32_t) {
  auto* player = static_cast<CMusicStream*>(object);
  if (!player) return;
  player->Shutdown();
  player->ForgetDevice();
}

void MusicStreamDeviceCallback(void* object, std::uint32_t argument) { CMusicStream::DeviceCallback(object, argument); }

CMusicStream& MusicStream() {
  static CMusicStream player;
  return player;
}

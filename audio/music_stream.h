#pragma once
// The music stream player. At start-up it is bound to the sound device, given
// its work buffers and a decoder whose input is a streaming memory buffer;
// nothing in the program feeds or plays it, so it stays prepared until exit.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "audio/mpeg_decoder.h"
#include "audio/stream_buffer.h"
#include "audio/stream_source.h"

class CSoundDevice;

class CMusicStream {
 public:
  static constexpr std::size_t kInputBufferBytes = 32768;
  static constexpr std::size_t kFrameBufferBytes = 4608;  // one frame of 1152 stereo 16-bit samples

  CMusicStream();
  ~CMusicStream();
  CMusicStream(const CMusicStream&) = delete;
  CMusicStream& operator=(const CMusicStream&) = delete;

  // 1 when prepared; 0 after shutting down again (no device, or a step failed).
  int Init(CSoundDevice* device);
  int OpenDecoder();
  void CloseDecoder();
  int AllocBuffers();
  void FreeBuffers();
  void Stop();
  void Shutdown();
  void Reset();

  CSoundDevice* device() const { return device_; }
  CMpegDecoder* decoder() const { return decoder_; }
  bool decoderOpen() const { return decoder_open_; }
  bool stopped() const { return stopped_; }
  int playingSlot() const { return playing_slot_; }
  int deviceSlot() const { return device_slot_; }
  const void* inputBuffer() const { return input_buffer_.get(); }
  const void* frameBuffer() const { return frame_buffer_.get(); }
  CStreamSource& source() { return source_; }
  CStreamBuffer& streamBuffer() { return stream_buffer_; }

  // The device's stream callback: shuts the player down and forgets the device.
  static void DeviceCallback(void* object, std::uint32_t argument);
  void ForgetDevice() { device_ = nullptr; }

 private:
  struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
  };

  CSoundDevice* device_ = nullptr;
  CStreamSource source_;
  CStreamBuffer stream_buffer_;
  CMpegDecoder* decoder_ = nullptr;
  std::unique_ptr<void, FreeDeleter> input_buffer_;
  std::unique_ptr<void, FreeDeleter> frame_buffer_;
  bool decoder_open_ = false;
  bool stopped_ = true;
  int playing_slot_ = -1;
  int device_slot_ = -1;
};

void MusicStreamDeviceCallback(void* object, std::uint32_t argument);

// The program's one music player.
CMusicStream& MusicStream();

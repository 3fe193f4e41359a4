#include "audio/memory_input_module.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

bool ScanStatic(const char* name, unsigned long& size, unsigned long& address) {
  return name && std::sscanf(name, "%lx@%lx", &size, &address) == 2;
}

}  // namespace

void CMemoryInputModule::GetMethods(MpegInputModuleMethods& m) {
  m = MpegInputModuleMethods{&Probe, &Info, &Create, &Destroy, &Open, &Close,
                             &Read,  &Seek, &IsSeekable, &GetSize, nullptr};
}

CMemoryInputModule* CMemoryInputModule::FromMethods(const MpegInputModuleMethods& methods, void* instance) {
  if (methods.read != &Read || !instance) return nullptr;
  return static_cast<CMemoryInputModule*>(instance);
}

int CMemoryInputModule::Probe(const char* name) {
  unsigned long size = 0, address = 0;
  if (!name || !*name || ScanStatic(name, size, address)) return 0;
  return -1;
}

int CMemoryInputModule::Info(void* instance, MpegModuleInfo* info) {
  if (!info) return kMpegBadArgument;
  info->name = "Input From Memory";
  info->version = "Version 1.0";
  info->device = nullptr;
  if (auto* self = static_cast<CMemoryInputModule*>(instance)) {
    info->device = self->kind_ == Kind::kStatic ? "static buffer" : "streaming buffer";
  }
  return 0;
}

int CMemoryInputModule::Create(void** instance, const char* name) {
  if (!instance) return kMpegBadArgument;
  *instance = nullptr;
  auto* self = new (std::nothrow) CMemoryInputModule;
  if (!self) return kMpegOutOfMemory;
  if (name && *name) {
    unsigned long size = 0, address = 0;
    // A static buffer must be somewhere and hold something.
    if (!ScanStatic(name, size, address) || size == 0 || address == 0) {
      delete self;
      return kMpegBadState;
    }
    self->kind_ = Kind::kStatic;
    self->size_ = size;
    self->address_ = reinterpret_cast<const std::uint8_t*>(address);
  } else {
    try {
      self->ring_.assign(kRingBytes, 0);
    } catch (const std::bad_alloc&) {
      delete self;
      return kMpegOutOfMemory;
    }
  }
  *instance = self;
  return 0;
}

int CMemoryInputModule::Destroy(void* instance) {
  delete static_cast<CMemoryInputModule*>(instance);
  return 0;
}

int CMemoryInputModule::Open(void* instance) {
  auto* self = static_cast<CMemoryInputModule*>(instance);
  if (!self) return kMpegBadArgument;
  if (self->kind_ == Kind::kStreaming) self->Flush();
  return 0;
}

int CMemoryInputModule::Close(void*) { return 0; }

std::size_t CMemoryInputModule::Held() const { return (write_ + kRingBytes - read_) % kRingBytes; }

int CMemoryInputModule::Write(const std::uint8_t* bytes, std::size_t length) {
  const std::size_t room = kRingBytes - 1 - Held();
  const std::size_t count = length < room ? length : room;
  for (std::size_t i = 0; i < count; ++i) {
    ring_[write_] = bytes[i];
    write_ = (write_ + 1) % kRingBytes;
  }
  return static_cast<int>(count);
}

int CMemoryInputModule::Read(void* instance, void* buffer, int length) {
  auto* self = static_cast<CMemoryInputModule*>(instance);
  if (!self || length < 0 || (!buffer && length > 0)) return kMpegBadArgument;
  const auto count = static_cast<std::size_t>(length);
  auto* out = static_cast<std::uint8_t*>(buffer);
  if (self->kind_ == Kind::kStatic) {
    if (count > self->size_ - self->position_) return kMpegEndOfInput;
    std::memcpy(out, self->address_ + self->position_, count);
    self->position_ += count;
    return length;
  }
  if (self->Held() < count) return kMpegNotEnoughData;
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = self->ring_[self->read_];
    self->read_ = (self->read_ + 1) % kRingBytes;
  }
  return length;
}

int CMemoryInputModule::Seek(void* instance, long position) {
  auto* self = static_cast<CMemoryInputModule*>(instance);
  if (!self) return kMpegBadArgument;
  if (self->kind_ == Kind::kStreaming) return kMpegBadState;
  if (position < 0 || static_cast<unsigned long>(position) >= self->size_) return kMpegBadArgument;
  self->position_ = static_cast<std::size_t>(position);
  return 0;
}

int CMemoryInputModule::IsSeekable(void* instance) {
  auto* self = static_cast<CMemoryInputModule*>(instance);
  return self && self->kind_ == Kind::kStatic ? 1 : 0;
}

long CMemoryInputModule::GetSize(void* instance) {
  auto* self = static_cast<CMemoryInputModule*>(instance);
  return self && self->kind_ == Kind::kStatic ? static_cast<long>(self->size_) : 0;
}

int MemoryInputModuleGetMethods(MpegInputModuleMethods* methods) {
  if (!methods) return kMpegBadArgument;
  CMemoryInputModule::GetMethods(*methods);
  return 0;
}

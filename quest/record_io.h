#pragma once
// Little-endian fields of the quest's record stream over platform::File.
// A read that runs short throws platform::FileException (end of file), so a
// record is never taken from bytes the file does not hold.
#include <cstddef>
#include <cstdint>

#include "platform/core/file.h"

void WriteU32(platform::File& file, std::uint32_t value);
void WriteI32(platform::File& file, std::int32_t value);
std::uint32_t ReadU32(platform::File& file);
std::int32_t ReadI32(platform::File& file);

// n raw bytes of a fixed text field, as stored.
void WriteRawField(platform::File& file, const char* field, std::size_t n);
// n raw bytes into a field of n bytes; the last byte is made a zero so the
// text always ends inside the field.
void ReadRawField(platform::File& file, char* field, std::size_t n);

template <std::size_t N>
void WriteRawField(platform::File& file, const char (&field)[N]) {
  WriteRawField(file, field, N);
}
template <std::size_t N>
void ReadRawField(platform::File& file, char (&field)[N]) {
  ReadRawField(file, field, N);
}

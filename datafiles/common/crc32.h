#pragma once
#include <cstddef>
#include <cstdint>

// Reflected CRC-32 (polynomial 0xEDB88320) continued from start, with no final
// inversion: the archives store exactly this value. A null buffer or a length
// of 0 gives 0, whatever the start.
std::uint32_t Crc32Update(const void* buffer, std::size_t length, std::uint32_t start);

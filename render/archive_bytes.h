#pragma once
// A whole file read through the archive layer, for the readers that parse
// a file's bytes in one go.
#include <cstdint>
#include <vector>

// False when the file exists neither loose nor in an archive.
bool ReadArchiveFile(const char* path, std::vector<std::uint8_t>& out);

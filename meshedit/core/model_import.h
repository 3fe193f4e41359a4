#pragma once
// What the three model importers share, and their readers over bytes already
// in memory (the Import functions of CShape read the file, then call these).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "meshedit/core/side.h"

namespace pavix {

class CShape;

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadModelFile(std::string_view path);

// Imported sides carry no mapping: corner 0 (0, 0), corner 1 (0.0005, 0),
// corner 2 (0, 0.0005), corner 3 (0, 0), flags 3.
CSide PlaceholderSide(std::uint32_t a, std::uint32_t b, std::uint32_t c);

// Each replaces the mesh's vertices, sides and nodes with the model and
// rebuilds. A malformed file keeps what was read before the fault.
// The ASC reader refuses (false, mesh unchanged) counts the text cannot hold.
bool ReadAscText(std::string_view text, CShape& shape);
void Read3dsBytes(std::span<const std::uint8_t> bytes, CShape& shape);
void ReadDxfText(std::string_view text, CShape& shape);

}  // namespace pavix

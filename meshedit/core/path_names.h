#pragma once
// Path helpers of the mesh editor's file layer.
#include <string>
#include <string_view>

namespace pavix {

// The path with its extension replaced ("a\b.txt", ".O3D" -> "a\b.O3D"); a
// path without extension gets one.
std::string ReplaceExtension(std::string_view path, std::string_view extension);
// The file name without folder and extension.
std::string GetBaseName(std::string_view path);

}  // namespace pavix

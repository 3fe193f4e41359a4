#include "meshedit/core/model_import.h"

#include "platform/core/file.h"

namespace pavix {

std::optional<std::string> ReadModelFile(std::string_view path) {
  try {
    return platform::ReadWholeFile(path);
  } catch (const platform::FileException&) {
    return std::nullopt;
  }
}

CSide PlaceholderSide(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  CSide s;
  s.index[0] = a;
  s.index[1] = b;
  s.index[2] = c;
  s.index[3] = c;
  s.uv[0] = {0, 0};
  s.uv[1] = {0.0005f, 0};
  s.uv[2] = {0, 0.0005f};
  s.uv[3] = {0, 0};
  s.flags = 3;
  return s;
}

}  // namespace pavix

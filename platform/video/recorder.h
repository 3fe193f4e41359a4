#pragma once
// Records what reaches the display and 3D device, so tests can look at the
// device boundary: one text line per call, and every primitive drawn with
// its vertices and the render states it was drawn with.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/video/render_state.h"
#include "platform/video/tl_vertex.h"

namespace platform::video {

struct RecordedPrimitive {
  PrimitiveType type;
  std::vector<TLVertex> vertices;
  std::uint32_t flags;
  RenderStates states;
};

class Recorder {
 public:
  static bool Active();
  static void Log(std::string_view line);
  static void Primitive(PrimitiveType type, const TLVertex* v, int count, std::uint32_t flags,
                        const RenderStates& states);
  static const std::vector<std::string>& Lines();
  static const std::vector<RecordedPrimitive>& Primitives();
  // Lines that start with the prefix.
  static std::vector<std::string> LinesStartingWith(std::string_view prefix);
  static void Clear();

 private:
  friend class ScopedRecorder;
  static void SetActive(bool on);
};

// Records while it lives (starting empty).
class ScopedRecorder {
 public:
  ScopedRecorder();
  ~ScopedRecorder();
  ScopedRecorder(const ScopedRecorder&) = delete;
  ScopedRecorder& operator=(const ScopedRecorder&) = delete;
};

}  // namespace platform::video

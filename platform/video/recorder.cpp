#include "platform/video/recorder.h"

namespace platform::video {
namespace {
struct State {
  bool active = false;
  std::vector<std::string> lines;
  std::vector<RecordedPrimitive> primitives;
};
State& S() {
  static State s;
  return s;
}
}  // namespace

bool Recorder::Active() { return S().active; }

void Recorder::Log(std::string_view line) {
  if (S().active) S().lines.emplace_back(line);
}

void Recorder::Primitive(PrimitiveType type, const TLVertex* v, int count, std::uint32_t flags,
                         const RenderStates& states) {
  if (!S().active) return;
  S().primitives.push_back({type, std::vector<TLVertex>(v, v + (count > 0 ? count : 0)), flags, states});
}

const std::vector<std::string>& Recorder::Lines() { return S().lines; }
const std::vector<RecordedPrimitive>& Recorder::Primitives() { return S().primitives; }

std::vector<std::string> Recorder::LinesStartingWith(std::string_view prefix) {
  std::vector<std::string> out;
  for (const auto& l : S().lines)
    if (std::string_view(l).starts_with(prefix)) out.push_back(l);
  return out;
}

void Recorder::Clear() {
  S().lines.clear();
  S().primitives.clear();
}

void Recorder::SetActive(bool on) { S().active = on; }

ScopedRecorder::ScopedRecorder() {
  Recorder::Clear();
  Recorder::SetActive(true);
}
ScopedRecorder::~ScopedRecorder() {
  Recorder::SetActive(false);
  Recorder::Clear();
}

}  // namespace platform::video

#include "platform/video/faults.h"

#include <array>
#include <vector>

namespace platform::video {
namespace {

struct Rule {
  Call call;
  HResult result;
  int skip;
  int times;
  std::uint32_t capsAll;
};

struct State {
  std::vector<Rule> rules;
  std::array<int, static_cast<int>(Call::kCount)> counts{};
};

State& TheState() {
  static State s;
  return s;
}

constexpr const char* kNames[] = {
    "CreateDisplay",      "Query3D",          "EnumDevices",    "EnumDisplayModes", "SetCooperativeLevel",
    "SetDisplayMode",     "RestoreDisplayMode", "CreateSurface", "GetSurfaceDesc",   "CreateClipper",
    "ClipperSetWindow",   "SetClipper",       "GetAttachedSurface", "AddAttachedSurface", "CreateDevice",
    "EnumTextureFormats", "CreateViewport",   "AddViewport",    "SetCurrentViewport", "SetViewport",
    "ClearViewport",      "BeginScene",       "EndScene",       "SetRenderState",   "DrawPrimitive",
    "Lock",               "Unlock",           "Blt",            "Flip",             "Restore",
    "GetDC",              "ReleaseDC",        "SetColorKey",    "QueryTexture",     "TextureLoad",
    "TextureGetHandle",
    "SetTextureStageState",
    "SetTexture",
    "EnumerateDisplayDrivers",
};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == static_cast<int>(Call::kCount));

}  // namespace

const char* CallName(Call call) {
  int i = static_cast<int>(call);
  if (i < 0 || i >= static_cast<int>(Call::kCount)) return "?";
  return kNames[i];
}

void Faults::Fail(Call call, HResult result, int skip, int times, std::uint32_t capsAll) {
  TheState().rules.push_back({call, result, skip, times, capsAll});
}

void Faults::Clear() {
  TheState().rules.clear();
  TheState().counts.fill(0);
}

HResult Faults::Check(Call call, std::uint32_t caps) {
  State& s = TheState();
  ++s.counts[static_cast<int>(call)];
  for (auto it = s.rules.begin(); it != s.rules.end(); ++it) {
    if (it->call != call) continue;
    if (it->capsAll && (caps & it->capsAll) != it->capsAll) continue;
    if (it->skip > 0) {
      --it->skip;
      continue;
    }
    HResult r = it->result;
    if (it->times > 0 && --it->times == 0) s.rules.erase(it);
    return r;
  }
  return kOk;
}

int Faults::Count(Call call) { return TheState().counts[static_cast<int>(call)]; }

}  // namespace platform::video

#include "platform/core/trace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

struct TraceState {
  std::mutex mutex;
  std::vector<TraceCapture*> captures;
  std::FILE* log = nullptr;
  bool toStderr = false;
  TraceState() {
    const char* e = std::getenv("DEBUG_TRACE");
    toStderr = e && *e && *e != '0';
    if (const char* l = std::getenv("DEBUG_TRACE_LOG"); l && *l) log = std::fopen(l, "ab");
  }
  ~TraceState() {
    if (log) std::fclose(log);
  }
};

TraceState& State() {
  static TraceState s;
  return s;
}

}  // namespace

void TraceWrite(std::string_view text) {
  TraceState& s = State();
  std::lock_guard lock(s.mutex);
  for (TraceCapture* c : s.captures) c->lines_.emplace_back(text);
  if (s.log) {
    std::fwrite(text.data(), 1, text.size(), s.log);
    std::fflush(s.log);
  }
  if (s.toStderr) std::fwrite(text.data(), 1, text.size(), stderr);
}

void SetTraceLog(std::string nativePath) {
  TraceState& s = State();
  std::lock_guard lock(s.mutex);
  if (s.log) std::fclose(s.log);
  s.log = nativePath.empty() ? nullptr : std::fopen(nativePath.c_str(), "ab");
}

TraceCapture::TraceCapture() {
  std::lock_guard lock(State().mutex);
  State().captures.push_back(this);
}

TraceCapture::~TraceCapture() {
  std::lock_guard lock(State().mutex);
  auto& v = State().captures;
  v.erase(std::remove(v.begin(), v.end(), this), v.end());
}

std::vector<std::string> TraceCapture::lines() const {
  std::lock_guard lock(State().mutex);
  return lines_;
}

std::string TraceCapture::text() const {
  std::lock_guard lock(State().mutex);
  std::string all;
  for (const auto& l : lines_) all += l;
  return all;
}

bool TraceCapture::Contains(std::string_view fragment) const {
  return text().find(fragment) != std::string::npos;
}

void TraceCapture::Clear() {
  std::lock_guard lock(State().mutex);
  lines_.clear();
}

}  // namespace platform

#pragma once
// The diagnostic channel. Every line goes to the in-process captures (tests
// read them), to a log file when one is set, and to stderr when DEBUG_TRACE
// is set in the environment.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

void TraceWrite(std::string_view text);

// Log file for every trace (DEBUG_TRACE_LOG in the environment sets it too).
void SetTraceLog(std::string nativePath);

// Collects the traces written while it lives.
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::vector<std::string> lines() const;
  std::string text() const;  // all traces joined as written
  bool Contains(std::string_view fragment) const;
  void Clear();

 private:
  friend void TraceWrite(std::string_view);
  std::vector<std::string> lines_;
};

}  // namespace platform

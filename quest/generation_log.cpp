#include "quest/generation_log.h"

#include <cstdarg>
#include <cstdio>

std::string& GenerationLog() {
  static std::string log;
  return log;
}

void ClearGenerationLog() { GenerationLog().clear(); }

void LogGeneration(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (n > 0) {
    std::string& log = GenerationLog();
    const std::size_t at = log.size();
    log.resize(at + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(log.data() + at, static_cast<std::size_t>(n) + 1, format, again);
    log.resize(at + static_cast<std::size_t>(n));
  }
  va_end(again);
}

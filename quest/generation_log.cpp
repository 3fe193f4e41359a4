#include "quest/generation_log.h"

#include <cstdarg>

#include "quest/text_format.h"

std::string& GenerationLog() {
  static std::string log;
  return log;
}

void ClearGenerationLog() { GenerationLog().clear(); }

void LogGeneration(const char* format, ...) {
  va_list args;
  va_start(args, format);
  GenerationLog() += FormatTextV(format, args);
  va_end(args);
}

#include "datafiles/common/debug_trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/core/trace.h"

void DebugTrace(const char* format, ...) {
  char buffer[500];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return;
  platform::TraceWrite(std::string_view(buffer, std::strlen(buffer)));
}

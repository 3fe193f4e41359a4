#pragma once
// The one diagnostic channel of both programs: one formatted message a call,
// at most 499 characters (longer texts are cut). Callers end texts with "\n".
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

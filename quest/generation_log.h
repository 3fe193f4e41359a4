#pragma once
// The generation log: one text to which every check of Generate Quest and of
// the room export appends a line ending in CR LF. Generation is aborted,
// and nothing packed, when it holds anything at the end.
#include <string>

std::string& GenerationLog();
void ClearGenerationLog();
// Appends printf-style text (the caller gives the "\r\n").
void LogGeneration(const char* format, ...) __attribute__((format(printf, 1, 2)));

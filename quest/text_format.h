#pragma once
// printf-style formatting into a string of whatever length the text needs,
// for the document's messages, log lines and script lines.
#include <cstdarg>
#include <string>

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatTextV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

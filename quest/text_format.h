#pragma once
// printf-style formatting into a string of whatever length the text needs,
// for the document's messages, log lines and script lines.
#include <string>

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

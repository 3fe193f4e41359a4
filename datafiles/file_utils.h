#pragma once
// Small shared helpers: counted strings, whole-file copy, path rewriting,
// registry-style values, validity tests and text lines.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/core/file.h"

// u32 length without terminator, then the bytes and a zero; 0 alone for "".
void WriteCountedString(platform::File& file, std::string_view text);
// Reads one counted string. Throws platform::FileException (end of file)
// when the file ends inside it; a length beyond what remains is refused the same way.
std::string ReadCountedString(platform::File& file);
// Fixed-buffer form: the text is cut to capacity - 1 and always terminated;
// the whole stored string is consumed.
void ReadCountedString(platform::File& file, char* buffer, std::size_t capacity);

// Writes the text and, when newline is set, CR LF. Throws platform::FileException.
void WriteTextLine(platform::File& file, std::string_view text, bool newline);

// Copies a whole file with the program's message boxes on failure; false when
// nothing was copied for a fault. Without force an existing destination is
// kept (and counts as success). The destination is replaced only once the
// whole copy was written.
bool CopyWholeFile(const char* source, const char* destination, bool force);

// How a copy went: the side that failed, its file cause (0 when the fault is
// not a file error) and the message CopyWholeFile shows for it.
struct FileCopy {
  enum Side { kNone, kSource, kDestination };
  Side failed = kNone;
  unsigned cause = 0;
  std::string message;
  bool ok() const { return failed == kNone; }
};
// CopyWholeFile without the boxes, for callers that report many copies at once.
FileCopy CopyWholeFileQuietly(const char* source, const char* destination, bool force);

// The path without a leading "c:" and a following "\vrel\kzt\" (ignoring case);
// traces "CHANGING FILENAME %s %s\n" when it removed anything.
const char* StripDevPath(const char* path);
// The replacement followed by the rest of the path when it begins with prefix
// (ignoring case); else the path.
std::string ReplacePathPrefix(std::string_view path, std::string_view prefix, std::string_view replacement);
// The path after a whole leading "<program directory>\" (ignoring case), else the path.
const char* SkipProgramDirPrefix(const char* path);

// The program directory (the start directory).
const std::string& ProgramDirectory();

// A string value of the machine-wide store under a registry-style key path:
// 1 and the text copied (when buffer is given, up to 256 bytes) or 0.
int ReadRegistryString(const char* keyPath, const char* valueName, char* buffer /* 256 bytes */);

bool IsAlphanumeric(std::string_view text);
bool IsPcmMono44k(const char* path);

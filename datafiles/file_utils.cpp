#include "datafiles/file_utils.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "datafiles/common/debug_trace.h"
#include "datafiles/common/little_endian.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/services.h"

namespace {

constexpr std::size_t kRegistryBufferSize = 256;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return n < 0 ? std::string() : std::string(buffer);
}

void Box(const std::string& text) { platform::MessageBox(text, "", platform::kMbOk); }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsSep(char c) { return c == '\\' || c == '/'; }

// Reads the stored length and checks that its text and terminator remain in the file.
std::uint32_t ReadCountedLength(platform::File& file) {
  std::uint8_t b[4];
  if (file.Read(b, 4) != 4) throw platform::FileException(platform::kCauseEndOfFile, 0, file.path());
  const std::uint32_t length = LoadLe32(b);
  if (length == 0) return 0;
  const std::uint64_t pos = file.GetPosition();
  const std::uint64_t size = file.GetLength();
  if (pos > size || std::uint64_t(length) + 1 > size - pos)
    throw platform::FileException(platform::kCauseEndOfFile, 0, file.path());
  return length;
}

}  // namespace

void WriteCountedString(platform::File& file, std::string_view text) {
  // The stored text ends at its first zero, as the reader will see it.
  text = text.substr(0, text.find('\0'));
  const auto n = static_cast<std::uint32_t>(text.size());
  std::string bytes;
  bytes.reserve(4 + text.size() + 1);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
  if (n != 0) {
    bytes.append(text);
    bytes.push_back('\0');
  }
  file.Write(bytes.data(), bytes.size());
}

std::string ReadCountedString(platform::File& file) {
  const std::uint32_t length = ReadCountedLength(file);
  if (length == 0) return {};
  std::string text(std::size_t(length) + 1, '\0');
  if (file.Read(text.data(), text.size()) != text.size())
    throw platform::FileException(platform::kCauseEndOfFile, 0, file.path());
  text.resize(std::strlen(text.c_str()));
  return text;
}

void ReadCountedString(platform::File& file, char* buffer, std::size_t capacity) {
  std::string text = ReadCountedString(file);
  if (!buffer || capacity == 0) return;
  const std::size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

void WriteTextLine(platform::File& file, std::string_view text, bool newline) {
  std::string line(text);
  if (newline) line += "\r\n";
  file.Write(line.data(), line.size());
}

FileCopy CopyWholeFileQuietly(const char* source, const char* destination, bool force) {
  if (!source || !destination) return {FileCopy::kSource, 0, {}};
  platform::FileException error(platform::kCauseNone, 0, {});
  if (!force) {
    platform::File existing;
    if (existing.Open(destination, platform::File::modeRead, &error)) return {};
  }

  platform::File in;
  if (!in.Open(source, platform::File::modeRead, &error)) {
    const unsigned cause = static_cast<unsigned>(error.cause());
    return {FileCopy::kSource, cause, Format("Can't open file %s, error = %u\n", source, cause)};
  }
  std::vector<std::uint8_t> data;
  try {
    const std::uint64_t length = in.GetLength();
    if (length == 0) return {FileCopy::kSource, 0, Format("File %s is Empty = %u\n", source, 0u)};
    try {
      data.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
      return {FileCopy::kSource, 0, Format("Not enough memory to load %s  = %u\n", source, 0u)};
    }
    if (in.Read(data.data(), data.size()) != data.size())
      throw platform::FileException(platform::kCauseEndOfFile, 0, source);
    in.Close();
  } catch (const platform::FileException& e) {
    const unsigned cause = static_cast<unsigned>(e.cause());
    return {FileCopy::kSource, cause, Format("Can't read file %s, error = %u\n", source, cause)};
  }

  // Written beside the destination and renamed over it only when complete.
  platform::File out;
  if (!out.Open(destination, platform::File::modeCreate | platform::File::modeWrite | platform::File::modeSafeSave,
                &error)) {
    const unsigned cause = static_cast<unsigned>(error.cause());
    return {FileCopy::kDestination, cause, Format("Can't open file %s, error = %u\n", destination, cause)};
  }
  try {
    out.Write(data);
    out.Close();
  } catch (const platform::FileException& e) {
    out.Abort();
    const unsigned cause = static_cast<unsigned>(e.cause());
    return {FileCopy::kDestination, cause, Format("Can't write file %s, error = %u\n", destination, cause)};
  }
  return {};
}

bool CopyWholeFile(const char* source, const char* destination, bool force) {
  const FileCopy copy = CopyWholeFileQuietly(source, destination, force);
  if (!copy.message.empty()) Box(copy.message);
  return copy.ok();
}

const char* StripDevPath(const char* path) {
  if (!path) return path;
  const char* p = path;
  if (Lower(p[0]) == 'c' && p[1] == ':') p += 2;
  static constexpr char kDev[] = "\\vrel\\kzt\\";
  if (platform::StartsWithNoCase(p, kDev)) p += sizeof kDev - 1;
  if (p != path) DebugTrace("CHANGING FILENAME %s %s\n", path, p);
  return p;
}

std::string ReplacePathPrefix(std::string_view path, std::string_view prefix, std::string_view replacement) {
  if (!platform::StartsWithNoCase(path, prefix)) return std::string(path);
  std::string out(replacement);
  out.append(path.substr(prefix.size()));
  return out;
}

const char* SkipProgramDirPrefix(const char* path) {
  if (!path) return path;
  const std::string& dir = ProgramDirectory();
  const std::size_t n = dir.size();
  if (n == 0 || std::strlen(path) <= n) return path;
  // Only the whole directory, then a separator; '/' and '\' are one to us.
  for (std::size_t i = 0; i < n; ++i) {
    const char a = path[i], b = dir[i];
    if (IsSep(a) && IsSep(b)) continue;
    if (Lower(a) != Lower(b)) return path;
  }
  if (IsSep(dir[n - 1])) return path + n;  // the root: its separator is already there
  return IsSep(path[n]) ? path + n + 1 : path;
}

const std::string& ProgramDirectory() { return platform::StartDirectory(); }

int ReadRegistryString(const char* keyPath, const char* valueName, char* buffer) {
  if (!keyPath || !valueName) return 0;
  const auto value = platform::MachineStore().GetString(keyPath, valueName);
  // The value and its terminator must fit the 256-byte buffer.
  if (!value || value->size() + 1 > kRegistryBufferSize) return 0;
  if (buffer) std::memcpy(buffer, value->c_str(), value->size() + 1);
  return 1;
}

bool IsAlphanumeric(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!ok) return false;
  }
  return true;
}

bool IsPcmMono44k(const char* path) {
  if (!path) return false;
  std::FILE* f = platform::OpenCFile(path, "rb");
  if (!f) return false;
  std::uint8_t h[36];
  const bool whole = std::fread(h, 1, sizeof h, f) == sizeof h;
  std::fclose(f);
  if (!whole) return false;
  auto tag = [&](int at, const char* want) {
    for (int i = 0; i < 4; ++i)
      if (Lower(static_cast<char>(h[at + i])) != Lower(want[i])) return false;
    return true;
  };
  return tag(0, "RIFF") && tag(8, "WAVE") && tag(12, "fmt ") && LoadLe16(h + 20) == 1 && LoadLe16(h + 22) == 1 &&
         LoadLe32(h + 24) == 44100 && LoadLe16(h + 34) == 16;
}

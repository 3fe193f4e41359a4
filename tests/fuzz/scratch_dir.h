#pragma once
// A scratch start directory for fuzz targets whose readers take a file, not
// bytes. It lives in memory (/dev/shm) when the system has it, so an input
// costs no disk write, and it is removed when the target ends.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/core/file.h"
#include "platform/core/paths.h"

namespace fuzzscratch {

// Made on first use and made the start directory.
inline const std::string& Dir() {
  // Never destroyed, so the removal at exit can still read it.
  static const std::string& dir = *new std::string([] {
    std::string made;
    for (const char* base : {"/dev/shm", "/tmp"}) {
      std::string tmpl = std::string(base) + "/fuzz-scratch-XXXXXX";
      if (::mkdtemp(tmpl.data())) {
        made = tmpl;
        break;
      }
    }
    if (made.empty()) std::abort();
    platform::SetStartDirectory(made);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Dir(), ignored);
    });
    return made;
  }());
  return dir;
}

// Writes a file of the scratch directory (name relative to it) with plain system calls.
inline bool Write(const std::string& name, const void* data, std::size_t size) {
  const int fd = ::open((Dir() + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return false;
  const bool ok = size == 0 || ::write(fd, data, size) == static_cast<ssize_t>(size);
  ::close(fd);
  return ok;
}

// A scratch file kept open for the reader: each input replaces its bytes and
// reading starts again at its beginning, which spares an open, a close and a
// path lookup an input.
class InputFile {
 public:
  explicit InputFile(const std::string& name)
      : path_(Dir() + "/" + name), created_(Write(name, nullptr, 0)), fd_(::open(path_.c_str(), O_WRONLY)),
        file_(path_, platform::File::modeRead) {
    if (!created_ || fd_ < 0) std::abort();
  }
  ~InputFile() { ::close(fd_); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  platform::File& Hold(const void* data, std::size_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0 ||
        (size != 0 && ::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size))) {
      std::abort();
    }
    // The stream's buffer still holds the last input's bytes: dropped first,
    // or a seek within it would read them again.
    file_.Flush();
    file_.Seek(0, platform::File::begin);
    return file_;
  }

 private:
  std::string path_;
  bool created_;
  int fd_;
  platform::File file_;
};

inline void MakeDir(const std::string& name) { ::mkdir((Dir() + "/" + name).c_str(), 0700); }

// The scratch directory is current only during one input: libFuzzer resolves
// its own relative paths (the corpus) in the directory it was started in,
// which never changes, so it is asked for once.
struct InScratch {
  InScratch() {
    Started();
    platform::ChangeDirectory(Dir());
  }
  ~InScratch() { platform::ChangeDirectory(Started()); }

  static const std::string& Started() {
    static const std::string started = platform::CurrentDirectory();
    return started;
  }
};

}  // namespace fuzzscratch

#pragma once
// A file in the manner of the class library's: open flags, short reads at the
// end, and errors thrown as FileException carrying a cause number.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// The class library's file-exception causes; stored and shown as numbers.
enum FileCause : int {
  kCauseNone = 0,
  kCauseGeneric = 1,
  kCauseFileNotFound = 2,
  kCauseBadPath = 3,
  kCauseTooManyOpenFiles = 4,
  kCauseAccessDenied = 5,
  kCauseInvalidFile = 6,
  kCauseRemoveCurrentDir = 7,
  kCauseDirectoryFull = 8,
  kCauseBadSeek = 9,
  kCauseHardIO = 10,
  kCauseSharingViolation = 11,
  kCauseLockViolation = 12,
  kCauseDiskFull = 13,
  kCauseEndOfFile = 14,
};

// errno to cause, in one table.
int CauseFromErrno(int err);

class FileException : public std::runtime_error {
 public:
  FileException(int cause, int osError, std::string path);
  int cause() const { return cause_; }
  int osError() const { return osError_; }
  const std::string& path() const { return path_; }

 private:
  int cause_;
  int osError_;
  std::string path_;
};

class File {
 public:
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    // With modeCreate|modeWrite: write to a temporary file in the same folder,
    // renamed over the target by Close(); dropped if the file is never closed.
    // A target that is a symbolic link is written through: the file it names
    // is replaced and the link stays. The new file takes the permissions (and,
    // where the process may give them, owner and group) of the one it replaces.
    modeSafeSave = 0x10000,
  };
  enum SeekOrigin { begin = 0, current = 1, end = 2 };

  File() = default;
  // Opens or throws FileException.
  File(std::string_view winPath, unsigned flags);
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens; on failure returns false and fills *error when given.
  bool Open(std::string_view winPath, unsigned flags, FileException* error = nullptr);
  bool IsOpen() const { return fp_ != nullptr; }

  // Reads up to n bytes; fewer only at the end of the file.
  std::size_t Read(void* buffer, std::size_t n);
  void Write(const void* buffer, std::size_t n);
  void Write(std::span<const std::uint8_t> bytes) { Write(bytes.data(), bytes.size()); }
  // Copies up to n bytes from the source's position to this file's, leaving
  // both positioned after them; fewer only at the end of the source. The
  // kernel copies where it can, so the bytes never pass through this process.
  std::uint64_t CopyFrom(File& source, std::uint64_t n);
  std::uint64_t Seek(std::int64_t offset, SeekOrigin origin);
  std::uint64_t GetPosition() const;
  std::uint64_t GetLength() const;
  void Flush();
  // Closes; a safe save is synced and renamed into place here, or, while a
  // SaveBatch is open, handed to it (its write-back started, no descriptor
  // kept). Throws on failure, after which the previous file is still there.
  void Close();
  // Closes without committing a safe save (the temporary is removed).
  void Abort() noexcept;

  const std::string& path() const { return path_; }      // as the caller gave it
  const std::string& nativePath() const { return native_; }

 private:
  // What a safe save gives the new file of the one it replaces.
  struct Ownership {
    unsigned mode;  // permission bits
    unsigned uid;
    unsigned gid;
  };

  [[noreturn]] void Fail(int err) const;
  void StartWriteBack(std::uint64_t written);
  int OpenTemporary(const char* mode, unsigned permissions);
  int TakeOverOwnership(int fd) const;

  std::FILE* fp_ = nullptr;
  std::string path_;
  std::string native_;
  std::string temp_;    // non-empty for a safe save
  std::string target_;  // of a safe save: the file it replaces, links followed
  std::optional<Ownership> replaced_;
  std::uint64_t writeBackFrom_ = 0;  // of a safe save: where the write-back not yet started begins
  std::uint64_t unstarted_ = 0;      // bytes written since it was last started
};

// A safe save writes "<target>.tmp<n>" (n a number below 1,000,000, written
// without leading zeros) in the target's folder. The target of a name of that
// form (a file name or a path), or empty when the name is not of that form.
std::string SafeSaveTemporaryName(std::string_view target, unsigned number);
std::string_view SafeSaveTemporaryTarget(std::string_view name);
inline bool IsSafeSaveTemporaryName(std::string_view name) { return !SafeSaveTemporaryTarget(name).empty(); }

// fopen() of a Windows-style path, for layers that use the C library directly.
std::FILE* OpenCFile(std::string_view winPath, const char* mode);

// Whole-file helpers. ReadWholeFile throws FileException; WriteWholeFile saves safely.
std::string ReadWholeFile(std::string_view winPath);
void WriteWholeFile(std::string_view winPath, std::span<const std::uint8_t> bytes);
void WriteWholeFile(std::string_view winPath, std::string_view bytes);

}  // namespace platform

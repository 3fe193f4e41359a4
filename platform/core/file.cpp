#include "platform/core/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/paths.h"
#include "platform/core/save_batch.h"

namespace platform {

namespace {

constexpr unsigned kTemporaryNumbers = 1000000;
constexpr std::string_view kTemporaryMark = ".tmp";
constexpr int kTemporaryAttempts = 100;
// A large save's write-back starts every few megabytes as it is written, so
// the disk is busy while the rest is made, not only once it is closed.
constexpr std::uint64_t kWriteBackStep = std::uint64_t{8} << 20;

// A number as SafeSaveTemporaryName writes it.
bool IsTemporaryNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 6 || (digits.size() > 1 && digits[0] == '0')) return false;
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string SafeSaveTemporaryName(std::string_view target, unsigned number) {
  return std::string(target) + std::string(kTemporaryMark) + std::to_string(number % kTemporaryNumbers);
}

std::string_view SafeSaveTemporaryTarget(std::string_view name) {
  const std::size_t mark = name.rfind(kTemporaryMark);
  if (mark == std::string_view::npos || mark == 0 || name[mark - 1] == '/' ||
      !IsTemporaryNumber(name.substr(mark + kTemporaryMark.size())))
    return {};
  return name.substr(0, mark);
}

int CauseFromErrno(int err) {
  struct Row { int err; int cause; };
  static constexpr Row kTable[] = {
      {ENOENT, kCauseFileNotFound}, {ENOTDIR, kCauseBadPath},       {ENAMETOOLONG, kCauseBadPath},
      {EINVAL, kCauseBadPath},      {ELOOP, kCauseBadPath},         {EMFILE, kCauseTooManyOpenFiles},
      {ENFILE, kCauseTooManyOpenFiles}, {EACCES, kCauseAccessDenied}, {EPERM, kCauseAccessDenied},
      {EROFS, kCauseAccessDenied},  {EISDIR, kCauseAccessDenied},   {EEXIST, kCauseAccessDenied},
      {EBADF, kCauseInvalidFile},   {EBUSY, kCauseSharingViolation}, {ETXTBSY, kCauseSharingViolation},
      {ESPIPE, kCauseBadSeek},      {EOVERFLOW, kCauseBadSeek},     {EIO, kCauseHardIO},
      {ENOSPC, kCauseDiskFull},     {EDQUOT, kCauseDiskFull},       {EFBIG, kCauseDiskFull},
  };
  for (const Row& r : kTable)
    if (r.err == err) return r.cause;
  return kCauseGeneric;
}

FileException::FileException(int cause, int osError, std::string path)
    : std::runtime_error("file error " + std::to_string(cause) + " on " + path),
      cause_(cause), osError_(osError), path_(std::move(path)) {}

File::File(std::string_view winPath, unsigned flags) {
  FileException err(kCauseNone, 0, {});
  if (!Open(winPath, flags, &err)) throw err;
}

File::~File() { Abort(); }

File::File(File&& other) noexcept { *this = std::move(other); }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Abort();
    fp_ = other.fp_;
    path_ = std::move(other.path_);
    native_ = std::move(other.native_);
    temp_ = std::move(other.temp_);
    target_ = std::move(other.target_);
    replaced_ = other.replaced_;
    writeBackFrom_ = other.writeBackFrom_;
    unstarted_ = other.unstarted_;
    other.fp_ = nullptr;
    other.temp_.clear();
  }
  return *this;
}

bool File::Open(std::string_view winPath, unsigned flags, FileException* error) {
  Abort();
  writeBackFrom_ = 0;
  unstarted_ = 0;
  path_ = std::string(winPath);
  native_ = ResolvePath(winPath);
  const bool write = flags & (modeWrite | modeReadWrite);
  const bool create = flags & modeCreate;
  const char* mode = "rb";
  if (flags & modeReadWrite) mode = create && !(flags & modeNoTruncate) ? "w+b" : "r+b";
  else if (flags & modeWrite) mode = create && !(flags & modeNoTruncate) ? "wb" : "r+b";
  if (create && (flags & modeNoTruncate)) {
    // Create when missing, keep contents when present.
    struct stat st {};
    if (::stat(native_.c_str(), &st) != 0) mode = (flags & modeReadWrite) ? "w+b" : "wb";
  }
  std::string target = native_;
  const bool safeSave = write && create && (flags & modeSafeSave) && !(flags & modeNoTruncate);
  struct stat st {};
  if (!write && ::stat(native_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    if (error) *error = FileException(kCauseAccessDenied, EISDIR, path_);
    temp_.clear();
    return false;
  }
  if (!write) {
    // A save still waiting for its batch is what the target now holds.
    if (SaveBatch* batch = SaveBatch::Current()) {
      if (const SaveBatch::Pending* p = batch->Find(FollowLinks(native_))) target = p->temp;
    }
  }
  replaced_.reset();
  target_.clear();
  int saveErr = 0;
  if (safeSave) {
    // Beside the file that is replaced, so the rename stays on its file system.
    target_ = FollowLinks(native_, &saveErr);
    struct stat old {};
    if (!saveErr && ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
      replaced_ = Ownership{static_cast<unsigned>(old.st_mode & 07777), old.st_uid, old.st_gid};
    }
    // Only the owner can read it until it is given the replaced file's
    // permissions: a private file's new contents are never open to others.
    if (!saveErr) saveErr = OpenTemporary(mode, replaced_ ? 0600 : 0666);
  } else {
    fp_ = std::fopen(target.c_str(), mode);
  }
  if (!fp_) {
    int e = saveErr ? saveErr : errno;
    if (error) *error = FileException(CauseFromErrno(e), e, path_);
    temp_.clear();
    return false;
  }
  return true;
}

int File::OpenTemporary(const char* mode, unsigned permissions) {
  // A name no other file holds: a temporary is never written over, be it
  // another save's or a previous version waiting to be freed.
  const int access = std::strchr(mode, '+') ? O_RDWR : O_WRONLY;
  std::random_device rd;
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    temp_ = SafeSaveTemporaryName(target_, rd() % kTemporaryNumbers);
    const int fd = ::open(temp_.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return errno;
    }
    if ((fp_ = ::fdopen(fd, mode))) return 0;
    const int err = errno;
    ::close(fd);
    ::unlink(temp_.c_str());
    return err;
  }
  return EEXIST;
}

int File::TakeOverOwnership(int fd) const {
  if (!replaced_) return 0;
  struct stat now {};
  if (::fstat(fd, &now) != 0) return errno;
  // Owner and group where the process may give them, else the group alone
  // (a member of it may); the permissions after, since a change of owner
  // clears the set-user and set-group bits.
  if (now.st_uid != replaced_->uid || now.st_gid != replaced_->gid) {
    if (::fchown(fd, replaced_->uid, replaced_->gid) != 0) {
      if (errno != EPERM && errno != EINVAL) return errno;
      if (now.st_gid != replaced_->gid && ::fchown(fd, static_cast<uid_t>(-1), replaced_->gid) != 0 &&
          errno != EPERM && errno != EINVAL)
        return errno;
    }
  }
  return ::fchmod(fd, static_cast<mode_t>(replaced_->mode)) != 0 ? errno : 0;
}

void File::Fail(int err) const { throw FileException(CauseFromErrno(err), err, path_); }

std::size_t File::Read(void* buffer, std::size_t n) {
  if (!fp_) throw FileException(kCauseInvalidFile, EBADF, path_);
  if (n == 0) return 0;
  std::size_t got = std::fread(buffer, 1, n, fp_);
  if (got < n && std::ferror(fp_)) Fail(errno);
  return got;
}

void File::Write(const void* buffer, std::size_t n) {
  if (!fp_) throw FileException(kCauseInvalidFile, EBADF, path_);
  if (n == 0) return;
  if (std::fwrite(buffer, 1, n, fp_) != n) Fail(errno ? errno : EIO);
  StartWriteBack(n);
}

void File::StartWriteBack(std::uint64_t written) {
  // Counted here, so the many small writes of a record writer cost no look
  // at the position.
  unstarted_ += written;
  if (temp_.empty() || unstarted_ < kWriteBackStep) return;
  unstarted_ = 0;
  const off_t end = ::ftello(fp_);
  if (end < 0 || static_cast<std::uint64_t>(end) <= writeBackFrom_) return;
  Flush();
  ::sync_file_range(::fileno(fp_), static_cast<off_t>(writeBackFrom_), end - static_cast<off_t>(writeBackFrom_),
                    SYNC_FILE_RANGE_WRITE);
  writeBackFrom_ = static_cast<std::uint64_t>(end);
}

std::uint64_t File::CopyFrom(File& source, std::uint64_t n) {
  if (!fp_) throw FileException(kCauseInvalidFile, EBADF, path_);
  if (!source.fp_) throw FileException(kCauseInvalidFile, EBADF, source.path_);
  Flush();
  // Explicit offsets, then absolute seeks: the streams' buffers and the
  // descriptors' positions stay in step.
  off_t in = static_cast<off_t>(source.GetPosition());
  off_t out = static_cast<off_t>(GetPosition());
  std::uint64_t copied = 0;
  bool kernel = true;
  while (copied < n && kernel) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(n - copied, std::uint64_t{1} << 30));
    const ssize_t got = ::copy_file_range(::fileno(source.fp_), &in, ::fileno(fp_), &out, chunk, 0);
    if (got > 0) {
      copied += static_cast<std::uint64_t>(got);
    } else if (got == 0) {
      break;
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
      kernel = false;  // not between these files: through a buffer
    } else {
      Fail(errno);
    }
  }
  source.Seek(in, begin);
  Seek(out, begin);
  StartWriteBack(copied);
  if (!kernel) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(n - copied, 1u << 20)));
    while (copied < n) {
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(n - copied, buffer.size()));
      const std::size_t got = source.Read(buffer.data(), want);
      Write(buffer.data(), got);
      copied += got;
      if (got < want) break;
    }
  }
  return copied;
}

std::uint64_t File::Seek(std::int64_t offset, SeekOrigin origin) {
  if (!fp_) throw FileException(kCauseInvalidFile, EBADF, path_);
  int whence = origin == begin ? SEEK_SET : origin == current ? SEEK_CUR : SEEK_END;
  if (::fseeko(fp_, static_cast<off_t>(offset), whence) != 0) throw FileException(kCauseBadSeek, errno, path_);
  return GetPosition();
}

std::uint64_t File::GetPosition() const {
  if (!fp_) throw FileException(kCauseInvalidFile, EBADF, path_);
  off_t p = ::ftello(fp_);
  if (p < 0) throw FileException(kCauseBadSeek, errno, path_);
  return static_cast<std::uint64_t>(p);
}

std::uint64_t File::GetLength() const {
  if (!fp_) throw FileException(kCauseInvalidFile, EBADF, path_);
  struct stat st {};
  if (::fstat(::fileno(fp_), &st) != 0) throw FileException(CauseFromErrno(errno), errno, path_);
  return static_cast<std::uint64_t>(st.st_size);
}

void File::Flush() {
  if (fp_ && std::fflush(fp_) != 0) Fail(errno);
}

void File::Close() {
  if (!fp_) return;
  std::FILE* f = fp_;
  fp_ = nullptr;
  int flushErr = std::fflush(f) != 0 ? errno : 0;
  SaveBatch* batch = temp_.empty() ? nullptr : SaveBatch::Current();
  if (!flushErr && !temp_.empty()) flushErr = TakeOverOwnership(::fileno(f));
  if (!flushErr && !temp_.empty()) {
    if (batch) {
      // Durable with the rest of the batch, which opens it again for that;
      // the disk starts on it now.
      ::sync_file_range(::fileno(f), 0, 0, SYNC_FILE_RANGE_WRITE);
    } else if (::fsync(::fileno(f)) != 0) {
      flushErr = errno;
    }
  }
  int closeErr = std::fclose(f) != 0 ? errno : 0;
  int err = flushErr ? flushErr : closeErr;
  if (!temp_.empty()) {
    std::string tmp = std::move(temp_);
    temp_.clear();
    if (!err && batch) {
      batch->Add(target_, std::move(tmp), path_);
      return;
    }
    if (!err && std::rename(tmp.c_str(), target_.c_str()) != 0) err = errno;
    if (err) ::unlink(tmp.c_str());
  }
  if (err) Fail(err);
}

void File::Abort() noexcept {
  if (fp_) {
    std::fclose(fp_);
    fp_ = nullptr;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

std::FILE* OpenCFile(std::string_view winPath, const char* mode) {
  std::string native = ResolvePath(winPath);
  struct stat st {};
  if (::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return nullptr;
  }
  return std::fopen(native.c_str(), mode);
}

std::string ReadWholeFile(std::string_view winPath) {
  File f(winPath, File::modeRead);
  std::uint64_t len = f.GetLength();
  std::string data(static_cast<std::size_t>(len), '\0');
  std::size_t got = f.Read(data.data(), data.size());
  data.resize(got);
  f.Close();
  return data;
}

void WriteWholeFile(std::string_view winPath, std::span<const std::uint8_t> bytes) {
  File f(winPath, File::modeCreate | File::modeWrite | File::modeSafeSave);
  f.Write(bytes);
  f.Close();
}

void WriteWholeFile(std::string_view winPath, std::string_view bytes) {
  WriteWholeFile(winPath, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace platform

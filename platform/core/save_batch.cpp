#include "platform/core/save_batch.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/file.h"
#include "platform/core/paths.h"

namespace platform {

namespace {

thread_local SaveBatch* g_current = nullptr;

// A native path as its folder's part (up to and with the last slash, as
// written, so that joined with a name it gives that file's path as the
// temporaries' paths are written) and the file's name.
struct NativeParts {
  std::string prefix;
  std::string name;
  std::string Folder() const { return prefix.empty() ? "." : prefix; }
};

NativeParts SplitNative(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// Freeing a replaced file's blocks and pages costs about a millisecond per
// megabyte. The commit leaves each previous version under a temporary's name
// and this removes them on a thread of its own, so nobody waits for it. It
// holds names, not descriptors, each absolute; a name stays taken until it is
// removed, as a new temporary never takes a name that exists.
class OldFileReleaser {
 public:
  ~OldFileReleaser() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    work_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  void Release(std::vector<std::string> paths) {
    if (paths.empty()) return;
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) {
      try {
        thread_ = std::thread([this] { Run(); });
      } catch (const std::system_error&) {
        lock.unlock();
        for (const std::string& p : paths) ::unlink(p.c_str());
        return;
      }
    }
    for (std::string& p : paths) {
      queued_.insert(p);
      queue_.push_back(std::move(p));
    }
    work_.notify_one();
  }

  // True while the path waits to be removed (or is being removed).
  bool Holds(const std::string& path) {
    std::lock_guard lock(mutex_);
    return queued_.count(path) != 0;
  }

  void WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queued_.empty(); });
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      work_.wait(lock, [this] { return stop_ || !queue_.empty(); });
      if (queue_.empty()) return;
      const std::string path = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      ::unlink(path.c_str());
      lock.lock();
      queued_.erase(path);
      if (queued_.empty()) idle_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable work_, idle_;
  std::deque<std::string> queue_;
  std::unordered_set<std::string> queued_;
  bool stop_ = false;
  std::thread thread_;
};

// The path as it names the file from anywhere: the removal thread runs after
// the commit, when the current folder may be another.
std::string Absolute(std::string path, const std::string& currentFolder) {
  return path.empty() || path[0] == '/' ? path : currentFolder + "/" + path;
}

OldFileReleaser& Releaser() {
  static OldFileReleaser releaser;
  return releaser;
}

// Renames the temporary over the target. A file standing there is exchanged
// with it instead, so that the previous version, now under the temporary's
// name, is freed later and elsewhere; `replaced` gets that name.
bool PutInPlace(const std::string& temp, const std::string& target, std::vector<std::string>& replaced) {
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
    replaced.push_back(temp);
    return true;
  }
  return ::rename(temp.c_str(), target.c_str()) == 0;
}

// Removes from the folder the temporaries of the named files (left by a save
// that never finished), except those still in use.
void RemoveStaleTemporaries(const std::string& prefix, const std::unordered_set<std::string>& saved,
                            const std::unordered_set<std::string>& inUse, const std::string& currentFolder) {
  DIR* d = ::opendir(NativeParts{prefix, {}}.Folder().c_str());
  if (!d) return;
  std::vector<std::string> stale;
  while (const dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    const std::string_view target = SafeSaveTemporaryTarget(name);
    if (target.empty() || !saved.count(std::string(target))) continue;
    std::string path = prefix + std::string(name);
    if (!inUse.count(path) && !Releaser().Holds(Absolute(path, currentFolder))) stale.push_back(std::move(path));
  }
  ::closedir(d);
  for (const std::string& path : stale) ::unlink(path.c_str());
}

}  // namespace

SaveBatch::SaveBatch() : previous_(g_current) { g_current = this; }

SaveBatch::~SaveBatch() {
  Drop();
  CloseFileSystems();
  g_current = previous_;
}

SaveBatch* SaveBatch::Current() { return g_current; }

void SaveBatch::WaitForReleasedFiles() { Releaser().WaitUntilIdle(); }

const SaveBatch::Pending* SaveBatch::Find(std::string_view nativeTarget) const {
  const auto it = index_.find(std::string(nativeTarget));
  return it == index_.end() ? nullptr : &pending_[it->second];
}

void SaveBatch::Add(std::string target, std::string temp, std::string name) {
  if (const auto it = index_.find(target); it != index_.end()) {
    // The later save wins; the earlier one was never visible. Same target,
    // same folder: its file system is known.
    Pending& p = pending_[it->second];
    ::unlink(p.temp.c_str());
    p.temp = std::move(temp);
    p.name = std::move(name);
    return;
  }
  // A file whose file system is not known would be renamed before its data
  // is durable: such a save fails instead, as one that cannot be written.
  struct stat st {};
  if (::stat(temp.c_str(), &st) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    throw FileException(CauseFromErrno(err), err, std::move(name));
  }
  if (std::none_of(fileSystems_.begin(), fileSystems_.end(),
                   [&st](const FileSystem& f) { return f.device == static_cast<unsigned long>(st.st_dev); })) {
    std::string folder = SplitNative(target).Folder();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    fileSystems_.push_back({static_cast<unsigned long>(st.st_dev), std::move(folder), fd});
  }
  index_.emplace(target, pending_.size());
  pending_.push_back({std::move(target), std::move(temp), std::move(name)});
}

int SaveBatch::SyncFileSystems(std::string& failedFolder) const {
  for (const FileSystem& f : fileSystems_) {
    const int fd = f.fd >= 0 ? f.fd : ::open(f.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int err = fd < 0 ? errno : ::syncfs(fd) != 0 ? errno : 0;
    if (fd >= 0 && fd != f.fd) ::close(fd);
    if (err) {
      failedFolder = f.folder;
      return err;
    }
  }
  return 0;
}

void SaveBatch::CloseFileSystems() noexcept {
  for (const FileSystem& f : fileSystems_) {
    if (f.fd >= 0) ::close(f.fd);
  }
  fileSystems_.clear();
}

void SaveBatch::Commit() {
  // The data first, all of it. The write-back of each file began when it was
  // closed; it is waited for file by file, one descriptor at a time, which
  // also reports each file's write errors. Then each file system is synced
  // once: one flush of the disk for every file on it, where a sync of each
  // file would flush it once a file.
  constexpr unsigned kWriteAndWait = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
  for (const Pending& p : pending_) {
    const int fd = ::open(p.temp.c_str(), O_RDONLY | O_CLOEXEC);
    // A file its owner may not read (given the permissions of the file it
    // replaces) is made durable by its file system's sync below all the same.
    if (fd < 0 && errno == EACCES) continue;
    const int err = fd < 0 ? errno : ::sync_file_range(fd, 0, 0, kWriteAndWait) != 0 ? errno : 0;
    if (fd >= 0) ::close(fd);
    if (err) {
      const std::string name = p.name;
      Drop();
      CloseFileSystems();
      throw FileException(CauseFromErrno(err), err, name);
    }
  }
  std::string failed;
  if (const int e = SyncFileSystems(failed)) {
    Drop();
    CloseFileSystems();
    throw FileException(CauseFromErrno(e), e, failed);
  }
  // Then the names, in the order saved; a crash from here on leaves each
  // target either as it was or complete.
  std::unordered_map<std::string, std::unordered_set<std::string>> saved;  // folder's prefix: names put in place
  std::vector<std::string> replaced;
  std::size_t done = 0;
  int err = 0;
  for (; done < pending_.size(); ++done) {
    const Pending& p = pending_[done];
    if (!PutInPlace(p.temp, p.target, replaced)) {
      err = errno;
      break;
    }
    NativeParts parts = SplitNative(p.target);
    saved[parts.prefix].insert(std::move(parts.name));
  }
  if (err) failed = pending_[done].name;
  for (std::size_t i = done; i < pending_.size(); ++i) ::unlink(pending_[i].temp.c_str());
  pending_.clear();
  index_.clear();
  // Temporaries still in use: the previous versions just replaced, and the
  // saves of any batch this one is opened inside.
  std::unordered_set<std::string> inUse(replaced.begin(), replaced.end());
  for (const SaveBatch* outer = previous_; outer; outer = outer->previous_) {
    for (const Pending& p : outer->pending_) inUse.insert(p.temp);
  }
  const std::string currentFolder = CurrentDirectory();
  for (const auto& [prefix, names] : saved) RemoveStaleTemporaries(prefix, names, inUse, currentFolder);
  // And each file system again, so the new names, and the stale temporaries
  // gone, are durable too.
  std::string failedFolder;
  if (const int e = SyncFileSystems(failedFolder); e && !err) {
    err = e;
    failed = failedFolder;
  }
  CloseFileSystems();
  for (std::string& path : replaced) path = Absolute(std::move(path), currentFolder);
  Releaser().Release(std::move(replaced));
  if (err) throw FileException(CauseFromErrno(err), err, failed);
}

void SaveBatch::Drop() noexcept {
  for (const Pending& p : pending_) ::unlink(p.temp.c_str());
  pending_.clear();
  index_.clear();
}

}  // namespace platform

#include "platform/core/save_batch.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

#include "platform/core/file.h"

namespace platform {

namespace {

thread_local SaveBatch* g_current = nullptr;
std::atomic<std::size_t> g_defaultKeepBudget{SaveBatch::kDefaultKeepBudget};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Freeing a replaced file's blocks and pages costs about a millisecond per
// megabyte. The renames keep the old files open and this closes them on a
// thread of its own, so nobody waits for it.
class OldFileReleaser {
 public:
  ~OldFileReleaser() { Join(); }
  void Release(std::vector<int> fds) {
    if (fds.empty()) return;
    std::lock_guard lock(mutex_);
    Join();
    try {
      thread_ = std::thread([fds = std::move(fds)] {
        for (int fd : fds) ::close(fd);
      });
    } catch (const std::system_error&) {
      for (int fd : fds) ::close(fd);
    }
  }

 private:
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  std::mutex mutex_;
  std::thread thread_;
};

OldFileReleaser& Releaser() {
  static OldFileReleaser releaser;
  return releaser;
}

}  // namespace

SaveBatch::SaveBatch() : SaveBatch(g_defaultKeepBudget.load()) {}

SaveBatch::SaveBatch(std::size_t keepBudget) : previous_(g_current), keepBudget_(keepBudget) { g_current = this; }

std::size_t SaveBatch::SetDefaultKeepBudget(std::size_t bytes) { return g_defaultKeepBudget.exchange(bytes); }

SaveBatch::~SaveBatch() {
  Drop();
  g_current = previous_;
}

SaveBatch* SaveBatch::Current() { return g_current; }

SaveBatch::Pending* SaveBatch::Find(std::string_view nativeTarget) {
  for (Pending& p : pending_)
    if (p.target == nativeTarget) return &p;
  return nullptr;
}

void SaveBatch::Add(std::string target, std::string temp, std::string name, int fd) {
  if (Pending* p = Find(target)) {
    // The later save wins; the earlier one was never visible.
    if (p->fd >= 0) ::close(p->fd);
    ::unlink(p->temp.c_str());
    p->temp = std::move(temp);
    p->name = std::move(name);
    if (p->kept) keptBytes_ -= p->bytes.size();
    p->bytes = {};
    p->kept = false;
    p->fd = fd;
    return;
  }
  Pending p;
  p.target = std::move(target);
  p.temp = std::move(temp);
  p.name = std::move(name);
  p.fd = fd;
  pending_.push_back(std::move(p));
}

void SaveBatch::Keep(std::string_view nativeTarget, std::vector<std::uint8_t> bytes) {
  Pending* p = Find(nativeTarget);
  if (!p) return;
  if (p->kept) keptBytes_ -= p->bytes.size();
  p->bytes = {};
  p->kept = false;
  if (bytes.size() > keepBudget_ - keptBytes_) return;  // read from the file instead
  keptBytes_ += bytes.size();
  p->bytes = std::move(bytes);
  p->kept = true;
}

bool SaveBatch::Take(std::string_view nativeTarget, std::vector<std::uint8_t>& bytes) {
  Pending* p = Find(nativeTarget);
  if (!p || !p->kept) return false;
  bytes = std::move(p->bytes);
  p->bytes = {};
  p->kept = false;
  return true;
}

void SaveBatch::Commit() {
  // The data first, all of it: the write-back of each file began when it was
  // closed, so this mostly waits for what is already on its way.
  for (Pending& p : pending_) {
    p.bytes = {};
    const int fd = p.fd >= 0 ? p.fd : ::open(p.temp.c_str(), O_RDONLY | O_CLOEXEC);
    const int err = fd < 0 ? errno : ::fdatasync(fd) != 0 ? errno : 0;
    if (fd >= 0) ::close(fd);
    p.fd = -1;
    if (err) {
      const std::string name = p.name;
      Drop();
      throw FileException(CauseFromErrno(err), err, name);
    }
  }
  // Then the names, in the order saved; a crash from here on leaves each
  // target either as it was or complete.
  std::vector<std::string> folders;
  std::vector<int> replaced;
  std::size_t done = 0;
  int err = 0;
  for (; done < pending_.size(); ++done) {
    const Pending& p = pending_[done];
    const int old = ::open(p.target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (::rename(p.temp.c_str(), p.target.c_str()) != 0) {
      err = errno;
      if (old >= 0) ::close(old);
      break;
    }
    if (old >= 0) replaced.push_back(old);
    std::string folder = FolderOf(p.target);
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(std::move(folder));
  }
  std::string failed = err ? pending_[done].name : std::string();
  for (std::size_t i = done; i < pending_.size(); ++i) ::unlink(pending_[i].temp.c_str());
  pending_.clear();
  keptBytes_ = 0;
  // And each folder once, so the new names are durable too.
  for (const std::string& folder : folders) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int e = fd < 0 ? errno : ::fsync(fd) != 0 ? errno : 0;
    if (fd >= 0) ::close(fd);
    if (e && !err) {
      err = e;
      failed = folder;
    }
  }
  Releaser().Release(std::move(replaced));
  if (err) throw FileException(CauseFromErrno(err), err, failed);
}

void SaveBatch::Drop() noexcept {
  for (Pending& p : pending_) {
    if (p.fd >= 0) ::close(p.fd);
    ::unlink(p.temp.c_str());
  }
  pending_.clear();
  keptBytes_ = 0;
}

}  // namespace platform

#pragma once
// Safe saves made while a batch is open are written and their write-back
// started at once, but put in place only when the batch is committed: every
// file's data is made durable in one pass (each file's write-back waited for,
// then each file system holding them synced once), then each file is renamed
// over its target in the order saved, then each file system is synced again.
// So a crash leaves every target either as it was or as saved, complete, and
// it costs two flushes of the disk instead of one per file.
//
// While the batch is open, opening a pending target for reading reads what was
// saved. A pending save holds no descriptor, and a commit keeps only a few
// open at a time, so a batch of any size works within a small limit of open
// files.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

class SaveBatch {
 public:
  struct Pending {
    std::string target;  // native paths; the target with its links followed
    std::string temp;
    std::string name;    // as the caller gave it, for messages
  };

  // Becomes the thread's current batch until it is destroyed.
  SaveBatch();
  // Drops what was not committed: the temporary files are removed and the
  // targets stay as they were.
  ~SaveBatch();
  SaveBatch(const SaveBatch&) = delete;
  SaveBatch& operator=(const SaveBatch&) = delete;

  static SaveBatch* Current();

  // Puts every pending save in place. Throws FileException naming the file
  // that failed (or a folder of the file system whose sync failed); saves
  // renamed before it stay, the rest are dropped. The
  // temporaries that an earlier crash left beside a target put in place
  // (named as a safe save names them) are removed with it.
  void Commit();

  // A pending save of the native path, or null.
  const Pending* Find(std::string_view nativeTarget) const;
  const std::vector<Pending>& pending() const { return pending_; }

  // Called by File::Close for a safe save: the temporary is written and
  // flushed to the kernel. A later save of the same target replaces it.
  // Throws FileException (naming the save, its temporary removed) when the
  // temporary's file system cannot be told.
  void Add(std::string target, std::string temp, std::string name);

  // The files that commits replaced are released (their blocks freed) on a
  // thread of their own; this returns once every one of them is. For
  // measurements and tests: nobody else needs to wait for it.
  static void WaitForReleasedFiles();

 private:
  // A file system the saves are on, and a folder of it held open from the
  // first save there (-1 when none could be), so its sync reports every
  // write error since.
  struct FileSystem {
    unsigned long device;
    std::string folder;
    int fd;
  };
  // Syncs each file system; the first error, and the folder it was found by.
  int SyncFileSystems(std::string& failedFolder) const;
  void Drop() noexcept;
  void CloseFileSystems() noexcept;

  std::vector<Pending> pending_;
  std::vector<FileSystem> fileSystems_;
  std::unordered_map<std::string, std::size_t> index_;  // target -> its pending save
  SaveBatch* previous_ = nullptr;
};

}  // namespace platform

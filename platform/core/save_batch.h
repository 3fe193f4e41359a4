#pragma once
// Safe saves made while a batch is open are written and their write-back
// started at once, but put in place only when the batch is committed: every
// file's data is made durable in one pass, then each file is renamed over its
// target in the order saved, then each folder is synced once. So a crash
// leaves every target either as it was or as saved, complete, and it costs one
// wait for the disk instead of one per file.
//
// While the batch is open, opening a pending target for reading reads what was
// saved, and the bytes a writer hands over with Keep can be taken back without
// reading the file (a package built from the files just written).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class SaveBatch {
 public:
  struct Pending {
    std::string target;  // native paths
    std::string temp;
    std::string name;    // as the caller gave it, for messages
    std::vector<std::uint8_t> bytes;  // when kept
    bool kept = false;
    int fd = -1;  // held open for the data sync, when a descriptor was free
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
  // that failed; saves renamed before it stay, the rest are dropped.
  void Commit();

  // A pending save of the native path, or null.
  Pending* Find(std::string_view nativeTarget);
  const std::vector<Pending>& pending() const { return pending_; }

  // The bytes of a pending save, kept for Take instead of being read back.
  void Keep(std::string_view nativeTarget, std::vector<std::uint8_t> bytes);
  // The kept bytes of a pending save (moved out), or false.
  bool Take(std::string_view nativeTarget, std::vector<std::uint8_t>& bytes);

  // Called by File::Close for a safe save: the temporary is written and
  // flushed to the kernel. A later save of the same target replaces it.
  void Add(std::string target, std::string temp, std::string name, int fd);

 private:
  void Drop() noexcept;

  std::vector<Pending> pending_;
  SaveBatch* previous_ = nullptr;
};

}  // namespace platform

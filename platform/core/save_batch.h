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
// reading the file (a package built from the files just written). The bytes
// kept, taken ones included, stay within a budget: past it a file's bytes are
// not kept, and a reader of it reads the file instead.
#include <cstddef>
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

  // What a batch keeps at most unless told otherwise.
  static constexpr std::size_t kDefaultKeepBudget = std::size_t{64} << 20;

  // Becomes the thread's current batch until it is destroyed, keeping at most
  // the default budget's bytes (see SetDefaultKeepBudget), or `keepBudget`.
  SaveBatch();
  explicit SaveBatch(std::size_t keepBudget);
  // The budget of the batches opened from now on; returns the one before.
  static std::size_t SetDefaultKeepBudget(std::size_t bytes);
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

  // The bytes of a pending save, kept for Take instead of being read back,
  // unless they would take the bytes kept past the budget.
  void Keep(std::string_view nativeTarget, std::vector<std::uint8_t> bytes);
  // The bytes kept so far and not dropped (taken ones count: their taker
  // still holds them).
  std::size_t keptBytes() const { return keptBytes_; }
  // The kept bytes of a pending save (moved out), or false.
  bool Take(std::string_view nativeTarget, std::vector<std::uint8_t>& bytes);

  // Called by File::Close for a safe save: the temporary is written and
  // flushed to the kernel. A later save of the same target replaces it.
  void Add(std::string target, std::string temp, std::string name, int fd);

 private:
  void Drop() noexcept;

  std::vector<Pending> pending_;
  SaveBatch* previous_ = nullptr;
  std::size_t keepBudget_;
  std::size_t keptBytes_ = 0;
};

}  // namespace platform

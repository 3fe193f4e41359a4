#pragma once
// Faults of the C library's stat() and unlink() for the save layer's tests.
// This test program defines both itself, in front of the C library's, and
// passes every call through unless a fault is armed here.
#include <string>

namespace testsupport {

class SystemCallFaults {
 public:
  SystemCallFaults() = default;
  // Disarms what was armed and lets every held unlink go.
  ~SystemCallFaults();
  SystemCallFaults(const SystemCallFaults&) = delete;
  SystemCallFaults& operator=(const SystemCallFaults&) = delete;

  // stat() of any safe save's temporary of the native target fails with err.
  void FailStatOfTemporaries(std::string nativeTarget, int err);
  // unlink() called on any thread but this one waits until LetUnlinksGo().
  void HoldUnlinksOfOtherThreads();
  void LetUnlinksGo();
};

}  // namespace testsupport

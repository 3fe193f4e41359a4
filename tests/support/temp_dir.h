#pragma once
// A scratch start directory for a test: created empty, made current and the
// start directory while the object lives, removed afterwards.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Native path of a relative name ('/' separated).
  std::string Native(std::string_view rel) const;
  // Writes a file (parents created).
  void Write(std::string_view rel, std::string_view bytes) const;
  void Write(std::string_view rel, std::span<const std::uint8_t> bytes) const;
  void MakeDir(std::string_view rel) const;
  std::string Read(std::string_view rel) const;
  bool Exists(std::string_view rel) const;

 private:
  std::string path_;
  std::string previousCwd_;
  std::string previousStart_;
};

// A test fixture holding a TempDir.
class TempDirTest : public ::testing::Test {
 protected:
  TempDir dir;
};

}  // namespace testsupport

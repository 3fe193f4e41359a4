#pragma once
// A scratch start directory under the temporary folder for the benchmarks: current,
// the program's start directory and the profile's home while it lives; afterwards
// removed, and the directory current before is current again.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/core/paths.h"
#include "platform/core/profile.h"

class ScratchStartDir {
 public:
  explicit ScratchStartDir(const std::string& prefix) {
    std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl;
    previous_ = platform::CurrentDirectory();
    platform::ChangeDirectory(dir_);
    platform::SetStartDirectory(dir_);
    platform::SetProfilePath(dir_ + "/profile.ini");
  }
  ~ScratchStartDir() {
    if (!previous_.empty()) platform::ChangeDirectory(previous_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ScratchStartDir(const ScratchStartDir&) = delete;
  ScratchStartDir& operator=(const ScratchStartDir&) = delete;

  const std::string& Path() const { return dir_; }

 private:
  std::string dir_, previous_;
};

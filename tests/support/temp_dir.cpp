#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/paths.h"

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
  std::string tmpl = (fs::temp_directory_path() / "qtest-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
  previousCwd_ = platform::CurrentDirectory();
  previousStart_ = platform::StartDirectory();
  platform::ChangeDirectory(path_);
  platform::SetStartDirectory(path_);
}

TempDir::~TempDir() {
  platform::ChangeDirectory(previousCwd_);
  platform::SetStartDirectory(previousStart_);
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::Native(std::string_view rel) const { return path_ + "/" + std::string(rel); }

void TempDir::Write(std::string_view rel, std::string_view bytes) const {
  fs::path p = Native(rel);
  fs::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TempDir::Write(std::string_view rel, std::span<const std::uint8_t> bytes) const {
  Write(rel, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TempDir::MakeDir(std::string_view rel) const { fs::create_directories(Native(rel)); }

std::string TempDir::Read(std::string_view rel) const {
  std::ifstream f(Native(rel), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

bool TempDir::Exists(std::string_view rel) const { return fs::exists(Native(rel)); }

}  // namespace testsupport

#pragma once
// Where a music stream's bytes come from: nothing, a C-library file, or a file
// inside an archive. Closing closes whichever is held.
#include <cstdio>

struct MtfFile;

class CStreamSource {
 public:
  static constexpr int kNone = 0;
  static constexpr int kFile = 2;
  static constexpr int kArchiveFile = 5;

  CStreamSource() = default;
  ~CStreamSource() { Close(); }
  CStreamSource(const CStreamSource&) = delete;
  CStreamSource& operator=(const CStreamSource&) = delete;

  void SetFile(std::FILE* file);
  void SetArchiveFile(MtfFile* file);
  void Close();

  int kind() const { return kind_; }

 private:
  int kind_ = kNone;
  std::FILE* file_ = nullptr;
  MtfFile* archive_file_ = nullptr;
};

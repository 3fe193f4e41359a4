#include "audio/stream_source.h"

#include "datafiles/mtf_archive.h"

void CStreamSource::SetFile(std::FILE* file) {
  Close();
  file_ = file;
  kind_ = file ? kFile : kNone;
}

void CStreamSource::SetArchiveFile(MtfFile* file) {
  Close();
  archive_file_ = file;
  kind_ = file ? kArchiveFile : kNone;
}

void CStreamSource::Close() {
  if (kind_ == kFile && file_) std::fclose(file_);
  if (kind_ == kArchiveFile && archive_file_) MtfClose(archive_file_);
  file_ = nullptr;
  archive_file_ = nullptr;
  kind_ = kNone;
}

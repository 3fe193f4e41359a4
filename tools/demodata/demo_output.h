#pragma once
// Where the demo content goes: loose files under the start directory (made
// current while the demo is written) and the entries of its "data.mtf".
#include <cstdint>
#include <span>
#include <string_view>

#include "datafiles/mtf_writer.h"

class DemoOutput {
 public:
  // Writes a loose file at a backslash path relative to the start
  // directory, creating its folders. Throws platform::FileException.
  void WriteFile(std::string_view path, std::span<const std::uint8_t> bytes);
  // Creates every folder of a backslash path. False when one cannot be made.
  static bool MakeFolders(std::string_view path);

  // The game archive "data.mtf", written by Finish().
  MtfWriter& DataArchive() { return archive_; }
  void Finish();

 private:
  MtfWriter archive_;
};

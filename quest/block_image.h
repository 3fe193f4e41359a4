#pragma once
// The 540-byte block image of room files: i32 id, i32 rotation, i32 id2,
// three i32 work words, char[512] file name, i32 last word.
#include <cstddef>
#include <cstdint>

struct RoomBlock;
class ByteSource;

struct BlockImage {
  static constexpr std::size_t kSize = 540;
  static constexpr std::size_t kNameSize = 512;

  std::int32_t id = -1;
  std::int32_t rotation = 0;
  std::int32_t id2 = -1;
  std::int32_t work[3] = {0, 0, 0};
  char fileName[kNameSize] = {};  // always terminated
  std::int32_t last = 0;

  // From a block cell: id, rotation, id2, its file name or "", its last
  // word; the work words 0.
  void Set(const RoomBlock& block);
  // Reads the 540 bytes; false when the source ends first.
  bool Read(ByteSource& source);
};

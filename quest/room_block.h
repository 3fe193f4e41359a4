#pragma once
// One cell of a room's 64 x 64 block grid. A cell holds a block when it has
// a file name.
#include <cstdint>
#include <string>

struct RoomBlock {
  std::int32_t id = -1;
  std::int32_t rotation = 0;  // quarter turns, 0..3
  std::int32_t id2 = -1;
  std::int32_t work[3] = {0, 0, 0};  // kept and saved, not used by the editor
  std::string fileName;              // empty: no block
  std::int32_t extra = -1;           // saved

  bool HasBlock() const { return !fileName.empty(); }
  // The file name, or "" when the cell holds no block.
  const char* GetName() const { return fileName.c_str(); }
  // Ids empty, rotation and the first and third work words 0; the name and
  // the rest stay.
  void Init() {
    id = id2 = -1;
    rotation = 0;
    work[0] = work[2] = 0;
  }
  // As Init, and the name goes.
  void Clear() {
    Init();
    fileName.clear();
  }
};

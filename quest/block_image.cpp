#include "quest/block_image.h"

#include <cstring>

#include "datafiles/byte_source.h"
#include "quest/room_block.h"

void BlockImage::Set(const RoomBlock& block) {
  id = block.id;
  rotation = block.rotation;
  id2 = block.id2;
  work[0] = work[1] = work[2] = 0;
  std::memset(fileName, 0, sizeof fileName);
  std::strncpy(fileName, block.GetName(), sizeof fileName - 1);
  last = block.extra;
}

bool BlockImage::Read(ByteSource& in) {
  return in.I32(id) && in.I32(rotation) && in.I32(id2) && in.I32(work[0]) && in.I32(work[1]) &&
         in.I32(work[2]) && in.Fixed(fileName, sizeof fileName) && in.I32(last);
}

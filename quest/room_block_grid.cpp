#include "quest/room_block_grid.h"

#include "quest/storage_pool.h"

StoragePool& RoomBlockGrid::PartStorage() {
  static StoragePool pool(sizeof(RoomBlock) * kPerPart);
  return pool;
}

RoomBlock* RoomBlockGrid::NewPart() {
  auto* part = static_cast<RoomBlock*>(PartStorage().Take());
  std::uninitialized_default_construct_n(part, kPerPart);  // making a block throws nothing
  return part;
}

void RoomBlockGrid::PartDeleter::operator()(RoomBlock* part) const noexcept {
  std::destroy_n(part, kPerPart);
  PartStorage().Give(part);
}

// Storage given back is handed out again before anything new is asked of the
// system, and every block holds a whole record of the pool's size.
#include "quest/storage_pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "quest/room.h"

namespace {

// The blocks come from operator new; a pool that is not static hands its last
// ones back to the system by hand.
void Drain(StoragePool& pool, std::vector<void*>& taken) {
  while (pool.kept() > 0) taken.push_back(pool.Take());
  for (void* p : taken) ::operator delete(p);
  taken.clear();
}

TEST(StoragePool, KeepsWhatIsGivenBackAndHandsItOutFirst) {
  StoragePool pool(1000);
  EXPECT_EQ(pool.kept(), 0u);
  std::vector<void*> taken;
  for (int i = 0; i < 3; ++i) {
    taken.push_back(pool.Take());
    std::memset(taken.back(), i, pool.size());  // the whole block is ours to fill
  }
  EXPECT_EQ(pool.kept(), 0u);
  for (void* p : taken) pool.Give(p);
  taken.clear();
  EXPECT_EQ(pool.kept(), 3u);
  pool.Give(nullptr);
  EXPECT_EQ(pool.kept(), 3u);
  taken.push_back(pool.Take());
  EXPECT_EQ(pool.kept(), 2u);
  std::memset(taken.back(), 0x5A, pool.size());
  for (int i = 0; i < 3; ++i) taken.push_back(pool.Take());  // two kept, then one new
  EXPECT_EQ(pool.kept(), 0u);
  Drain(pool, taken);
}

TEST(StoragePool, TooSmallARecordStillHoldsTheList) {
  StoragePool pool(1);
  EXPECT_GE(pool.size(), sizeof(void*));
  pool.Give(pool.Take());
  EXPECT_EQ(pool.kept(), 1u);
  std::vector<void*> taken;
  Drain(pool, taken);
}

// A room made from kept storage starts as a new room does.
TEST(StoragePool, RoomFromKeptStorageStartsClean) {
  {
    auto first = std::make_unique<CRoom>();
    first->Collision(5, 5) = kCollisionBlocked;
    first->Block(3, 4).fileName = "rozizuzi\\o4d\\wall.o3d";
    first->Block(3, 4).rotation = 2;
    first->land = 4;
  }
  auto room = std::make_unique<CRoom>();
  EXPECT_EQ(room->Collision(5, 5), kCollisionFree);
  EXPECT_FALSE(room->Block(3, 4).HasBlock());
  EXPECT_EQ(room->Block(3, 4).rotation, 0);
  EXPECT_EQ(room->Block(3, 4).id, -1);
  EXPECT_EQ(room->land, 0);
}

}  // namespace

// The texture cache's slots by frame count, and the 2D point test of picking.
#include "meshedit/core/texture_cache.h"

#include <gtest/gtest.h>

#include "meshedit/core/point_in_triangle.h"

namespace {

using pavix::CTextureCache;

struct Got {
  int slot, isNew, evicted;
};

Got Get(CTextureCache& c, int id) {
  Got g{};
  g.slot = c.GetSlot(id, &g.isNew, &g.evicted);
  return g;
}

TEST(PavixTextureCache, EvictsTheSlotUnusedLongest) {
  CTextureCache c;
  c.Init(2, 16);
  const Got a = Get(c, 5);
  EXPECT_EQ(a.slot, 0);
  EXPECT_EQ(a.isNew, 1);
  EXPECT_EQ(a.evicted, -1);
  EXPECT_EQ(Get(c, 6).slot, 1);
  c.NewFrame();
  const Got again = Get(c, 5);
  EXPECT_EQ(again.slot, 0);
  EXPECT_EQ(again.isNew, 0);
  const Got seven = Get(c, 7);
  EXPECT_EQ(seven.slot, 1) << "id 6 was used a frame longer ago";
  EXPECT_EQ(seven.evicted, 1);
  EXPECT_EQ(c.SlotOf(6), -1);
  EXPECT_EQ(c.IdOf(1), 7);
  EXPECT_EQ(c.IsUsedThisFrame(1), 1);
}

TEST(PavixTextureCache, ATieGoesToTheLowestSlot) {
  CTextureCache c;
  c.Init(2, 16);
  Get(c, 1);
  Get(c, 2);
  c.NewFrame();
  const Got g = Get(c, 3);
  EXPECT_EQ(g.slot, 0);
  EXPECT_EQ(g.evicted, 0);
  EXPECT_EQ(c.SlotOf(1), -1);
  EXPECT_EQ(c.SlotOf(2), 1);
}

TEST(PavixTextureCache, UseCountsPerFrameAndReset) {
  CTextureCache c;
  c.Init(3, 8);
  Get(c, 4);
  Get(c, 4);
  Get(c, 4);
  EXPECT_EQ(c.GetUseCount(0), 3);
  c.NewFrame();
  EXPECT_EQ(c.GetUseCount(0), 0);
  EXPECT_EQ(c.IsUsedThisFrame(0), 0);
  c.Reset();
  EXPECT_EQ(c.SlotOf(4), -1);
  EXPECT_EQ(c.Frame(), 0u);
  EXPECT_EQ(Get(c, 4).isNew, 1);
}

TEST(PavixTextureCache, IdsOutsideTheTableGetNoSlot) {
  CTextureCache c;
  c.Init(2, 8);
  for (int id : {-1, 8, 4047}) {
    const Got g = Get(c, id);
    EXPECT_EQ(g.slot, -1) << id;
    EXPECT_EQ(g.isNew, 0) << id;
  }
  CTextureCache empty;
  empty.Init(0, 8);
  EXPECT_EQ(Get(empty, 1).slot, -1);
}

TEST(PavixPointInTriangle, InsideOutsideAndOnTheEdges) {
  // Clockwise on the screen, as the pipeline draws.
  const float a[2] = {0, 0}, b[2] = {10, 0}, c[2] = {10, 10};
  struct Case {
    float x, y;
    int inside;
  };
  for (const Case k : {Case{8, 2, 1}, Case{5, 0, 1}, Case{10, 5, 1}, Case{5, 5, 1}, Case{0, 0, 1}, Case{2, 8, 0},
                       Case{11, 5, 0}, Case{5, -0.1f, 0}}) {
    const float p[2] = {k.x, k.y};
    EXPECT_EQ(pavix::PointInTriangle2D(p, a, b, c), k.inside) << k.x << "," << k.y;
  }
}

}  // namespace

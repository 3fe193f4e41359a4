// The world map's thumbnail cells: reuse by name, least recently used
// eviction on the injected clock, and clipping of a copy to the visible view.
#include "quest/thumbnail_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/core/clock.h"
#include "render/cdd.h"
#include "render/engine_3d.h"
#include "render/recording_renderer.h"
#include "render/skinned_model.h"

namespace {

namespace pv = platform::video;

class Thumbnails : public ::testing::Test {
 protected:
  Thumbnails() {
    cache.BeginFrame(nullptr, 640, 480);
  }
  // Pictures rendered so far: each render fills its cell once.
  long Renders() const { return std::count(renderer.events.begin(), renderer.events.end(), "fill"); }

  platform::FakeClock clock{1000};
  rendertest::RecordingRenderer renderer;
  rendertest::InstalledEngine engine{renderer};
  CThumbnailCache cache;
  CSkinnedModel model;
};

}  // namespace

TEST_F(Thumbnails, SameNameIsRenderedOncePerFrame) {
  EXPECT_EQ(cache.Find("orc", model), 0);
  clock.Advance(10);
  EXPECT_EQ(cache.Find("wolf", model), 1);
  clock.Advance(10);
  EXPECT_EQ(cache.Find("ORC", model), 0);
  EXPECT_EQ(Renders(), 2);
  EXPECT_EQ(cache.entries[0].lastUse, 1020u);
  EXPECT_STREQ(cache.entries[0].name, "orc");
}

TEST_F(Thumbnails, SixDistinctModelsInOneFrameEachGetAPicture) {
  const char* names[] = {"a", "b", "c", "d", "e", "f"};
  int indices[6];
  for (int i = 0; i < 6; ++i) {
    clock.Advance(5);
    // "a" is used again just before the sixth, so "b" is the oldest.
    if (i == 5) {
      clock.Advance(1);
      EXPECT_EQ(cache.Find("a", model), 0);
    }
    indices[i] = cache.Find(names[i], model);
    ASSERT_GE(indices[i], 0) << names[i];
  }
  EXPECT_EQ(Renders(), 6);  // each its own picture, none skipped
  EXPECT_EQ(indices[5], 1);
  EXPECT_STREQ(cache.entries[1].name, "f");
  EXPECT_STREQ(cache.entries[0].name, "a");
  // "b" comes up again: rendered once more, in the oldest cell ("c").
  EXPECT_EQ(cache.Find("b", model), 2);
  EXPECT_EQ(Renders(), 7);
}

TEST_F(Thumbnails, EmptiedAtTheStartOfAFrame) {
  cache.Find("orc", model);
  cache.BeginFrame(nullptr, 640, 480);
  for (const auto& e : cache.entries) {
    EXPECT_EQ(e.name[0], '\0');
    EXPECT_EQ(e.lastUse, 0u);
  }
  EXPECT_EQ(cache.Find("orc", model), 0);
  EXPECT_EQ(Renders(), 2);
}

TEST_F(Thumbnails, LongNamesAreCutToTheField) {
  const std::string longName(120, 'x');
  EXPECT_EQ(cache.Find(longName, model), 0);
  EXPECT_EQ(std::string(cache.entries[0].name), std::string(79, 'x'));
}

TEST(ThumbnailCells, CellsFillTheSpareColumn) {
  EXPECT_EQ(CThumbnailCache::Cell(0, 832), (pv::Rect{736, 0, 832, 96}));
  EXPECT_EQ(CThumbnailCache::Cell(4, 832), (pv::Rect{736, 384, 832, 480}));
}

TEST(ThumbnailCells, CopyIsClippedToTheVisibleView) {
  struct Case {
    pv::Rect destination;
    bool copied;
    pv::Rect dst, src;
  } cases[] = {
      {{10, 10, 106, 106}, true, {10, 10, 106, 106}, {736, 96, 832, 192}},
      {{-30, 10, 66, 106}, true, {0, 10, 66, 106}, {766, 96, 832, 192}},      // half off the left
      {{600, 440, 696, 536}, true, {600, 440, 640, 480}, {736, 96, 776, 136}},  // right and bottom
      {{10, -40, 106, 56}, true, {10, 0, 106, 56}, {736, 136, 832, 192}},     // top
      {{640, 10, 736, 106}, false, {}, {}},                                   // entirely to the right
      {{-96, 10, 0, 106}, false, {}, {}},                                     // entirely to the left
  };
  for (const Case& c : cases) {
    pv::Rect dst = c.destination;
    pv::Rect src = CThumbnailCache::Cell(1, 832);
    EXPECT_EQ(ClipBlit(dst, src, 640, 480), c.copied) << c.destination.left;
    if (!c.copied) continue;
    EXPECT_EQ(dst, c.dst) << c.destination.left;
    EXPECT_EQ(src, c.src) << c.destination.left;
  }
}

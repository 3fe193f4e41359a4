// The demo quest's world map drawn end to end: the map edit mode, the
// quest's map drawing, the 3D engine, the renderer, the display device and
// the emulated 3D device, with the window system's text for the labels,
// against a reference picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "editor/map_edit_mode.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "map_reference_picture.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/thumbnail_cache.h"
#include "quest/world_graph.h"
#include "tools/render_png/demo_scene.h"
#include "tools/render_png/png_writer.h"

namespace kelvartest {
namespace {

using namespace kelvar;

constexpr int kWidth = kMapPictureWidth;
constexpr int kHeight = kMapPictureHeight;

class WorldMapPicture : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ASSERT_TRUE(StartOnDemoQuest());
    ASSERT_NE(CRoomView::Instance(), nullptr);
    ASSERT_EQ(CRoomView::Instance()->EditMode(), &TheMapEditMode());
  }

  // The top-left 640 x 480 pixels of the back surface after one map frame
  // showing the map from (left, top).
  std::vector<std::uint8_t> Draw(int left, int top) {
    Quest().mapView = MapRect{left, top, left + kWidth, top + kHeight};
    TheMapEditMode().Render(nullptr);
    const std::vector<std::uint8_t> all = BackSurfaceRgb();
    const int width = RenderSurfaceRect().Width();
    std::vector<std::uint8_t> rgb;
    if (all.size() < std::size_t(width) * kHeight * 3 || width < kWidth) return rgb;
    for (int y = 0; y < kHeight; ++y) {
      const auto row = all.begin() + std::ptrdiff_t(y) * width * 3;
      rgb.insert(rgb.end(), row, row + kWidth * 3);
    }
    return rgb;
  }
};

TEST_F(WorldMapPicture, TheCryptCornerOfTheDemoMapMatchesItsReferencePicture) {
  const std::vector<std::uint8_t> rgb = Draw(760, 40);
  ASSERT_EQ(rgb.size(), std::size_t(kWidth) * kHeight * 3);
  // The wolf guarding the chest is a 96 x 96 thumbnail: its picture differs
  // from the grey of its cell's background.
  const std::size_t corner = (std::size_t(200 - 40 + 2) * kWidth + 1100 - 760 + 2) * 3;
  int wolfPixels = 0;
  for (int y = 200 - 40 + 2; y < 296 - 40 - 2; ++y) {
    for (int x = 1100 - 760 + 2; x < 1196 - 760 - 2; ++x) {
      const std::size_t i = (std::size_t(y) * kWidth + x) * 3;
      if (rgb[i] != rgb[corner] || rgb[i + 1] != rgb[corner + 1] || rgb[i + 2] != rgb[corner + 2]) ++wolfPixels;
    }
  }
  EXPECT_GT(wolfPixels, 100) << "the crypt wolf's model shows in its box";
  ExpectMapReferencePicture(rgb, "demo_map_crypt.png");
}

// Object nodes show the sprite the pickers show for them: the row their game
// item's third text names (the demo's rows are "SPR_..."), not the sprite
// table's first row. The guard's rusty key (origin ITKEY), a sword and a
// shield given by two more monsters, and the chest's golden cup, in a row.
TEST_F(WorldMapPicture, ObjectNodesShowEachObjectsOwnSprite) {
  QuestState& q = Quest();
  SetField(FindMonster(q.monsters, "cryptwolf")->gift, "ITSWORD");
  CMonster* knight = NewMonster(q.monsters);
  SetField(knight->key, "knight");
  SetField(knight->monsterClass, "orc");
  SetField(knight->gift, "ITSHIELD");
  knight->AddInstance();
  for (CMonster* m = q.monsters; m; m = m->next) m->SnapshotPositions();
  for (CMachine* m = q.machines; m; m = m->next) m->SnapshotPositions();
  RebuildQuestGraph();
  const char* objects[] = {"rustykey", "ITSWORD", "ITSHIELD", "goldcup"};
  constexpr int kTop = 440, kRow = 600;
  std::vector<GraphNode*> nodes;
  for (int i = 0; i < 4; ++i) {
    GraphNode* n = FirstNodeNamed(objects[i]);
    ASSERT_NE(n, nullptr) << objects[i];
    ASSERT_EQ(n->kind, kNodeObject) << objects[i];
    n->x = 100 + 150 * i;
    n->y = kRow;
    nodes.push_back(n);
  }
  const std::vector<std::uint8_t> rgb = Draw(0, kTop);
  ASSERT_EQ(rgb.size(), std::size_t(kWidth) * kHeight * 3);
  if (const char* dump = std::getenv("MAP_PICTURE_DUMP")) WritePng(dump, kWidth, kHeight, rgb);
  // Each node shows a 48 x 48 cell of the demo's sheet; no two alike. (Grid
  // lines and links crossing two boxes alone make up to about 250 pixels.)
  std::vector<std::uint8_t> boxes[4];
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(nodes[i]->right - nodes[i]->left, 48) << objects[i];
    EXPECT_EQ(nodes[i]->bottom - nodes[i]->top, 48) << objects[i];
    for (int y = kRow - kTop; y < kRow - kTop + 48; ++y) {
      const auto row = rgb.begin() + (std::ptrdiff_t(y) * kWidth + nodes[i]->x) * 3;
      boxes[i].insert(boxes[i].end(), row, row + 48 * 3);
    }
  }
  for (int i = 0; i < 4; ++i) {
    for (int j = i + 1; j < 4; ++j) {
      int differing = 0;
      for (std::size_t k = 0; k + 2 < boxes[i].size(); k += 3)
        differing += boxes[i][k] != boxes[j][k] || boxes[i][k + 1] != boxes[j][k + 1] || boxes[i][k + 2] != boxes[j][k + 2];
      EXPECT_GT(differing, 400) << objects[i] << " and " << objects[j] << " look different";
    }
  }
  ExpectMapReferencePicture(rgb, "demo_map_objects.png");
}

TEST_F(WorldMapPicture, SixDistinctMonstersInOneFrameEachShowTheirOwnPicture) {
  // Six quest monsters of the demo's two classes in turn, one node each in a
  // row: five thumbnail cells, so a cell is rendered again for the sixth.
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) n->x += 5000;
  for (CRoom* r = Quest().rooms; r; r = r->next) r->left += 5000, r->right += 5000;
  std::vector<GraphNode*> nodes;
  for (int i = 0; i < 6; ++i) {
    const std::string key = "beast" + std::to_string(i);
    CMonster* m = NewMonster(Quest().monsters);
    SetField(m->key, key);
    SetField(m->monsterClass, i % 2 ? "wolf" : "orc");
    GraphNode* n = NewGraphNode(Quest().graphNodes);
    n->Set(kNodeMonsterParam, key, 50 + i * 100, 20, nullptr);
    nodes.push_back(n);
  }
  const std::vector<std::uint8_t> rgb = Draw(0, 0);
  ASSERT_EQ(rgb.size(), std::size_t(kWidth) * kHeight * 3);
  if (const char* dump = std::getenv("MAP_PICTURE_DUMP")) WritePng(dump, kWidth, kHeight, rgb);
  // The inside of each node's frame (clear of the grid's labels).
  std::vector<std::uint8_t> boxes[6];
  for (int i = 0; i < 6; ++i) {
    for (int y = 21; y < 115; ++y) {
      const auto row = rgb.begin() + (std::ptrdiff_t(y) * kWidth + nodes[i]->x + 1) * 3;
      boxes[i].insert(boxes[i].end(), row, row + 94 * 3);
    }
  }
  const auto differing = [](const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int n = 0;
    for (std::size_t k = 0; k + 2 < a.size(); k += 3)
      if (a[k] != b[k] || a[k + 1] != b[k + 1] || a[k + 2] != b[k + 2]) ++n;
    return n;
  };
  // The grey of the thumbnail cells' background, as the box's corner shows it.
  for (int i = 0; i < 6; ++i) {
    const std::vector<std::uint8_t> background = [&] {
      std::vector<std::uint8_t> b;
      for (std::size_t k = 0; k < boxes[i].size(); k += 3) b.insert(b.end(), boxes[i].begin(), boxes[i].begin() + 3);
      return b;
    }();
    EXPECT_GT(differing(boxes[i], background), 100) << "node " << i << " shows a model";
  }
  // Each shows its own class: like the other nodes of its class, unlike the other class.
  // (Cells at other heights of the column round a few edge pixels differently.)
  const int box = 94 * 94;
  const int acrossClasses = differing(boxes[0], boxes[1]);
  EXPECT_GT(acrossClasses, box / 20) << "an orc and a wolf look different";
  for (int i = 2; i < 6; ++i) EXPECT_LT(differing(boxes[i], boxes[i % 2]), acrossClasses / 3) << "node " << i;
}

}  // namespace
}  // namespace kelvartest

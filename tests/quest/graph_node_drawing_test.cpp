// World-map nodes: the rectangle each kind gets (shared by drawing and room
// membership), what each kind hands the renderer, and the labels.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "datafiles/item_object_bytes.h"
#include "datafiles/item_object_table.h"
#include "datafiles/trisprite_table.h"
#include "doc_fixture.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"
#include "platform/video/text_functions.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/machine.h"
#include "quest/quest_object.h"
#include "quest/mesh_banks.h"
#include "quest/room.h"
#include "quest/world_graph.h"
#include "render/engine_3d.h"
#include "render/recording_renderer.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"

namespace {

namespace pv = platform::video;
using rendertest::DrawCall;

class NodeDrawing : public questtest::DocTest {
 protected:
  GraphNode* Node(int kind, std::string_view name, int x, int y) {
    GraphNode* n = NewGraphNode(Quest().graphNodes);
    n->Set(kind, name, x, y, nullptr);
    return n;
  }
  // A mesh of the demo's blocks in the custom-mesh bank; its name.
  std::string WithMesh() {
    DemoOutput out;
    AddBlockMeshes(out);
    out.Finish();
    const DemoBlock& block = DemoBlocks().front();
    CustomMeshBank().Scan(("rozizuzi\\o4d\\" + block.set).c_str(), "o3d");
    return block.name;
  }
  std::vector<DrawCall> Lines() const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : renderer.calls) {
      if (c.kind == DrawCall::Line) out.push_back(c);
    }
    return out;
  }
  static pv::Rect RectOf(const GraphNode& n) { return {n.left, n.top, n.right, n.bottom}; }

  rendertest::RecordingRenderer renderer;
  rendertest::InstalledEngine engine{renderer};
};

}  // namespace

TEST_F(NodeDrawing, RectangleByKind) {
  struct Case {
    int kind;
    pv::Rect rect;
  } cases[] = {
      {kNodeMachine, {100, 200, 148, 248}},  // no mesh of that name
      {kNodeSkeleton, {100, 200, 196, 296}},
      {kNodeMonsterParam, {100, 200, 196, 296}},
      {kNodeMonster, {100, 200, 196, 296}},
  };
  for (const Case& c : cases) {
    GraphNode* n = Node(c.kind, "nothing", 100, 200);
    EXPECT_EQ(n->MapRect(), c.rect) << c.kind;
    n->Draw(0.0f, pv::Rect{0, 0, 640, 480});
    EXPECT_EQ(RectOf(*n), c.rect) << c.kind;
  }
  // At the map's far end the box stops at the largest position.
  const int far = std::numeric_limits<int>::max() - 10;
  EXPECT_EQ(Node(kNodeMonster, "m", far, far)->MapRect().right, std::numeric_limits<int>::max());
}

TEST_F(NodeDrawing, MeshNodeRectangleIsItsMeshBoundsBeforeAndAfterDrawing) {
  const std::string mesh = WithMesh();
  GraphNode* n = Node(kNodeMachine, mesh, 100, 200);
  const pv::Rect before = n->MapRect();
  // Inside the 64 x 64 picture box, and tighter than the 48 x 48 fallback.
  EXPECT_GT(before.left, 100);
  EXPECT_GT(before.top, 200);
  EXPECT_LE(before.right, 164);
  EXPECT_LE(before.bottom, 264);
  EXPECT_LT(before.left, before.right);
  EXPECT_LT(before.top, before.bottom);
  EXPECT_NE(before, (pv::Rect{100, 200, 148, 248}));

  // Room membership sees that rectangle without a draw having happened.
  n->owner = n;  // membership only asks that the node has an owner
  CRoom* west = questtest::AddRoom("west", 0, 0, 0, 0, before.left - 1, 600);
  CRoom* touching = questtest::AddRoom("touching", 0, 0, 0, 0, before.left, 600);
  EXPECT_FALSE(west->IsNodeInRoom(n));
  EXPECT_TRUE(touching->IsNodeInRoom(n));

  n->Draw(0.0f, pv::Rect{0, 0, 640, 480});
  EXPECT_EQ(RectOf(*n), before);
  EXPECT_FALSE(renderer.calls.empty());  // the mesh's faces
  for (const DrawCall& c : Lines()) EXPECT_NE(c.color, CColor::FromRGBA(255, 255, 180, 255));
  n->owner = nullptr;
}

TEST_F(NodeDrawing, MachineWithoutMeshShowsALightYellowOutline) {
  GraphNode* n = Node(kNodeMachine, "missing", 100, 200);
  n->Draw(0.0f, pv::Rect{40, 50, 680, 530});
  const std::vector<DrawCall> lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].v[0].sx, 60);
  EXPECT_EQ(lines[0].v[0].sy, 150);
  EXPECT_EQ(lines[1].v[1].sx, 108);
  EXPECT_EQ(lines[1].v[1].sy, 198);
  for (const DrawCall& l : lines) EXPECT_EQ(l.color, CColor::FromRGBA(255, 255, 180, 255));
}

TEST_F(NodeDrawing, ModelNodeFrameAndNodesOutsideTheView) {
  GraphNode* n = Node(kNodeMonster, "orc", 100, 200);
  n->Draw(0.0f, pv::Rect{40, 50, 680, 530});
  std::vector<DrawCall> lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].v[0].sx, 60);
  EXPECT_EQ(lines[0].v[0].sy, 150);
  EXPECT_EQ(lines[0].v[1].sx, 156);
  EXPECT_EQ(lines[2].v[0].sy, 246);
  for (const DrawCall& l : lines) EXPECT_EQ(l.color, CColor::FromRGBA(255, 255, 255, 255));

  // Entirely outside: nothing drawn, the rectangle follows the node all the same.
  renderer.calls.clear();
  n->x = 2000;
  n->Draw(0.0f, pv::Rect{40, 50, 680, 530});
  EXPECT_TRUE(renderer.calls.empty());
  EXPECT_EQ(RectOf(*n), (pv::Rect{2000, 200, 2096, 296}));
  // A node without a name is neither drawn nor moved.
  GraphNode* unnamed = Node(kNodeMonster, "", 10, 10);
  unnamed->Draw(0.0f, pv::Rect{0, 0, 640, 480});
  EXPECT_TRUE(renderer.calls.empty());
  EXPECT_EQ(RectOf(*unnamed), (pv::Rect{}));
}

TEST_F(NodeDrawing, LabelNamesTheInstanceForInstanceKinds) {
  struct Case {
    int kind;
    bool withKey;
    std::string text;
  } cases[] = {
      {kNodeMachine, true, "door1"},   {kNodeMachine, false, "door"},  {kNodeSkeleton, true, "door1"},
      {kNodeMonster, true, "door1"},   {kNodeMonsterParam, true, "door"}, {kNodeObject, true, "door"},
  };
  pv::DrawContext dc;
  for (const Case& c : cases) {
    GraphNode* n = Node(c.kind, "door", 0, 0);
    if (c.withKey) NewGraphKey(n->keys)->Set("door1", nullptr, nullptr);
    n->left = 100, n->top = 50, n->right = 200, n->bottom = 150;
    pv::ScopedRecorder recorder;
    n->DrawLabel(&dc, pv::Rect{10, 20, 650, 500});
    // 8 pixels a character without window-system text functions.
    const int x = 150 - 4 * static_cast<int>(c.text.size()) - 10;
    const std::vector<std::string> drawn = pv::Recorder::LinesStartingWith("TextOut");
    ASSERT_EQ(drawn.size(), 1u) << c.kind;
    EXPECT_EQ(drawn[0], "TextOut " + std::to_string(x) + " 132 " + c.text) << c.kind;
    FreeKeyList(n->keys);
  }
  pv::ScopedRecorder recorder;
  Node(kNodeMonster, "", 0, 0)->DrawLabel(&dc, pv::Rect{0, 0, 640, 480});
  GraphNode* far = Node(kNodeMonster, "far", 5000, 5000);
  far->left = 5000, far->top = 5000, far->right = 5096, far->bottom = 5096;
  far->DrawLabel(&dc, pv::Rect{0, 0, 640, 480});
  EXPECT_TRUE(pv::Recorder::LinesStartingWith("TextOut").empty());
}

namespace {

// The game's item "ITKEY", shown with the sprite row its third text names,
// "SPR_KEY": cell format 1 (one unit wide, three high) of 24 pixels. The
// table's first row is another sprite, "A_CUP", a 48-pixel square, and a
// row is named like the item itself; "ITODD" names a sprite no row has.
class ObjectNodeDrawing : public NodeDrawing {
 protected:
  ObjectNodeDrawing() {
    CItemObject key = itembytes::Distinct("ITKEY");
    SetField(key.text3, "SPR_KEY");
    CItemObject odd = itembytes::Distinct("ITODD");
    SetField(odd.text3, "SPR_NONE");
    EXPECT_TRUE(g_itemObjectTable.Read(itembytes::File({itembytes::Row(key, 9), itembytes::Row(odd, 9)})));
    testsupport::Bytes cup, named, sprite;
    cup.u16(1).fixed("A_CUP", 32).u16(0).u16(0).u16(830).u16(2).u16(24).i32(9);
    named.u16(1).fixed("ITKEY", 32).u16(5).u16(5).u16(830).u16(0).u16(24).i32(9);
    sprite.u16(1).fixed("SPR_KEY", 32).u16(3).u16(2).u16(830).u16(1).u16(24).i32(9);
    EXPECT_TRUE(g_trispriteTable.Read(tablebytes::File({sprite, named, cup})));
    EXPECT_STREQ(g_trispriteTable.Row(0).name, "A_CUP");
  }
  ~ObjectNodeDrawing() override {
    g_itemObjectTable.Free();
    g_trispriteTable.Free();
  }
  std::vector<DrawCall> Quads() const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : renderer.calls)
      if (c.kind == DrawCall::Quad) out.push_back(c);
    return out;
  }
};

}  // namespace

// No item, or an item whose sprite no row has (never the table's first row).
TEST_F(ObjectNodeDrawing, AnObjectWithoutAPictureShowsAWhiteFrame) {
  questtest::AddObject("odd_thing", "ITODD");
  for (const char* name : {"pebble", "ITODD", "odd_thing"}) {
    renderer.calls.clear();
    GraphNode* n = Node(kNodeObject, name, 100, 200);
    EXPECT_EQ(n->MapRect(), (pv::Rect{100, 200, 148, 248})) << name;
    n->Draw(0.0f, pv::Rect{40, 50, 680, 530});
    EXPECT_EQ(RectOf(*n), (pv::Rect{100, 200, 148, 248})) << name;
    const std::vector<DrawCall> lines = Lines();
    ASSERT_EQ(lines.size(), 4u) << name;
    EXPECT_EQ(lines[0].v[0].sx, 60);
    EXPECT_EQ(lines[0].v[0].sy, 150);
    for (const DrawCall& l : lines) EXPECT_EQ(l.color, CColor::FromRGBA(255, 255, 255, 255));
    EXPECT_TRUE(Quads().empty()) << name;
    RemoveGraphNode(Quest().graphNodes, n);
  }
}

TEST_F(ObjectNodeDrawing, AnItemOrAQuestObjectOfItShowsTheItemsSpriteInItsRectangle) {
  questtest::AddObject("rusty_key", "ITKEY");
  for (const char* name : {"ITKEY", "itkey", "rusty_key"}) {
    renderer.calls.clear();
    GraphNode* n = Node(kNodeObject, name, 100, 200);
    EXPECT_EQ(n->MapRect(), (pv::Rect{100, 200, 124, 272})) << name;
    n->Draw(0.0f, pv::Rect{40, 50, 680, 530});
    EXPECT_EQ(RectOf(*n), (pv::Rect{100, 200, 124, 272})) << name;
    EXPECT_TRUE(Lines().empty()) << name;
    const std::vector<DrawCall> quads = Quads();
    ASSERT_EQ(quads.size(), 1u) << name;
    // Centred on the rectangle's middle, textured from the sprite's cell.
    EXPECT_EQ(quads[0].v[0].sx, 60);
    EXPECT_EQ(quads[0].v[0].sy, 150);
    EXPECT_EQ(quads[0].v[2].sx, 84);
    EXPECT_EQ(quads[0].v[2].sy, 222);
    EXPECT_EQ(quads[0].v[0].u, 72.0f);
    EXPECT_EQ(quads[0].v[0].v, 48.0f);
    RemoveGraphNode(Quest().graphNodes, n);
  }
}

TEST_F(ObjectNodeDrawing, AQuestObjectWithItsOwnSpriteCellTakesThatCellsSize) {
  CQuestObject* key = questtest::AddObject("rusty_key", "ITKEY");
  SetField(key->sprite.name, "custom");
  key->sprite.cellFormat = 2;  // two by two units
  key->sprite.cellSize = 16;
  GraphNode* n = Node(kNodeObject, "rusty_key", 100, 200);
  EXPECT_EQ(n->MapRect(), (pv::Rect{100, 200, 132, 232}));
  // Outside the view: not drawn, the rectangle set all the same.
  n->Draw(0.0f, pv::Rect{1000, 1000, 1640, 1480});
  EXPECT_EQ(RectOf(*n), (pv::Rect{100, 200, 132, 232}));
  EXPECT_TRUE(renderer.calls.empty());
  // Its own cell is its picture whatever its origin, as in the pickers.
  CQuestObject* carved = questtest::AddObject("carved", "ITGONE");
  carved->sprite = key->sprite;
  EXPECT_EQ(Node(kNodeObject, "carved", 100, 200)->MapRect(), (pv::Rect{100, 200, 132, 232}));
}

TEST_F(NodeDrawing, DrawingAMachineNodeMovesItsInstancesTooltip) {
  InstallView();
  Define(questtest::kLampMachine);
  CMachine* lamp = questtest::AddLampNode(10, 10)->OwnerMachine();
  ASSERT_NE(lamp, nullptr);
  GraphNode* node = nullptr;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next)
    if (n->OwnerMachine() == lamp && (n->kind == kNodeMachine || n->kind == kNodeSkeleton)) node = n;
  ASSERT_NE(node, nullptr);
  node->x = 300;
  node->y = 200;
  node->Draw(0.0f, pv::Rect{100, 50, 740, 530});
  const ElementInstance* instance = lamp->instances;
  ASSERT_EQ(view.tooltipRects.count(instance), 1u);
  const MapRect r = view.tooltipRects[instance];
  EXPECT_EQ(r.left, node->left - 100);
  EXPECT_EQ(r.top, node->top - 50);
  EXPECT_EQ(r.right, node->right - 100);
  EXPECT_EQ(r.bottom, node->bottom - 50);
  // Other kinds have no tooltip.
  view.tooltipRects.clear();
  Node(kNodeMonster, "orc", 0, 0)->Draw(0.0f, pv::Rect{0, 0, 640, 480});
  EXPECT_TRUE(view.tooltipRects.empty());
}

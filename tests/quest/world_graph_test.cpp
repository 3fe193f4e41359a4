#include "quest/world_graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "quest/machine.h"
#include "quest/monster.h"
#include "quest_fixture.h"

namespace {

using questtest::KeyNames;
using questtest::LinkBetween;
using questtest::LinkCount;
using questtest::NodeCount;
using questtest::NodeNamed;
using questtest::NodesNamed;
using questtest::QuestTest;

// Values come out in file order: 1 frame, 2 key (IN), 3 loot (OUT), 4 spare
// (OUT), 5 guard (IN monster), 6 pet (OUT monster).
constexpr const char* kChest =
    "STATE_MACHINE { KEY { chest }"
    "  PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
    "  PARAM { KEY { 2 } TYPE { OBJECT } IN {} }"
    "  PARAM { KEY { 3 } TYPE { OBJECT } OUT {} }"
    "  PARAM { KEY { 4 } TYPE { OBJECT } OUT {} }"
    "  PARAM { KEY { 5 } TYPE { MONSTER } IN {} }"
    "  PARAM { KEY { 6 } TYPE { MONSTER } OUT {} }"
  "  COMMENT [ Caf\xe9\r\n\tbox\r\n] }";

class WorldGraph : public QuestTest {
 protected:
  CMonster* AddMonster(std::string_view key, std::string_view gift) {
    CMonster* m = NewMonster(Quest().monsters);
    SetField(m->key, key);
    SetField(m->gift, gift);
    return m;
  }
  CMachine* AddMachine(std::string_view typeKey, std::string_view name) {
    return CreateMachine(Quest().machines, kMachineStateMachine, typeKey, name);
  }
  // A chest naming the object "key" (IN), "gold" (OUT), nothing (OUT), the
  // quest monster "orc" (IN) and the monster class "wolf" (OUT).
  CMachine* Chest(std::string_view name = "chest1") {
    CMachine* m = AddMachine("chest", name);
    m->FindParam(1)->SetText("chest.o3d");
    m->FindParam(2)->SetText("key");
    m->FindParam(3)->SetText("gold");
    m->FindParam(5)->SetText("orc");
    m->FindParam(6)->SetText("wolf");
    return m;
  }
  static void ExpectAt(const GraphNode* node, int x, int y) {
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->x, x) << node->name;
    EXPECT_EQ(node->y, y) << node->name;
  }
};

TEST_F(WorldGraph, MachineInstanceNodesAndCoordinates) {
  Define(kChest);
  questtest::SetMonsterClasses({"WOLF"});
  AddMonster("orc", "ring");
  AddMonster("wolf", "fang");  // a class name: its gift is not followed
  InstallView();
  view.rect = MapRect{1000, 2000, 1736, 2480};
  CMachine* chest = Chest();
  ElementInstance* instance = chest->AddInstance("", 0, 0, nullptr);

  GraphNode* main = NodeNamed("chest.o3d");
  ExpectAt(main, 1128, 2128);
  EXPECT_EQ(main->kind, kNodeMachine);
  EXPECT_EQ(main->OwnerMachine(), chest);
  EXPECT_STREQ(main->title, "chest.o3d");
  ASSERT_NE(main->keys, nullptr);
  EXPECT_EQ(main->keys->value, chest->FindParam(1));

  ExpectAt(NodeNamed("key"), 1128, 2000);           // IN: up 128
  ExpectAt(NodeNamed("gold"), 1128, 2256);          // OUT: down 128
  ExpectAt(NodeNamed("__chest1_OUT"), 1192, 2384);  // next OUT, 64 right
  ExpectAt(NodeNamed("orc"), 1192, 1872);           // next IN
  ExpectAt(NodeNamed("ring"), 1192, 2484);          // the orc's gift: OUT cursor down 100
  ExpectAt(NodeNamed("wolf"), 1256, 2612);
  EXPECT_EQ(NodeNamed("fang"), nullptr);
  EXPECT_EQ(NodeCount(), 7u);

  EXPECT_EQ(NodeNamed("orc")->kind, kNodeMonsterParam);
  EXPECT_EQ(NodeNamed("orc")->owner, nullptr);
  EXPECT_EQ(NodeNamed("key")->kind, kNodeObject);

  const GraphLink* in = LinkBetween(NodeNamed("key"), main);
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(in->owner, chest->FindParam(2));
  EXPECT_STREQ(in->name, "chest1_0");
  EXPECT_NE(LinkBetween(main, NodeNamed("gold")), nullptr);
  EXPECT_NE(LinkBetween(main, NodeNamed("__chest1_OUT")), nullptr);
  EXPECT_NE(LinkBetween(NodeNamed("orc"), main), nullptr);
  EXPECT_EQ(LinkBetween(NodeNamed("orc"), NodeNamed("ring"))->owner, chest->FindParam(5));
  EXPECT_NE(LinkBetween(main, NodeNamed("wolf")), nullptr);
  EXPECT_EQ(LinkCount(), 6u);

  // Control runs become one space; bytes of 128 and above are text.
  ASSERT_EQ(view.tooltips.count(instance), 1u);
  EXPECT_EQ(view.tooltips[instance], " Caf\xe9 box");
}

TEST_F(WorldGraph, MonsterInstanceWithAGift) {
  InstallView();
  view.rect = MapRect{-300, 40, 436, 520};
  CMonster* orc = AddMonster("orc", "ring");
  ElementInstance* instance = orc->AddInstance();
  GraphNode* node = NodeNamed("orc");
  ExpectAt(node, -300, 40);
  EXPECT_EQ(node->kind, kNodeMonster);
  EXPECT_EQ(node->OwnerMonster(), orc);
  EXPECT_EQ(KeyNames(node), std::vector<std::string>{"orc_0"});
  EXPECT_EQ(node->keys->value, nullptr);
  GraphNode* ring = NodeNamed("ring");
  ExpectAt(ring, -300, 140);
  EXPECT_EQ(ring->kind, kNodeObject);
  const GraphLink* link = LinkBetween(node, ring);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->owner, nullptr);
  EXPECT_STREQ(link->name, instance->name);
  EXPECT_EQ(FindGraphLink(kNodeObject, nullptr, "ORC_0"), link);
  EXPECT_EQ(FindGraphLink(kNodeMachine, nullptr, "orc_0"), nullptr);
  EXPECT_TRUE(view.tooltips.empty());
}

struct BaseCase {
  const char* label;
  bool withView;
  bool clickStored;
  bool machine;
  int x, y;
};

class PlacementBases : public WorldGraph, public ::testing::WithParamInterface<BaseCase> {};

TEST_P(PlacementBases, NewNodesGoToTheBase) {
  const BaseCase c = GetParam();
  Define(kChest);
  if (c.withView) InstallView();
  view.rect = MapRect{500, 600, 1236, 1080};
  view.clickStored = c.clickStored;
  view.clickX = 30;
  view.clickY = 20;
  if (c.machine) {
    Chest()->AddInstance("", 0, 0, nullptr);
    ExpectAt(NodeNamed("chest.o3d"), c.x, c.y);
  } else {
    AddMonster("orc", "")->AddInstance();
    ExpectAt(NodeNamed("orc"), c.x, c.y);
  }
  if (c.withView) {
    EXPECT_FALSE(view.clickStored) << "the stored click point is used once";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacementBases,
    ::testing::Values(BaseCase{"NoViewMachine", false, false, true, 128, 128},
                      BaseCase{"NoViewMonster", false, false, false, 128, 128},
                      BaseCase{"ViewMachine", true, false, true, 628, 728},
                      BaseCase{"ViewMonster", true, false, false, 500, 600},
                      BaseCase{"ClickMachine", true, true, true, 530, 620},
                      BaseCase{"ClickMonster", true, true, false, 530, 620}),
    [](const ::testing::TestParamInfo<BaseCase>& param) { return std::string(param.param.label); });

TEST_F(WorldGraph, ViewWithoutAModeCountsAsNoView) {
  InstallView();
  view.hasMode = false;
  view.clickStored = true;
  AddMonster("orc", "")->AddInstance();
  ExpectAt(NodeNamed("orc"), 128, 128);
  EXPECT_TRUE(view.clickStored);
}

TEST_F(WorldGraph, InstancesShareObjectNodes) {
  Define(kChest);
  CMachine* chest = Chest();
  ElementInstance* a = chest->AddInstance("", 0, 0, nullptr);
  chest->AddInstance("", 0, 0, nullptr);
  GraphNode* key = NodeNamed("key");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(KeyNames(key), (std::vector<std::string>{"chest1_1", "chest1_0"}));
  EXPECT_EQ(NodesNamed("chest.o3d").size(), 2u);
  EXPECT_EQ(NodesNamed("orc").size(), 2u) << "monster nodes of parameters are never shared";

  chest->DeleteInstance(a->name);
  ASSERT_EQ(NodeNamed("key"), key);
  EXPECT_EQ(KeyNames(key), std::vector<std::string>{"chest1_1"});
  EXPECT_EQ(NodesNamed("chest.o3d").size(), 1u);
  EXPECT_EQ(FindGraphLink(kNodeObject, chest->FindParam(2), "chest1_0"), nullptr);
  EXPECT_NE(FindGraphLink(kNodeObject, chest->FindParam(2), "chest1_1"), nullptr);

  chest->DeleteInstance("chest1_1");
  EXPECT_EQ(NodeCount(), 0u);
  EXPECT_EQ(LinkCount(), 0u);
}

TEST_F(WorldGraph, ObjectNodeIsReusedOnlyWhenTheFirstOfItsNameIsAnObject) {
  // A monster node named "key" comes first: the machine gets its own object node.
  Define(kChest);
  AddMonster("key", "")->AddInstance();
  Chest()->AddInstance("", 0, 0, nullptr);
  std::vector<GraphNode*> keys = NodesNamed("key");
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0]->kind, kNodeObject);
  EXPECT_EQ(keys[1]->kind, kNodeMonster);
  // Now the object node is the first of that name and is reused.
  AddMonster("thief", "KEY")->AddInstance();
  EXPECT_EQ(NodesNamed("key").size(), 2u);
  EXPECT_EQ(KeyNames(keys[0]), (std::vector<std::string>{"thief_0", "chest1_0"}));
}

TEST_F(WorldGraph, MachineWithoutShownFrameOrSkeletonGetsNoNodes) {
  Define("STATE_MACHINE { KEY { hidden } PARAM { KEY { 1 } TYPE { FRAME } } "
         "PARAM { KEY { 2 } TYPE { OBJECT } OUT {} } COMMENT [ note ] }");
  InstallView();
  CMachine* m = AddMachine("hidden", "h");
  m->FindParam(2)->SetText("gold");
  m->AddInstance("", 0, 0, nullptr);
  EXPECT_EQ(NodeCount(), 0u);
  EXPECT_TRUE(view.tooltips.empty());
  SyncMachineGraph(m);  // no main node: nothing to connect to, and nothing made
  EXPECT_EQ(NodeCount(), 0u);
  EXPECT_EQ(LinkCount(), 0u);
}

TEST_F(WorldGraph, SkeletonNodeAndEmptyName) {
  Define("STATE_MACHINE { KEY { statue } PARAM { KEY { 1 } TYPE { SKELNAME } DISPLAY {} } }");
  AddMachine("statue", "s")->AddInstance("", 0, 0, nullptr);
  GraphNode* node = NodeNamed("__NONAME__");
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->kind, kNodeSkeleton);
}

TEST_F(WorldGraph, MachineWithoutDefinitionNeverBreaks) {
  Define(kChest);
  CMachine* m = AddMachine("gone", "g");
  // Values as a quest file left them, bound to nothing.
  CMachineParam* frame = NewMachineParam(kParamFrame).release();
  frame->number = 1;
  frame->SetText("x.o3d");
  PushHead(m->params, frame);
  ++m->paramCount;
  m->AddInstance("", 0, 0, nullptr);
  SyncMachineGraph(m);
  EXPECT_EQ(NodeCount(), 0u);
  CMachine* empty = AddMachine("chest", "noinstances");
  SyncMachineGraph(empty);
  EXPECT_EQ(NodeCount(), 0u);
}

TEST_F(WorldGraph, DisplayedValueIsTheSameForCreationAndResync) {
  Define("STATE_MACHINE { KEY { two }"
         "  PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
         "  PARAM { KEY { 2 } TYPE { FRAME } DISPLAY {} }"
         "  PARAM { KEY { 3 } TYPE { OBJECT } OUT {} } }");
  CMachine* m = AddMachine("two", "t");
  m->FindParam(1)->SetText("first.o3d");
  m->FindParam(2)->SetText("second.o3d");
  m->FindParam(3)->SetText("gold");
  AddMonster("gold", "")->AddInstance();  // so that the object must move to a new node
  m->AddInstance("", 0, 0, nullptr);
  GraphNode* main = NodeNamed("first.o3d");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(NodeNamed("second.o3d"), nullptr);

  m->FindParam(3)->SetText("silver");
  AddMonster("silver", "")->AddInstance();  // the wanted name is taken: keys move, links are rebuilt
  SyncMachineGraph(m);
  std::vector<GraphNode*> silver = NodesNamed("silver");
  ASSERT_EQ(silver.size(), 2u);
  GraphNode* object = silver[0]->kind == kNodeObject ? silver[0] : silver[1];
  EXPECT_EQ(object->kind, kNodeObject);
  const GraphLink* link = LinkBetween(main, object);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->owner, m->FindParam(3));
}

TEST_F(WorldGraph, ResyncRenamesAnObjectNodeInPlace) {
  Define(kChest);
  CMachine* chest = Chest();
  chest->AddInstance("", 0, 0, nullptr);
  GraphNode* gold = NodeNamed("gold");
  gold->x = 77;
  chest->FindParam(3)->SetText("silver");
  SyncMachineGraph(chest);
  EXPECT_EQ(NodeNamed("gold"), nullptr);
  EXPECT_EQ(NodeNamed("silver"), gold);
  EXPECT_EQ(gold->x, 77);
  EXPECT_STREQ(gold->title, "gold") << "only the name changes";
  EXPECT_NE(LinkBetween(NodeNamed("chest.o3d"), gold), nullptr);
}

TEST_F(WorldGraph, ResyncMovesKeysToAnExistingNodeOfTheNewName) {
  Define(kChest);
  InstallView();
  view.rect = MapRect{0, 0, 736, 480};
  CMachine* chest = Chest();
  chest->AddInstance("", 0, 0, nullptr);
  GraphNode* main = NodeNamed("chest.o3d");
  GraphNode* key = NodeNamed("key");
  const std::size_t links = LinkCount();
  chest->FindParam(3)->SetText("KEY");  // the node "key" already exists
  SyncMachineGraph(chest);
  EXPECT_EQ(NodeNamed("gold"), nullptr);
  EXPECT_EQ(NodeNamed("key"), key);
  EXPECT_EQ(KeyNames(key), (std::vector<std::string>{"chest1_0", "chest1_0"}));
  EXPECT_NE(LinkBetween(key, main), nullptr);  // IN link of value 2
  const GraphLink* out = LinkBetween(main, key);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->owner, chest->FindParam(3));
  EXPECT_EQ(LinkCount(), links);
}

TEST_F(WorldGraph, ResyncRenamesMainAndMonsterNodes) {
  Define(kChest);
  CMachine* chest = Chest();
  chest->AddInstance("", 0, 0, nullptr);
  chest->AddInstance("", 0, 0, nullptr);
  chest->FindParam(1)->SetText("big.o3d");
  chest->FindParam(5)->SetText("");
  SyncMachineGraph(chest);
  EXPECT_EQ(NodesNamed("big.o3d").size(), 2u);
  EXPECT_EQ(NodesNamed("orc").size(), 0u);
  // The empty monster name has one spelling, at creation and after an edit.
  EXPECT_EQ(NodesNamed("__NONAME__").size(), 2u);
  chest->AddInstance("", 0, 0, nullptr);
  EXPECT_EQ(NodesNamed("__NONAME__").size(), 3u);
  // An emptied frame keeps the nodes' names.
  chest->FindParam(1)->SetText("");
  SyncMachineGraph(chest);
  EXPECT_EQ(NodesNamed("big.o3d").size(), 3u);
}

TEST_F(WorldGraph, ResyncFollowsTheNamedMonstersGift) {
  Define(kChest);
  InstallView();
  view.rect = MapRect{400, 400, 1136, 880};
  CMonster* orc = AddMonster("orc", "");
  CMachine* chest = Chest();
  chest->AddInstance("", 0, 0, nullptr);
  EXPECT_EQ(NodeNamed("ring"), nullptr);
  SetField(orc->gift, "ring");
  SyncMachineGraph(chest);
  GraphNode* ring = NodeNamed("ring");
  ExpectAt(ring, 400, 400);
  const GraphLink* link = LinkBetween(NodeNamed("orc"), ring);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->owner, chest->FindParam(5));
  ring->x = 9;
  ring->y = 8;

  SetField(orc->gift, "crown");
  SyncMachineGraph(chest);
  EXPECT_EQ(NodeNamed("ring"), nullptr);
  ExpectAt(NodeNamed("crown"), 9, 8);  // where the old gift node was
  EXPECT_NE(LinkBetween(NodeNamed("orc"), NodeNamed("crown")), nullptr);
}

TEST_F(WorldGraph, RetargetingANodeRenamesWhatLinksToIt) {
  Define(kChest);
  questtest::SetMonsterClasses({"WOLF"});
  InstallView();
  view.rect = MapRect{0, 0, 736, 480};
  CMonster* orc = AddMonster("orc", "ring");
  CMachine* chest = Chest();
  chest->AddInstance("", 0, 0, nullptr);
  GraphNode* main = NodeNamed("chest.o3d");
  ASSERT_NE(main, nullptr);

  // An object a machine value names: the value takes the new name.
  EXPECT_TRUE(RetargetNodeLinks(NodeNamed("key"), "emerald", kParamObject, true));
  EXPECT_EQ(chest->FindParam(2)->GetText(), "emerald");
  EXPECT_EQ(NodeNamed("key"), nullptr);
  EXPECT_NE(LinkBetween(NodeNamed("emerald"), main), nullptr);
  EXPECT_STREQ(orc->gift, "ring");

  // A quest monster's gift: the monster's gift changes, no machine value does.
  EXPECT_TRUE(RetargetNodeLinks(NodeNamed("ring"), "crown", kParamObject, true));
  EXPECT_STREQ(orc->gift, "crown");
  EXPECT_EQ(chest->FindParam(5)->GetText(), "orc");
  EXPECT_NE(LinkBetween(NodeNamed("orc"), NodeNamed("crown")), nullptr);
  // Without gifts the same node changes nothing.
  EXPECT_FALSE(RetargetNodeLinks(NodeNamed("crown"), "sapphire", kParamObject, false));
  EXPECT_STREQ(orc->gift, "crown");

  // Monsters named by machine values, a quest monster and a class alike.
  EXPECT_TRUE(RetargetNodeLinks(NodeNamed("wolf"), "bear", kParamMonster, false));
  EXPECT_EQ(chest->FindParam(6)->GetText(), "bear");
  EXPECT_TRUE(RetargetNodeLinks(NodeNamed("orc"), "goblin", kParamMonster, false));
  EXPECT_EQ(chest->FindParam(5)->GetText(), "goblin");
  EXPECT_EQ(NodeNamed("orc"), nullptr);
  EXPECT_STREQ(orc->gift, "crown") << "the monster itself is not renamed";

  // The same name again, a node of the wrong value type, no node: nothing.
  EXPECT_FALSE(RetargetNodeLinks(NodeNamed("emerald"), "emerald", kParamObject, true));
  EXPECT_FALSE(RetargetNodeLinks(NodeNamed("emerald"), "bear", kParamMonster, false));
  EXPECT_EQ(chest->FindParam(2)->GetText(), "emerald");
  EXPECT_FALSE(RetargetNodeLinks(nullptr, "x", kParamObject, true));
}

TEST_F(WorldGraph, MonsterResyncAfterRenameAndGiftChange) {
  InstallView();
  view.rect = MapRect{10, 20, 746, 500};
  CMonster* orc = AddMonster("orc", "ring");
  orc->AddInstance();
  orc->AddInstance();
  GraphNode* ring = NodeNamed("ring");
  ring->x = 333;
  ring->y = 444;
  SetField(orc->key, "Orc Chief");
  SetField(orc->gift, "crown");
  SyncMonsterGraph(orc);
  EXPECT_EQ(NodesNamed("Orc Chief").size(), 2u);
  EXPECT_EQ(NodeNamed("ring"), nullptr);
  GraphNode* crown = NodeNamed("crown");
  ExpectAt(crown, 333, 444);
  EXPECT_EQ(KeyNames(crown), (std::vector<std::string>{"orc_0", "orc_1"}));
  EXPECT_EQ(LinkCount(), 2u);
  for (GraphNode* n : NodesNamed("Orc Chief")) EXPECT_NE(LinkBetween(n, crown), nullptr);

  SetField(orc->gift, "");
  SyncMonsterGraph(orc);
  EXPECT_EQ(NodeNamed("crown"), nullptr);
  EXPECT_EQ(LinkCount(), 0u);
  EXPECT_EQ(NodeCount(), 2u);
}

TEST_F(WorldGraph, PositionsComeBackAfterSaveAndReload) {
  Define(kChest);
  CMachine* chest = Chest();
  chest->AddInstance("", 0, 0, nullptr);
  CMonster* orc = AddMonster("troll", "club");
  orc->AddInstance();
  int i = 0;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next, ++i) {
    n->x = 1000 + i;
    n->y = 2000 - i;
    n->cellX = 10 + i;
    n->cellY = 20 + i;
    n->rotation = i % 4;
  }
  struct Saved {
    std::string name;
    int kind, x, y, cellX, cellY, rotation;
  };
  std::vector<Saved> saved;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next)
    saved.push_back({n->name, n->kind, n->x, n->y, n->cellX, n->cellY, n->rotation});

  for (CMonster* m = Quest().monsters; m; m = m->next) m->SnapshotPositions();
  for (CMachine* m = Quest().machines; m; m = m->next) m->SnapshotPositions();
  EXPECT_EQ(ListLength(chest->instances->positions), 6u) << "one per node of the instance";
  EXPECT_EQ(ListLength(orc->instances->positions), 2u);
  // A reader pushes positions one at a time: they come back reversed.
  auto reverse = [](ElementInstance* instances) {
    for (ElementInstance* inst = instances; inst; inst = inst->next) {
      InstancePosition* reversed = nullptr;
      while (InstancePosition* p = inst->positions) {
        inst->positions = p->next;
        PushHead(reversed, p);
      }
      inst->positions = reversed;
    }
  };
  reverse(chest->instances);
  reverse(orc->instances);

  RebuildQuestGraph();
  ASSERT_EQ(NodeCount(), saved.size());
  for (const Saved& s : saved) {
    GraphNode* n = NodeNamed(s.name);
    ASSERT_NE(n, nullptr) << s.name;
    EXPECT_EQ(n->kind, s.kind);
    EXPECT_EQ(n->x, s.x) << s.name;
    EXPECT_EQ(n->y, s.y) << s.name;
    EXPECT_EQ(n->cellX, s.cellX) << s.name;
    EXPECT_EQ(n->cellY, s.cellY) << s.name;
    EXPECT_EQ(n->rotation, s.rotation) << s.name;
  }
}

TEST_F(WorldGraph, OffsetMovesOnlyTheStoredPositions) {
  CMonster* orc = AddMonster("orc", "");
  orc->AddInstance();
  GraphNode* node = NodeNamed("orc");
  node->x = 5;
  node->y = 6;
  orc->SnapshotPositions();
  orc->OffsetPositions(100, 200);
  EXPECT_EQ(node->x, 5);
  orc->RestorePositions(1, 2);
  ExpectAt(node, 106, 208);
  EXPECT_EQ(orc->instances->positions->paramNumber, 0);
}

TEST_F(WorldGraph, MovingSelectedNodes) {
  AddMonster("a", "")->AddInstance();
  AddMonster("b", "")->AddInstance();
  NodeNamed("a")->flags |= kNodeSelected;
  MoveSelectedGraphNodes(10, -5);
  ExpectAt(NodeNamed("a"), 138, 123);
  ExpectAt(NodeNamed("b"), 128, 128);
}

TEST_F(WorldGraph, RemovingLinksByKindOwnerAndName) {
  Define(kChest);
  CMachine* chest = Chest();
  chest->AddInstance("", 0, 0, nullptr);
  chest->AddInstance("", 0, 0, nullptr);
  CMachineParam* key = chest->FindParam(2);
  ASSERT_NE(FindGraphLink(kNodeObject, key, "chest1_0"), nullptr);
  EXPECT_EQ(FindGraphLink(kNodeMachine, key, "chest1_0"), FindGraphLink(kNodeObject, key, "chest1_0"))
      << "the link joins the object node to the main node of kind 1";
  EXPECT_EQ(FindGraphLink(kNodeMonster, key, "chest1_0"), nullptr);
  RemoveGraphLinks(kNodeObject, key, "CHEST1_0");
  EXPECT_EQ(FindGraphLink(kNodeObject, key, "chest1_0"), nullptr);
  EXPECT_NE(FindGraphLink(kNodeObject, key, "chest1_1"), nullptr);
  EXPECT_EQ(FindNodeWithValue(key), NodeNamed("key"));
  EXPECT_EQ(NodeNamed("key")->RemoveKeysOf(key), 0);
}

// Regression: a machine and a monster both named "orc" have an instance "orc_0".
TEST_F(WorldGraph, RemovingAnInstanceLeavesTheOtherOwnersNodes) {
  Define("STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} } "
         "PARAM { KEY { 2 } TYPE { OBJECT } OUT {} } }");
  CMachine* machine = AddMachine("door", "orc");
  machine->FindParam(1)->SetText("door.o3d");
  machine->FindParam(2)->SetText("ring");
  machine->AddInstance("", 0, 0, nullptr);
  CMonster* monster = AddMonster("orc", "ring");
  monster->AddInstance();
  ASSERT_EQ(NodeCount(), 3u);  // door, shared ring, orc
  ASSERT_EQ(LinkCount(), 2u);

  monster->DeleteInstance("orc_0");
  EXPECT_EQ(NodeCount(), 2u);
  EXPECT_EQ(KeyNames(NodeNamed("ring")), std::vector<std::string>{"orc_0"});
  ASSERT_EQ(LinkCount(), 1u);
  EXPECT_EQ(Quest().graphLinks->owner, machine->FindParam(2));

  monster->AddInstance();
  machine->DeleteInstance("orc_0");
  EXPECT_EQ(NodeNamed("door.o3d"), nullptr);
  EXPECT_NE(NodeNamed("orc"), nullptr);
  EXPECT_EQ(KeyNames(NodeNamed("ring")), std::vector<std::string>{"orc_1"});
  ASSERT_EQ(LinkCount(), 1u);
  EXPECT_EQ(Quest().graphLinks->owner, nullptr);
}

// Regression: emptying the staging lists after a merge that failed.
TEST_F(WorldGraph, FreeingStagedRecordsNeverTouchesLiveNodes) {
  Define(kChest);
  AddMonster("orc", "ring")->AddInstance();
  Chest()->AddInstance("", 0, 0, nullptr);
  const std::size_t nodes = NodeCount();
  const std::size_t links = LinkCount();

  // What a merge read from a file with the same names: instances, no nodes.
  QuestState& q = Quest();
  CMonster* staged = NewMonster(q.mergeMonsters);
  SetField(staged->key, "orc");
  SetField(staged->gift, "ring");
  SetField(NewElementInstance(staged->instances)->name, "orc_0");
  CMachine* stagedMachine = PushHead(q.mergeMachines, new CMachine);
  SetField(stagedMachine->name, "chest1");
  SetField(NewElementInstance(stagedMachine->instances)->name, "chest1_0");
  FreeList(q.mergeMonsters);
  FreeList(q.mergeMachines);

  EXPECT_EQ(NodeCount(), nodes);
  EXPECT_EQ(LinkCount(), links);
  EXPECT_EQ(KeyNames(NodeNamed("ring")), (std::vector<std::string>{"chest1_0", "orc_0"}));
}

TEST_F(WorldGraph, RemovedInstanceRemovesItsTooltip) {
  Define(kChest);
  InstallView();
  CMachine* chest = Chest();
  ElementInstance* a = chest->AddInstance("", 0, 0, nullptr);
  ElementInstance* b = chest->AddInstance("", 0, 0, nullptr);
  EXPECT_EQ(view.tooltips.size(), 2u);
  chest->DeleteInstance(a->name);
  EXPECT_EQ(view.tooltips.count(a), 0u);
  EXPECT_EQ(view.tooltips.count(b), 1u);
  // Deleting the machine takes its nodes and tooltips along.
  RemoveRecord(Quest().machines, chest);
  EXPECT_TRUE(view.tooltips.empty());
  EXPECT_EQ(NodeCount(), 0u);
  EXPECT_EQ(LinkCount(), 0u);
}

TEST_F(WorldGraph, DeletedValueLeavesNoKeysOrLinks) {
  Define(kChest);
  CMachine* chest = Chest();
  chest->AddInstance("", 0, 0, nullptr);
  CMachineParam* gold = chest->FindParam(3);
  chest->DeleteParam(gold);
  EXPECT_EQ(NodeNamed("gold"), nullptr);
  for (const GraphLink* l = Quest().graphLinks; l; l = l->next) EXPECT_NE(l->owner, gold);
  EXPECT_EQ(chest->paramCount, static_cast<int>(ListLength(chest->params)));
}

TEST_F(WorldGraph, NameLookupsFollowRenamesAndRemovals) {
  CMonster* giver = AddMonster("giver", "gold");
  giver->AddInstance();
  GraphNode* gold = NodeNamed("gold");
  gold->SetName("Silver");
  EXPECT_EQ(ReuseOrCreateObjectNode("SILVER", 0, 0), gold);
  GraphNode* fresh = ReuseOrCreateObjectNode("gold", 5, 6);
  EXPECT_NE(fresh, gold);
  ExpectAt(fresh, 5, 6);
  EXPECT_EQ(FirstNodeNamed("GOLD"), fresh);
  RemoveGraphNode(Quest().graphNodes, fresh);
  EXPECT_EQ(FirstNodeNamed("gold"), nullptr);
  EXPECT_EQ(FirstNodeNamed("silver"), gold);
  EXPECT_EQ(FirstNodeNamed("silver", gold), nullptr);
}

TEST_F(WorldGraph, InstanceFreedWithoutItsNodesLeavesNoDanglingKeys) {
  CMonster* orc = AddMonster("orc", "ring");
  ElementInstance* instance = orc->AddInstance();
  RemoveElementInstance(orc->instances, instance);
  // The keys and links stay on the map, no longer tied to the freed instance.
  EXPECT_EQ(KeyNames(NodeNamed("orc")), std::vector<std::string>{"orc_0"});
  EXPECT_EQ(NodeNamed("orc")->keys->instance, nullptr);
  EXPECT_EQ(Quest().graphLinks->instance, nullptr);
  orc->AddInstance();
  SyncMonsterGraph(orc);
  FreeGraph();
  EXPECT_EQ(NodeCount(), 0u);
}

TEST(ToolText, ControlRunsAndHighBytes) {
  EXPECT_EQ(BuildToolText("a\r\n\r\nb"), "a b");
  EXPECT_EQ(BuildToolText("\tlead"), " lead");
  EXPECT_EQ(BuildToolText("tail\r\n"), "tail");
  EXPECT_EQ(BuildToolText("\xc9t\xe9\x01\xff"), "\xc9t\xe9 \xff");
  EXPECT_EQ(BuildToolText(""), "");
}

}  // namespace

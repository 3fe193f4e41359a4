// The room file written by generation, against layouts worked out by hand.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "doc_fixture.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/room.h"
#include "support/bytes.h"

namespace {

using questtest::AddLampNode;
using questtest::AddMonster;
using questtest::AddRoom;
using questtest::FootprintMesh;
using testsupport::Bytes;


// The objects and monsters of an exported file, found from its bounds and block count.
struct ExportedFile {
  struct Object {
    std::int32_t cellX, cellY;
    std::int32_t type, rotation, imageX, imageY;
    std::int32_t data[8], links[8];
    std::int32_t targetX, targetY, exportIndex;
    std::string label;
  };
  struct Monster {
    std::int32_t cellX, cellY;
    std::string name;  // the 32 bytes up to a zero
    std::int32_t rotation;
  };
  std::int32_t bounds[4];
  std::vector<Object> objects;
  std::vector<Monster> monsters;
};

ExportedFile Parse(const std::vector<std::uint8_t>& b) {
  std::size_t p = 8;
  auto i32 = [&] {
    const std::int32_t v = static_cast<std::int32_t>(testsupport::ReadU32(&b.at(p)));
    p += 4;
    return v;
  };
  auto text = [&](std::size_t n) {
    std::string s(reinterpret_cast<const char*>(&b.at(p)), n);
    p += n;
    return s.substr(0, s.find('\0'));
  };
  ExportedFile f;
  for (std::int32_t& v : f.bounds) v = i32();
  const std::int32_t blocks = i32();
  p += std::size_t(blocks) * 548;
  if (f.bounds[2] >= f.bounds[0]) p += std::size_t(f.bounds[2] - f.bounds[0] + 1) * (f.bounds[3] - f.bounds[1] + 1) * 18;
  for (std::int32_t n = i32(); n > 0; --n) {
    ExportedFile::Object o{};
    o.cellX = i32();
    o.cellY = i32();
    o.type = i32();
    o.rotation = i32();
    o.imageX = i32();
    o.imageY = i32();
    for (std::int32_t& v : o.data) v = i32();
    for (std::int32_t& v : o.links) v = i32();
    o.targetX = i32();
    o.targetY = i32();
    o.exportIndex = i32();
    o.label = text(32);
    f.objects.push_back(o);
  }
  for (std::int32_t n = i32(); n > 0; --n) {
    ExportedFile::Monster m{};
    m.cellX = i32();
    m.cellY = i32();
    m.name = text(32);
    m.rotation = i32();
    f.monsters.push_back(m);
  }
  return f;
}

class CdfExport : public questtest::DocTest {
 protected:
  CdfExport() {
    Define(questtest::kLampMachine);
    GenerationLog().clear();
    room = AddRoom("hall", 0, 0, 0, 0, 1000, 1000);
  }
  std::vector<std::uint8_t> Exported(std::string_view roomName = "hall") {
    return ReadBytes("data/customQuest/q/_CUST_" + std::string(roomName) + ".cdf");
  }

  CRoom* room = nullptr;
};

TEST_F(CdfExport, EmptyRoomIsItsFrameAndTheBlockSet) {
  const std::vector<std::string> names = {"rozizuzi\\o4d\\floor.o3d", "Rozizuzi\\O4D\\sub\\wall.o3d",
                                          "data\\custom\\meshes\\rock.o3d"};
  for (std::size_t n : {0u, 1u, 3u}) {
    room->blockSet.Reset();
    for (std::size_t i = 0; i < n; ++i) room->blockSet.FindOrAdd(names[i]);
    ASSERT_EQ(room->ExportCdf("_CUST_", "q"), 1);
    Bytes expected;
    expected.str("CDF").u8(0).u32(5).i32(9999).i32(9999).i32(-1).i32(-1).u32(0).u32(0).u32(0);
    expected.str("CBS").u8(0).u32(1).u32(static_cast<std::uint32_t>(n));
    const char* game[] = {"\\vrel\\kzt\\data\\floor.o3d", "\\vrel\\kzt\\data\\sub\\wall.o3d",
                          "data\\custom\\meshes\\rock.o3d"};
    for (std::size_t i = 0; i < n; ++i) expected.u32(static_cast<std::uint32_t>(i)).fixed(game[i], 512);
    EXPECT_EQ(expected.size(), 48 + 516 * n);
    EXPECT_EQ(Exported(), expected.data()) << n;
  }
  EXPECT_EQ(GenerationLog(), "");
}

TEST_F(CdfExport, RoomMatchesItsHandMadeLayout) {
  Define("GENERIC { KEY { spikes } TYPE { 4 } INDEX { 6 } MESH { rozizuzi\\generic\\spikes.o3d } LABEL { SPK }"
         "  DATA { 3,5 } }"
         "GENERIC { KEY { plate } TYPE { 5 } INDEX { 0 } }");
  dir.Write("rozizuzi/o4d/corner.o3d", std::span<const std::uint8_t>(FootprintMesh({1, 0, 0, 0, 0, 0, 0, 0, 0})));
  dir.Write("rozizuzi/generic/spikes.o3d",
            std::span<const std::uint8_t>(FootprintMesh({0, 0, 0, 0, 255, 0, 0, 0, 0})));

  RoomBlock& block = room->Block(2, 3);
  block.fileName = "rozizuzi\\o4d\\corner.o3d";
  block.id = 5;
  block.rotation = 1;
  block.extra = 77;  // not exported: the file holds 1
  room->blockSet.FindOrAdd("rozizuzi\\o4d\\corner.o3d");
  room->Collision(7, 9) = 2;

  RoomTrap* plate = NewRoomTrap(room->traps);
  plate->type = 5;
  plate->cellX = plate->cellY = 12;
  plate->rotation = 2;
  SetField(plate->label, "B");
  RoomTrap* spikes = NewRoomTrap(room->traps);
  spikes->type = 4;
  spikes->cellX = 8;
  spikes->cellY = 10;
  spikes->target = plate;

  GraphNode* lamp0 = AddLampNode(10, 11);
  GraphNode* lamp1 = AddLampNode(9, 11);
  lamp1->rotation = 3;
  SetField(FindMachineNamed(Quest().machines, "lamp")->FindInstance("lamp_1")->links[0], "lamp:lamp_0");
  AddMonster("grunt", "orc")->AddInstance();
  Quest().graphNodes->cellX = Quest().graphNodes->cellY = 6;
  RoomMonster* wolf = NewRoomMonster(room->monsters);
  SetField(wolf->name, "wolf");
  wolf->cellX = wolf->cellY = 4;
  wolf->rotation = 1;

  ASSERT_EQ(room->ExportCdf("_CUST_", "q"), 1);
  std::ifstream golden(FIXTURES_DIR "/hall.cdf", std::ios::binary);
  const std::vector<std::uint8_t> expected((std::istreambuf_iterator<char>(golden)), std::istreambuf_iterator<char>());
  ASSERT_EQ(expected.size(), 1836u);
  EXPECT_EQ(Exported(), expected);
  EXPECT_EQ(GenerationLog(), "");
  // What the export worked out stays in the quest.
  EXPECT_EQ(spikes->data[0], 1);
  EXPECT_EQ(spikes->targetCellX, 12);
  EXPECT_EQ(spikes->exportIndex, 0);
  EXPECT_EQ(plate->targetCellX, -1);
  EXPECT_EQ(plate->exportIndex, 1);
  EXPECT_EQ(lamp1->exportIndex, 1);
  EXPECT_EQ(lamp0->exportIndex, 2);
}

TEST_F(CdfExport, EightLinksFillEverySlotWithoutAnEndMark) {
  GraphNode* hub = AddLampNode(100, 100, "hub");
  CMachine* lamps = nullptr;
  for (int i = 0; i < 8; ++i) {
    AddLampNode(10 + i, 20);
    lamps = FindMachineNamed(Quest().machines, "lamp");
    SetField(FindMachineNamed(Quest().machines, "hub")->instances->links[i], "lamp:lamp_" + std::to_string(i));
  }
  ASSERT_NE(lamps, nullptr);
  ASSERT_EQ(room->ExportCdf("_CUST_", "q"), 1);
  const ExportedFile f = Parse(Exported());
  ASSERT_EQ(f.objects.size(), 9u);
  const ExportedFile::Object& o = f.objects.back();  // the hub's node is the oldest
  EXPECT_EQ(o.imageX, 100);
  EXPECT_EQ(o.label, "_CUST_hub");
  for (int i = 0; i < 8; ++i) {
    // lamp_i's node is the (8 - i)th of the node list: export number 7 - i.
    EXPECT_EQ(o.links[i], 7 - i) << i;
  }
  EXPECT_EQ(o.data[0], 7);
  EXPECT_EQ(o.targetX, 10);
  EXPECT_EQ(o.targetY, 20);
  EXPECT_EQ(hub->exportIndex, 8);
}

TEST_F(CdfExport, LinksLeavingTheRoomAreLoggedAndSkipped) {
  GraphNode* far = AddLampNode(30, 30);  // lamp_0
  far->x = 5000;
  AddLampNode(31, 31);  // lamp_1
  AddLampNode(32, 32);  // lamp_2
  CMachine* lamp = FindMachineNamed(Quest().machines, "lamp");
  SetField(lamp->FindInstance("lamp_2")->links[0], "lamp:lamp_0");
  SetField(lamp->FindInstance("lamp_2")->links[1], "lamp:lamp_1");
  ASSERT_EQ(room->ExportCdf("_CUST_", "q"), 1);
  EXPECT_EQ(GenerationLog(), "lamp_2 cannot linked to lamp_0 : Both must be in the same room. \r\n");
  const ExportedFile f = Parse(Exported());
  ASSERT_EQ(f.objects.size(), 2u);
  EXPECT_EQ(f.objects[0].links[0], 1);
  EXPECT_EQ(f.objects[0].links[1], -1);
  EXPECT_EQ(f.objects[0].targetX, 31);
}

TEST_F(CdfExport, MonsterNodeNames) {
  AddMonster("averyveryverylongkey", "skeletonlord")->AddInstance();
  GraphNode* node = Quest().graphNodes;
  node->cellX = 40;
  AddMonster("rat", "rat")->AddInstance();
  GraphNode* orphan = Quest().graphNodes;
  orphan->cellX = 41;
  SetField(orphan->name, "ghost");  // no monster has that key
  ASSERT_EQ(room->ExportCdf("_CUST_", "q"), 1);
  EXPECT_EQ(GenerationLog(), "monster name too long -> _CUST_averyveryverylongkeyskeletonlord\r\n");
  const std::vector<std::uint8_t> bytes = Exported();
  const ExportedFile f = Parse(bytes);
  ASSERT_EQ(f.monsters.size(), 2u);
  EXPECT_EQ(f.monsters[0].name, "_CUST_ghost");
  // The first 32 characters, with no zero after them.
  EXPECT_EQ(f.monsters[1].name, "_CUST_averyveryverylongkeyskelet");
  EXPECT_EQ(f.monsters[1].rotation, 0);
}

TEST_F(CdfExport, MachineLabelsAreCutToTheirField) {
  AddLampNode(50, 50, std::string(40, 'm'));
  ASSERT_EQ(room->ExportCdf("_CUST_", "q"), 1);
  const ExportedFile f = Parse(Exported());
  ASSERT_EQ(f.objects.size(), 1u);
  EXPECT_EQ(f.objects[0].label, "_CUST_" + std::string(25, 'm'));
}

// A block name that would not end inside its field is cut to end there and
// logged for every block that uses it; shorter names of the same room are not.
TEST_F(CdfExport, BlockNamesTooLongAreCutAndLoggedForEachBlock) {
  const std::string longName = "rozizuzi\\o4d\\" + std::string(600, 'x') + ".o3d";
  const std::string game = "\\vrel\\kzt\\data\\" + std::string(600, 'x') + ".o3d";
  room->Block(0, 0).fileName = longName;
  room->Block(0, 1).fileName = "rozizuzi\\o4d\\floor.o3d";
  room->Block(1, 0).fileName = longName;
  ASSERT_EQ(room->ExportCdf("_CUST_", "q"), 1);
  const std::string line = "file name too long -> " + game + "\r\n";
  EXPECT_EQ(GenerationLog(), line + line);
  const std::vector<std::uint8_t> b = Exported();
  ASSERT_GE(b.size(), 28u + 3 * 548);
  const char* expectedNames[] = {game.c_str(), "\\vrel\\kzt\\data\\floor.o3d", game.c_str()};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t at = 28 + i * 548 + 32;
    const std::string field(reinterpret_cast<const char*>(&b[at]), 512);
    EXPECT_EQ(field, (std::string(expectedNames[i]).substr(0, 511) + std::string(512, '\0')).substr(0, 512)) << i;
  }
}

TEST_F(CdfExport, TrapsOffTheGridWidenTheBoundsAsFarAsTrapsCanStand) {
  // A trap off the grid is reported and widens the bounds; one set past where
  // any file could put it counts at that edge, so the cells written stay few.
  struct Case {
    std::int32_t cellX, cellY;
    std::int32_t bounds[4];
  };
  const Case cases[] = {
      {193, 5, {1, 1, 64, 1}},
      {-0x7FFFFFFF - 1, 0x7FFFFFFF, {-64, 1, 1, 127}},
      {0x7FFFFFFF, -0x7FFFFFFF - 1, {1, -64, 127, 1}},
  };
  for (const Case& c : cases) {
    room->FreeTraps();
    NewRoomTrap(room->traps);  // a second trap on cell (3, 3), so the bounds start from block (1, 1)
    room->traps->cellX = room->traps->cellY = 3;
    RoomTrap* far = NewRoomTrap(room->traps);
    far->cellX = c.cellX;
    far->cellY = c.cellY;
    GenerationLog().clear();
    ASSERT_EQ(room->ExportCdf("_CUST_", "q"), 1);
    const std::vector<std::uint8_t> bytes = Exported();
    const ExportedFile f = Parse(bytes);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.bounds[i], c.bounds[i]) << c.cellX << " " << i;
    ASSERT_EQ(f.objects.size(), 2u);
    EXPECT_EQ(f.objects[0].cellX, c.cellX);  // the trap keeps its own cell
    EXPECT_NE(GenerationLog().find("is outside world limit"), std::string::npos) << GenerationLog();
    const std::size_t cells = std::size_t(c.bounds[2] - c.bounds[0] + 1) * std::size_t(c.bounds[3] - c.bounds[1] + 1);
    EXPECT_LT(bytes.size(), cells * 18 + 2000);
  }
}

TEST_F(CdfExport, FailuresGoToTheLog) {
  dir.MakeDir("data/customQuest");
  dir.Write("data/customQuest/q", "a file where the quest folder belongs");
  EXPECT_EQ(room->ExportCdf("_CUST_", "q"), 0);
  EXPECT_EQ(GenerationLog().rfind("Can't open file data\\customQuest\\q\\_CUST_hall.cdf, error = ", 0), 0u)
      << GenerationLog();
  EXPECT_EQ(GenerationLog().substr(GenerationLog().size() - 2), "\r\n");

  GenerationLog().clear();
  CRoom* bad = AddRoom("up\\..\\out", 0, 0);
  EXPECT_EQ(bad->ExportCdf("_CUST_", "other"), 0);
  EXPECT_EQ(GenerationLog(), "Name _CUST_up\\..\\out is not a valid file name\r\n");
  EXPECT_FALSE(dir.Exists("data/customQuest/out.cdf"));
  EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace

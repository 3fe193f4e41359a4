#include "tools/demodata/block_meshes.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "datafiles/common/little_endian.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/o3d_builder.h"

namespace {

// Texture banks ("k%04d_*.tga") the blocks are painted with.
enum Bank : std::uint16_t {
  kBankGrass = 1,
  kBankRoad = 2,
  kBankHedge = 3,
  kBankStone = 4,
  kBankFlagstone = 5,
  kBankRubble = 6,
  kBankWall = 7,
  kBankPillar = 8,
};

// A block spans x and z from -256 to 256 around its centre; the ground is at -256.
constexpr float kHalf = 256.0f;
constexpr float kGround = -256.0f;

using Footprint = std::array<std::uint8_t, 9>;
constexpr Footprint kOpen = {0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr Footprint kSolid = {1, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr Footprint kCentre = {0, 0, 0, 0, 1, 0, 0, 0, 0};
constexpr Footprint kLowCentre = {0, 0, 0, 0, 2, 0, 0, 0, 0};

void Floor(O3dBuilder& b, std::uint16_t bank) {
  b.AddQuad({-kHalf, kGround, -kHalf}, {-kHalf, kGround, kHalf}, {kHalf, kGround, kHalf}, {kHalf, kGround, -kHalf},
            {0, 1, 0}, bank);
}

// The room editor paints with blocks named after its tile palette; the demo
// gives them the looks of its own blocks: dungeon floors ("a6" and its
// variants) are flagstones, the other dungeon tiles walls; outdoor sand
// ground and its grass-edged tiles are road, grass ground is grass.
std::string Look(const std::string& name) {
  if (name.rfind("a6", 0) == 0) return "flagstone";
  if (name.size() > 1 && name[0] == 'a' && name[1] >= '0' && name[1] <= '9') return "wall";
  if (name == "grass1" || name == "grass2" || name == "grass3") return "grass";
  if (name != "grass" && (name.rfind("sand", 0) == 0 || name.rfind("grass", 0) == 0)) return "road";
  return name;
}

O3dBuilder Build(const std::string& blockName) {
  const std::string name = Look(blockName);
  O3dBuilder b;
  if (name == "grass" || name == "road" || name == "flagstone") {
    Floor(b, name == "grass" ? kBankGrass : name == "road" ? kBankRoad : kBankFlagstone);
    b.SetFootprint(kOpen);
  } else if (name == "hedge") {
    b.AddBox({-kHalf, kGround, -kHalf}, {kHalf, 0.0f, kHalf}, kBankHedge, kBankHedge);
    b.SetFootprint(kSolid);
  } else if (name == "menhir") {
    Floor(b, kBankGrass);
    b.AddBox({-80.0f, kGround, -48.0f}, {80.0f, 160.0f, 48.0f}, kBankStone, kBankStone);
    b.SetFootprint(kCentre);
  } else if (name == "rubble") {
    Floor(b, kBankFlagstone);
    b.AddBox({-96.0f, kGround, -96.0f}, {96.0f, -176.0f, 96.0f}, kBankRubble, kBankRubble);
    b.SetFootprint(kLowCentre);
  } else if (name == "wall") {
    b.AddBox({-kHalf, kGround, -kHalf}, {kHalf, kHalf, kHalf}, kBankWall, kBankWall);
    b.SetFootprint(kSolid);
  } else {  // pillar
    Floor(b, kBankFlagstone);
    b.AddBox({-64.0f, kGround, -64.0f}, {64.0f, kHalf, 64.0f}, kBankPillar, kBankPillar);
    b.SetFootprint(kCentre);
  }
  return b;
}

std::vector<std::uint8_t> BlockSet(const std::string& set) {
  std::vector<std::string> names;
  for (const DemoBlock& b : DemoBlocks()) {
    if (b.set == set) names.push_back(EditorBlockPath(b));
  }
  std::vector<std::uint8_t> out = {'C', 'B', 'S', 0};
  auto u32 = [&out](std::uint32_t v) { AppendLe32(out, v); };
  u32(1);
  u32(static_cast<std::uint32_t>(names.size()));
  for (std::size_t i = 0; i < names.size(); ++i) {
    u32(static_cast<std::uint32_t>(i));
    char path[512] = {};
    std::strncpy(path, names[i].c_str(), sizeof path - 1);
    out.insert(out.end(), path, path + sizeof path);
  }
  return out;
}

}  // namespace

const std::vector<DemoBlock>& DemoBlocks() {
  static const std::vector<DemoBlock> blocks = {
      {"land", "grass"},         {"land", "road"},     {"land", "hedge"}, {"land", "menhir"},
      {"dungeon", "flagstone"}, {"dungeon", "rubble"}, {"dungeon", "wall"}, {"dungeon", "pillar"},
  };
  static const std::vector<DemoBlock> all = [] {
    std::vector<DemoBlock> v = blocks;
    // The tile palette's grounds, so that painting works in the demo rooms.
    for (const char* n : {"sand1", "sand2", "sand3", "grass1", "grass2", "grass3", "grassN2", "grassE2", "grassW2"})
      v.push_back({"land", n});
    for (const char* d : {"SE", "SW", "NW", "NE", "NESW", "NWSE", "ES", "S", "WS", "E", "W", "EN", "N", "WN"})
      v.push_back({"land", std::string("grass") + d + "1"});
    for (const char* n : {"a0", "a1", "a2", "a3", "a4", "a5", "a1_p1", "a3_p1", "a3_p2", "a4_p1", "a4_p2", "a4_p3",
                          "a5_p1", "a5_p2", "a6_p1", "a1b", "a1_f1", "a1_f2", "a1_g1", "a1_g2", "a1_t1", "a1_t2",
                          "a1_t1_p1", "a1_t2_p1", "a1_ps1", "a1_ps2", "a6", "a6b", "a6c", "a6d", "a6e"})
      v.push_back({"dungeon", n});
    return v;
  }();
  return all;
}

std::string EditorBlockPath(const DemoBlock& block) {
  return "rozizuzi\\o4d\\" + block.set + "\\" + block.name + ".o3d";
}

std::string GameBlockPath(const DemoBlock& block) { return "data\\" + block.set + "\\" + block.name + ".o3d"; }

void AddBlockMeshes(DemoOutput& out) {
  for (const DemoBlock& block : DemoBlocks()) {
    const O3dBuilder mesh = Build(block.name);
    out.WriteFile(EditorBlockPath(block), mesh.Form04D());
    out.DataArchive().Add(GameBlockPath(block), mesh.Raw(), MtfStorage::kAuto);
  }
  out.WriteFile("rozizuzi\\cbs\\land.cbs", BlockSet("land"));
  const std::vector<std::uint8_t> dungeon = BlockSet("dungeon");
  for (const char* name : {"level1a", "level2a", "level3a", "level4a"}) {
    out.WriteFile(std::string("rozizuzi\\cbs\\") + name + ".cbs", dungeon);
  }
}

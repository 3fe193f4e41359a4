#include "tools/demodata/block_meshes.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "datafiles/common/little_endian.h"
#include "platform/core/paths.h"
#include "quest/tile_palette.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/o3d_builder.h"
#include "tools/demodata/texture_banks.h"

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

// The dungeon palette's blocks take the looks of the demo's own dungeon
// blocks: floors ("a6" and its variants) are flagstones, the other tiles walls.
std::string DungeonLook(const std::string& name) {
  if (name.rfind("a6", 0) == 0) return "flagstone";
  if (name.size() > 1 && name[0] == 'a' && name[1] >= '0' && name[1] <= '9') return "wall";
  return name;
}

std::uint16_t Bank(std::string_view name) { return static_cast<std::uint16_t>(BankNumber(name)); }

constexpr float kWall = 56.0f;      // thickness of an outer house wall
constexpr float kInner = 40.0f;     // half thickness of an inside wall
constexpr float kCounter = 56.0f;   // half width of a counter
constexpr float kSill = 64.0f;      // height of an open wall

bool IsGround(int kind) { return kind >= 0 && kind <= 4; }

std::array<std::uint8_t, 9> Filled(std::uint8_t value) {
  std::array<std::uint8_t, 9> cells;
  cells.fill(value);
  return cells;
}

// Whether a house row sees the ground outside, on a side or at a corner
// alone: its cell is then the house's outer wall.
bool IsOuterWall(const TileRule& rule) {
  for (int i = 0; i < 9; ++i) {
    if (i != 4 && IsGround(rule.mask[i])) return true;
  }
  return false;
}

// A house piece. The outer wall stands on the inner edges of the cells that
// touch the ground outside, on a side or at a corner, which are the house's
// paved surround: so the pieces inside meet it at their block's edge. A cell
// with the ground on one side has the wall along the opposite edge; on two
// sides (an outer corner), a post in the opposite corner, where the walls of
// the cells beside it meet; at a corner only (an inner corner), the wall
// along the two edges away from it. On grounds without corner rows a corner
// takes the row of one of its sides, whose wall closes it all the same. An
// open wall ("vilN0") is a low sill, a decorated one ("...1") banded. The
// cells inside are house floor, with a pillar for "vilSolPoto".
void HousePiece(O3dBuilder& b, const TileRule& rule, const std::string& name) {
  std::array<std::uint8_t, 9> footprint = kOpen;
  if (!IsOuterWall(rule)) {
    Floor(b, Bank("housefloor"));
    if (name == "vilSolPoto") {
      b.AddBox({-48.0f, kGround, -48.0f}, {48.0f, 0.0f, 48.0f}, Bank("pillar"), Bank("pillar"));
      footprint[4] = 1;
    }
    b.SetFootprint(footprint);
    return;
  }
  Floor(b, Bank("flagstone"));
  const bool open = !name.empty() && name.back() == '0';
  const float top = open ? kGround + kSill : 0.0f;
  const std::uint16_t wall = !name.empty() && name.back() == '1' ? Bank("decowall") : Bank("housewall");
  const std::uint8_t blocked = open ? 2 : 1;
  // The edges, north (+z), east (+x), south, west, and the footprint cells along each.
  const bool ground[4] = {IsGround(rule.mask[1]), IsGround(rule.mask[5]), IsGround(rule.mask[7]),
                          IsGround(rule.mask[3])};
  const int edgeCells[4][3] = {{0, 1, 2}, {2, 5, 8}, {6, 7, 8}, {0, 3, 6}};
  bool wallOn[4] = {false, false, false, false};
  int groundSides = 0;
  for (int i = 0; i < 4; ++i) groundSides += ground[i];
  if (groundSides == 0) {
    // The ground at a corner only. Corner k (north-west, north-east,
    // south-east, south-west) touches edges k and k + 3; the others face away.
    const int corners[4] = {0, 2, 8, 6};
    for (int k = 0; k < 4; ++k) {
      if (!IsGround(rule.mask[corners[k]])) continue;
      wallOn[(k + 1) % 4] = wallOn[(k + 2) % 4] = true;
    }
  } else if (groundSides == 2 && ground[0] != ground[2]) {
    // An outer corner: a post where the walls beside it meet.
    const bool north = ground[0], east = ground[1];
    const float x0 = east ? -kHalf : kHalf - kWall, z0 = north ? -kHalf : kHalf - kWall;
    b.AddBox({x0, kGround, z0}, {x0 + kWall, top, z0 + kWall}, wall, wall);
    footprint[north ? (east ? 6 : 8) : (east ? 0 : 2)] = blocked;
  } else {
    for (int i = 0; i < 4; ++i) wallOn[(i + 2) % 4] |= ground[i];
  }
  if (wallOn[0]) b.AddBox({-kHalf, kGround, kHalf - kWall}, {kHalf, top, kHalf}, wall, wall);
  if (wallOn[2]) b.AddBox({-kHalf, kGround, -kHalf}, {kHalf, top, -kHalf + kWall}, wall, wall);
  // The east and west walls stop short of a north or south one, so that no two boxes share an edge.
  const float zLo = wallOn[2] ? -kHalf + kWall : -kHalf, zHi = wallOn[0] ? kHalf - kWall : kHalf;
  if (wallOn[1]) b.AddBox({kHalf - kWall, kGround, zLo}, {kHalf, top, zHi}, wall, wall);
  if (wallOn[3]) b.AddBox({-kHalf, kGround, zLo}, {-kHalf + kWall, top, zHi}, wall, wall);
  for (int i = 0; i < 4; ++i) {
    if (!wallOn[i]) continue;
    for (int cell : edgeCells[i]) footprint[static_cast<std::size_t>(cell)] = blocked;
  }
  b.SetFootprint(footprint);
}

// A counter (kind 6) or an inside wall (kind 7) on the house floor: a bar
// from the block's middle to each side where the rule wants its own kind. A
// run's end ("...3": the name gives the side of the wall it stands against,
// the rule leaves the other open for the run) is a bar across the whole
// block along that line, so that it meets the wall beside it. Where runs
// cross, and where no rule tells which way the run goes (an inside wall
// painted over an outer wall takes the plain block, which is the crossing's
// too), the whole block is wall or counter: it meets every arm and closes
// the wall it stands in. The open inside walls ("vilMe...") are low.
void RunPiece(O3dBuilder& b, const TileRule& rule, const std::string& name) {
  const int kind = rule.mask[4];
  const bool wall = kind == 7;
  const bool open = name.rfind("vilMe", 0) == 0;
  const float half = wall ? kInner : kCounter;
  const float top = wall ? (open ? kGround + kSill : 0.0f) : kGround + 110.0f;
  const std::uint16_t bank = wall ? Bank("housewall") : Bank("counter");
  const std::uint8_t blocked = wall && !open ? 1 : 2;
  const int sides[4] = {rule.mask[1], rule.mask[5], rule.mask[7], rule.mask[3]};  // n, e, s, w
  bool arm[4];
  int arms = 0;
  for (int i = 0; i < 4; ++i) arms += arm[i] = sides[i] == kind;
  if (arms == 4) {
    b.AddBox({-kHalf, kGround, -kHalf}, {kHalf, top, kHalf}, bank, bank);
    b.SetFootprint(Filled(blocked));
    return;
  }
  if (arms == 0) {
    for (int i = 0; i < 4; ++i) arm[i] = sides[i] == -1 || sides[(i + 2) % 4] == -1;
  }
  Floor(b, Bank("housefloor"));
  std::array<std::uint8_t, 9> footprint = kOpen;
  footprint[4] = blocked;
  // One bar across for the east and west arms, one along for the north and
  // south ones, so that no two boxes share an edge.
  const bool across = arm[1] || arm[3], along = arm[0] || arm[2];
  if (across || !along) {
    b.AddBox({arm[3] ? -kHalf : -half, kGround, -half}, {arm[1] ? kHalf : half, top, half}, bank, bank);
  }
  if (along) {
    b.AddBox({-half, kGround, arm[2] ? -kHalf : -half}, {half, top, arm[0] ? kHalf : half}, bank, bank);
  }
  if (arm[0]) footprint[1] = blocked;
  if (arm[1]) footprint[5] = blocked;
  if (arm[2]) footprint[7] = blocked;
  if (arm[3]) footprint[3] = blocked;
  b.SetFootprint(footprint);
}

// The outdoor palette's blocks, each after the rule whose row holds it:
// grounds and their transitions are floors of their own pictures, houses
// are built from their masks; decorations stand on their ground.
O3dBuilder OutdoorBlock(const std::string& name) {
  O3dBuilder b;
  CTilePalette palette;
  palette.BuildOutdoor();
  const int row = palette.FindRow(name);
  const TileRule& rule = OutdoorTiles().rules[static_cast<std::size_t>(row)];
  const int kind = rule.kind;
  if (std::string_view(rule.name).rfind("pont", 0) == 0) {
    Floor(b, Bank("water"));
    const bool alongNorth = name == "pontNS" || name == "pontN" || name == "pontS";
    const DemoPoint lo = alongNorth ? DemoPoint{-120.0f, kGround, -kHalf} : DemoPoint{-kHalf, kGround, -120.0f};
    const DemoPoint hi = alongNorth ? DemoPoint{120.0f, kGround + 24.0f, kHalf} : DemoPoint{kHalf, kGround + 24.0f, 120.0f};
    b.AddBox(lo, hi, Bank("counter"), Bank("counter"));
    b.SetFootprint(kOpen);
    return b;
  }
  if (kind == 5) {
    HousePiece(b, rule, name);
    return b;
  }
  if (kind == 6 || kind == 7) {
    RunPiece(b, rule, name);
    return b;
  }
  // Grounds: a transition's own picture, else the plain ground of its kind.
  const int transition = IsGroundTransition(rule) ? BankNumber(rule.name) : -1;
  const char* ground = kind == 1 ? "sand" : kind == 3 ? "water" : kind == 4 ? "woods" : "grass";
  Floor(b, static_cast<std::uint16_t>(transition >= 0 ? transition : BankNumber(ground)));
  std::array<std::uint8_t, 9> footprint = kOpen;
  if (name.find("arbre") != std::string::npos) {  // a tree: trunk and crown
    b.AddBox({-24.0f, kGround, -24.0f}, {24.0f, kGround + 160.0f, 24.0f}, Bank("counter"), Bank("counter"));
    b.AddBox({-110.0f, kGround + 160.0f, -110.0f}, {110.0f, kGround + 380.0f, 110.0f}, Bank("foliage"), Bank("foliage"));
    footprint[4] = 1;
  } else if (name.find("ouche") != std::string::npos) {  // a stump
    b.AddBox({-48.0f, kGround, -48.0f}, {48.0f, kGround + 60.0f, 48.0f}, Bank("counter"), Bank("counter"));
    footprint[4] = 2;
  } else if (name.find("pierre") != std::string::npos) {  // a stone
    b.AddBox({-64.0f, kGround, -40.0f}, {64.0f, kGround + 70.0f, 40.0f}, Bank("stone"), Bank("stone"));
    footprint[4] = 2;
  } else if (kind == 4 || kind == 3) {
    footprint = kind == 3 ? kSolid : footprint;
  }
  b.SetFootprint(footprint);
  return b;
}

bool IsOutdoorPaletteBlock(const std::string& name) {
  static const CTilePalette palette = [] {
    CTilePalette p;
    p.BuildOutdoor();
    return p;
  }();
  return palette.FindRow(name) >= 0;
}

O3dBuilder Build(const DemoBlock& block) {
  if (block.set == "land" && IsOutdoorPaletteBlock(block.name)) return OutdoorBlock(block.name);
  const std::string name = DungeonLook(block.name);
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
    // Every name of the tile palettes, so that painting works in the demo rooms.
    auto add = [&v](const std::string& set, const std::string& name) {
      for (const DemoBlock& b : v) {
        if (b.set == set && platform::EqualsNoCase(b.name, name)) return;
      }
      v.push_back({set, name});
    };
    for (const TilePaletteTables* tables : {&OutdoorTiles(), &DungeonTiles()}) {
      const std::string set = tables == &OutdoorTiles() ? "land" : "dungeon";
      for (const TileRule& r : tables->rules) add(set, r.name);
      for (const TileVariantEntry& e : tables->variants) add(set, e.variant);
      for (const TileCategoryEntry& e : tables->categories) {
        add(set, e.tile);
        add(set, e.base);
      }
    }
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
    const O3dBuilder mesh = Build(block);
    out.WriteFile(EditorBlockPath(block), mesh.Form04D());
    out.DataArchive().Add(GameBlockPath(block), mesh.Raw(), MtfStorage::kAuto);
  }
  out.WriteFile("rozizuzi\\cbs\\land.cbs", BlockSet("land"));
  const std::vector<std::uint8_t> dungeon = BlockSet("dungeon");
  for (const char* name : {"level1a", "level2a", "level3a", "level4a"}) {
    out.WriteFile(std::string("rozizuzi\\cbs\\") + name + ".cbs", dungeon);
  }
}

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "quest/room.h"
#include "quest/tile_palette.h"

namespace {

const char* const kDungeonBlocks[] = {"a0", "a1", "a2", "a3", "a4", "a5", "a6", "a1_p1", "a3_p1", "a3_p2",
                                      "a4_p1", "a4_p2", "a4_p3", "a5_p1", "a5_p2", "a6_p1", "a1b", "a6b"};

std::string BlockPath(const std::string& base) { return "rozizuzi\\blocks\\" + base + ".o3d"; }

class TilingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TilePalette().SetRandom([] { return 0; });
    room = std::make_unique<CRoom>();
  }
  void TearDown() override {
    TilePalette().SetRandom(nullptr);
    TilePalette().BuildDungeon();
  }
  void AddBlocks(const std::vector<std::string>& names) {
    for (const std::string& n : names) room->blockSet.FindOrAdd(BlockPath(n));
  }
  void Put(int column, int row, const std::string& base, int rotation = 0) {
    room->Block(column, row).fileName = BlockPath(base);
    room->Block(column, row).rotation = rotation;
  }
  std::string NameAt(int column, int row) const {
    return CBankNames::BaseName(room->Block(column, row).fileName);
  }
  // The 3 x 3 kinds around block (10, 10): centre included.
  void Neighbourhood(const int kinds[3][3], const char* wall, const char* floor) {
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        if (kinds[r][c] == 1) Put(9 + c, 9 + r, wall);
        else if (kinds[r][c] == 0 && floor) Put(9 + c, 9 + r, floor);
      }
    }
  }
  std::unique_ptr<CRoom> room;
};

TEST_F(TilingTest, DungeonPaletteTablesAndStyles) {
  CTilePalette& p = TilePalette();
  p.BuildDungeon();
  EXPECT_EQ(p.GetRowCount(), 16);
  EXPECT_EQ(p.FindRow("a1_p1"), 0);
  EXPECT_EQ(p.FindRow("DATA\\Blocks\\A6.O3D"), 15);  // folder, extension and case do not matter
  EXPECT_EQ(p.FindRow("a1b.o3d"), 10);               // a variant finds its row
  EXPECT_EQ(p.FindRow(""), -1);
  EXPECT_EQ(p.FindRow("somewhere\\"), -1);
  EXPECT_EQ(p.FindRow("castle"), -1);
  EXPECT_EQ(p.GetRowKind("a6"), 0);
  EXPECT_EQ(p.GetRowKind("a0"), 1);
  EXPECT_EQ(p.GetRowKind("castle"), -1);
  EXPECT_EQ(p.GetMask(9, 4), 1);
  EXPECT_EQ(p.GetMask(9, 0), -1);
  EXPECT_EQ(p.GetMask(16, 0), -1);
  // The rule's own name comes last, after the variants pushed at the head.
  const TilePaletteRow& a1 = p.Row(10);
  ASSERT_EQ(a1.variants.size(), 9u);
  EXPECT_EQ(a1.variants.back().name, "a1");
  EXPECT_EQ(a1.variants.back().key, 0);
  EXPECT_EQ(a1.variants.front().name, "a1_t2");
  ASSERT_NE(p.DrawStyle(), nullptr);
  EXPECT_EQ(p.DrawStyle()->label, "Wall");
  EXPECT_EQ(p.DrawStyle()->base, "a0");
  EXPECT_EQ(p.EraseStyle()->label, "Floor");
  ASSERT_EQ(p.Categories().size(), 6u);
  EXPECT_EQ(p.Categories()[5].label, "secret passage");
  EXPECT_EQ(p.DefaultName(0), "a6");
  // An unknown row gets no variant.
  const int before = static_cast<int>(p.Row(15).variants.size());
  p.AddVariant(1, "nothing", "x");
  EXPECT_EQ(p.FindRow("x"), -1);
  EXPECT_EQ(static_cast<int>(p.Row(15).variants.size()), before);
}

TEST_F(TilingTest, OutdoorPaletteKeepsTheGivenMasks) {
  CTilePalette& p = TilePalette();
  p.BuildOutdoor();
  ASSERT_EQ(p.GetRowCount(), 137);
  for (int r = 0; r < p.GetRowCount(); ++r) EXPECT_EQ(p.Row(r).orientation, 0) << r;
  struct Given {
    const char* name;
    int mask[9];
    int kind;
  };
  const Given given[] = {
      {"grassSE1", {2, 1, -1, 1, 1, -1, -1, -1, 1}, 1}, {"sandSE1", {1, 3, -1, 3, 3, -1, -1, -1, 3}, 3},
      {"woodWN1", {2, 4, -1, 4, 4, -1, -1, -1, 4}, 4},  {"vilNOB", {1, 5, -1, 5, 5, -1, -1, -1, 5}, 5},
      {"vilMcsol", {-1, 7, -1, 7, 7, 7, -1, 7, -1}, 7},
  };
  for (const Given& g : given) {
    const int row = p.FindRow(g.name);
    ASSERT_GE(row, 0) << g.name;
    EXPECT_EQ(p.Row(row).kind, g.kind) << g.name;
    for (int i = 0; i < 9; ++i) EXPECT_EQ(p.GetMask(row, i), g.mask[i]) << g.name << " " << i;
  }
  // The single-kind rows at the end have only their centre.
  const int sand = 124;
  EXPECT_EQ(p.Row(sand).variants.back().name, "sand1");
  for (int i = 0; i < 9; ++i) EXPECT_EQ(p.GetMask(sand, i), i == 4 ? 1 : -1);
  EXPECT_EQ(p.FindRow("sand1"), sand);
  EXPECT_EQ(p.FindRow("vilbNS3"), p.FindRow("vilBNS3"));
  EXPECT_EQ(p.GetRowKind("pontNS"), 3);
  EXPECT_FALSE(p.IsChoosable(p.FindRow("pontNS")));
  EXPECT_TRUE(p.IsChoosable(sand));
  EXPECT_EQ(p.DrawStyle()->base, "sand1");
  EXPECT_EQ(p.EraseStyle()->base, "grass1");
  EXPECT_EQ(p.Categories().size(), 13u);
}

TEST_F(TilingTest, PickVariantCountsOnlyTheKeysVariants) {
  CTilePalette& p = TilePalette();
  p.BuildDungeon();
  const int a6 = p.FindRow("a6");
  // Key 3 of "a6": a6e, a6d, a6c, a6b, a6 (pushed in that order at the head).
  int drawn = 0;
  p.SetRandom([&] { return drawn; });
  std::vector<std::string> seen;
  for (drawn = 0; drawn < 6; ++drawn) seen.push_back(p.PickVariant(a6, 3)->name);
  EXPECT_EQ(seen, (std::vector<std::string>{"a6e", "a6d", "a6c", "a6b", "a6", "a6e"}));
  // One variant of the key: no draw needed.
  p.SetRandom([] { return 1; });
  EXPECT_EQ(p.PickVariant(a6, 0)->name, "a6");
  // No variant of the key: the row's first.
  EXPECT_EQ(p.PickVariant(a6, 9)->name, "a6e");
  EXPECT_EQ(p.PickVariant(99, 0), nullptr);
}

TEST_F(TilingTest, FloorMatchesA6WhateverItsNeighbours) {
  TilePalette().BuildDungeon();
  Put(10, 10, "a6");
  int orientation = -1;
  EXPECT_EQ(room->MatchRule(10, 10, orientation), 15);
  EXPECT_EQ(orientation, 0);
  for (int c = 9; c <= 11; ++c) {
    for (int r = 9; r <= 11; ++r) {
      if (c != 10 || r != 10) Put(c, r, "a0");
    }
  }
  EXPECT_EQ(room->MatchRule(10, 10, orientation), 15);
  EXPECT_EQ(orientation, 0);
}

TEST_F(TilingTest, DungeonRulesMatchInAllFourOrientations) {
  TilePalette().BuildDungeon();
  // Each rule's mask laid out as orientation o reads it (any as floor) must
  // match that rule in that orientation, when no earlier one does.
  struct Case {
    const char* rule;
    int orientation;
  };
  const Case cases[] = {{"a2", 0}, {"a2", 1}, {"a2", 2}, {"a2", 3}, {"a1", 0}, {"a1", 1},
                        {"a4", 0}, {"a4", 1}, {"a4", 2}, {"a4", 3}, {"a3", 0}, {"a3", 3}};
  for (const Case& k : cases) {
    room = std::make_unique<CRoom>();
    const int row = TilePalette().FindRow(k.rule);
    int m[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) m[r][c] = std::max(0, TilePalette().GetMask(row, r * 3 + c));
    int n[3][3];
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        switch (k.orientation) {
          case 0: n[i][j] = m[i][j]; break;
          case 1: n[i][j] = m[2 - j][i]; break;
          case 2: n[i][j] = m[2 - i][2 - j]; break;
          default: n[i][j] = m[j][2 - i]; break;
        }
      }
    }
    Neighbourhood(n, "a0", nullptr);
    int orientation = -1;
    EXPECT_EQ(room->MatchRule(10, 10, orientation), row) << k.rule << " " << k.orientation;
    EXPECT_EQ(orientation, k.orientation) << k.rule;
  }
}

TEST_F(TilingTest, WallRunsTileAsA1AcrossAndDown) {
  TilePalette().BuildDungeon();
  AddBlocks({kDungeonBlocks, kDungeonBlocks + std::size(kDungeonBlocks)});
  const int across[3][3] = {{0, 0, 0}, {1, 1, 1}, {0, 0, 0}};
  Neighbourhood(across, "a0", "a6");
  int orientation = -1;
  EXPECT_EQ(room->MatchRule(10, 10, orientation), TilePalette().FindRow("a1"));
  EXPECT_EQ(orientation, 0);
  room = std::make_unique<CRoom>();
  AddBlocks({kDungeonBlocks, kDungeonBlocks + std::size(kDungeonBlocks)});
  const int down[3][3] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
  Neighbourhood(down, "a0", "a6");
  EXPECT_EQ(room->MatchRule(10, 10, orientation), TilePalette().FindRow("a1"));
  EXPECT_EQ(orientation, 1);
  // Re-tiling puts the variant's block-set path and the orientation in the cell.
  EXPECT_TRUE(room->AutoTile(10, 10, 0, 1));
  EXPECT_EQ(room->Block(10, 10).fileName, BlockPath("a1"));
  EXPECT_EQ(room->Block(10, 10).rotation, 1);
  // Again without force: the cell already stands in its row and is kept.
  EXPECT_FALSE(room->AutoTile(10, 10, 0, 0));
}

TEST_F(TilingTest, CellsOutsideTheGridCountAsFloor) {
  TilePalette().BuildDungeon();
  Put(0, 0, "a0");
  int orientation = -1;
  EXPECT_EQ(room->MatchRule(0, 0, orientation), TilePalette().FindRow("a0"));
  Put(63, 63, "a6");
  EXPECT_EQ(room->MatchRule(63, 63, orientation), TilePalette().FindRow("a6"));
}

TEST_F(TilingTest, PaintingRetilesTheCellAndItsNeighbours) {
  TilePalette().BuildDungeon();
  AddBlocks({kDungeonBlocks, kDungeonBlocks + std::size(kDungeonBlocks)});
  for (int c = 8; c <= 12; ++c)
    for (int r = 8; r <= 12; ++r) Put(c, r, "a6");
  Put(10, 9, "castle");  // not in the palette: left alone
  const std::uint32_t edits = room->editCount;
  const TileCategory* wall = TilePalette().DrawStyle();
  room->PaintBlock(10, 10, wall->base, wall->key);
  room->PaintBlock(11, 10, wall->base, wall->key);
  EXPECT_GT(room->editCount, edits);
  // Two walls side by side: each a wall end, facing the other.
  EXPECT_EQ(NameAt(10, 10), "a2");
  EXPECT_EQ(NameAt(11, 10), "a2");
  EXPECT_NE(room->Block(10, 10).rotation, room->Block(11, 10).rotation);
  EXPECT_EQ(room->Block(10, 9).fileName, BlockPath("castle"));
  EXPECT_EQ(NameAt(9, 10), "a6");
  // Painting the same again changes nothing.
  const std::uint32_t settled = room->editCount;
  room->PaintBlock(11, 10, wall->base, wall->key);
  EXPECT_EQ(room->editCount, settled);
  // Erasing gives the floor back and the neighbour becomes a lone pillar.
  const TileCategory* floor = TilePalette().EraseStyle();
  room->PaintBlock(11, 10, floor->base, wall->key);
  EXPECT_EQ(NameAt(11, 10), "a6");
  EXPECT_EQ(NameAt(10, 10), "a0");
}

TEST_F(TilingTest, UnmatchedNeighbourLosesItsBlockUnknownOneStays) {
  // A palette whose wall rule needs floor all around.
  static const TileRule rules[] = {
      {"wall", {0, 0, 0, 0, 1, 0, 0, 0, 0}, 1, -1},
      {"floor", {-1, -1, -1, -1, 0, -1, -1, -1, -1}, 0, -1},
  };
  static const TileCategoryEntry categories[] = {{0, "Wall", "wall", "wall"}, {0, "Floor", "floor", "floor"}};
  static const TilePaletteTables tables{rules, {}, categories, {"floor", "wall", "wall", "wall"}, "Wall", "Floor"};
  TilePalette().Build(tables);
  AddBlocks({"wall", "floor"});
  Put(10, 10, "wall");
  Put(11, 10, "wall");
  Put(12, 10, "statue");
  // Two walls side by side match no rule: the re-tiled one goes.
  EXPECT_TRUE(room->AutoTile(10, 10, 0, 0));
  EXPECT_FALSE(room->Block(10, 10).HasBlock());
  EXPECT_EQ(NameAt(11, 10), "wall");
  // A block the palette does not know is never re-tiled.
  EXPECT_FALSE(room->AutoTile(12, 10, 0, 1));
  EXPECT_EQ(NameAt(12, 10), "statue");
  // Painting next to it leaves it too.
  room->PaintBlock(13, 10, "floor", 0);
  EXPECT_EQ(NameAt(12, 10), "statue");
  EXPECT_EQ(NameAt(13, 10), "floor");
}

TEST_F(TilingTest, VariantMissingFromTheBlockSetEmptiesTheCell) {
  TilePalette().BuildDungeon();
  AddBlocks({"a6"});
  room->PaintBlock(5, 5, "a0", 0);
  EXPECT_FALSE(room->Block(5, 5).HasBlock());
}

// The plain block of each outdoor kind (0: no block).
const char* const kKindBlocks[] = {nullptr, "sand1", "grass1", "water1", "wood1", "vilsol", "vilcsol", "vilMcsol"};

// Whether a rule looks at any cell but its centre.
bool IsTransition(const TileRule& rule) {
  for (int i = 0; i < 9; ++i) {
    if (i != 4 && rule.mask[i] != -1) return true;
  }
  return false;
}

// One outdoor transition row alone in a palette (with the orientation
// given), beside the plain grounds made unmatchable: they keep their kinds
// for the cells around, and only the one row can match.
std::vector<TileRule> AloneWithTheGrounds(const TileRule& rule, int orientation) {
  std::vector<TileRule> out = {rule};
  out[0].orientation = orientation;
  for (const TileRule& r : OutdoorTiles().rules) {
    if (IsTransition(r)) continue;
    out.push_back(r);
    out.back().mask[4] = 9999;
  }
  return out;
}

// Puts around (10, 10) the kinds a mask asks for when read in orientation o
// (the centre's kind where it accepts any).
void PutRotatedMask(CRoom& room, const TileRule& rule, int o) {
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      // Position r x 3 + c of orientation o reads this neighbour.
      int nr = r, nc = c;
      if (o == 1) nr = c, nc = 2 - r;
      else if (o == 2) nr = 2 - r, nc = 2 - c;
      else if (o == 3) nr = 2 - c, nc = r;
      int kind = rule.mask[r * 3 + c];
      if (kind == -1) kind = rule.mask[4];
      RoomBlock& block = room.Block(9 + nc, 9 + nr);
      block.fileName = kind > 0 ? BlockPath(kKindBlocks[kind]) : std::string();
      block.rotation = 0;
    }
  }
}

// How many outdoor transition rows, each alone with the grounds, match
// their own neighbourhood turned a quarter, a half or three quarters in a
// turned orientation; how many match it unturned.
struct TurnedMatches {
  int unturned = 0;
  int turned = 0;
};

TurnedMatches MatchTurnedTransitions(std::unique_ptr<CRoom>& room, int orientation) {
  const TilePaletteTables& outdoor = OutdoorTiles();
  TurnedMatches seen;
  for (const TileRule& rule : outdoor.rules) {
    if (!IsTransition(rule)) continue;
    const std::vector<TileRule> rules = AloneWithTheGrounds(rule, orientation);
    TilePalette().Build({rules, {}, {}, {outdoor.defaults[0], outdoor.defaults[1], outdoor.defaults[2], outdoor.defaults[3]},
                         outdoor.drawStyle, outdoor.eraseStyle});
    for (int o = 0; o < 4; ++o) {
      room = std::make_unique<CRoom>();
      PutRotatedMask(*room, rule, o);
      int got = -1;
      const int row = room->MatchRule(10, 10, got);
      if (o == 0) {
        EXPECT_EQ(row, 0) << rule.name;
        EXPECT_EQ(got, 0) << rule.name;
        seen.unturned += row == 0;
      } else if (row >= 0 && got != 0) {
        ++seen.turned;
      }
    }
  }
  return seen;
}

TEST_F(TilingTest, OutdoorRulesMatchOnlyInOrientationZero) {
  const TurnedMatches outdoor = MatchTurnedTransitions(room, 0);
  EXPECT_GT(outdoor.unturned, 100);
  EXPECT_EQ(outdoor.turned, 0) << "an outdoor row matched in a turned orientation";
  // The same rows allowed every orientation do match turned: the check sees it.
  const TurnedMatches anyTurn = MatchTurnedTransitions(room, -1);
  EXPECT_GT(anyTurn.turned, 100);
}

// A closed house on each ground (none: an empty room), with an inside wall
// from the north wall to the south wall and a counter against the east wall.
struct HouseGround {
  const char* ground;
  bool cornerRows;  // the corner names stand on sand only
};

const HouseGround kHouseGrounds[] = {
    {"sand1", true}, {"grass1", false}, {"water1", false}, {"wood1", false}, {nullptr, false},
};

TEST_F(TilingTest, ClosedHouseWithInsideWallAndCounterTilesWithoutHolesOnEveryGround) {
  constexpr int kLeft = 8, kRight = 17, kTop = 8, kBottom = 15, kInside = 12, kCounterRow = 12;
  for (const HouseGround& g : kHouseGrounds) {
    SCOPED_TRACE(g.ground ? g.ground : "empty room");
    TilePalette().BuildOutdoor();
    CTilePalette& p = TilePalette();
    room = std::make_unique<CRoom>();
    for (const TileRule& rule : OutdoorTiles().rules) room->blockSet.FindOrAdd(BlockPath(rule.name));
    for (const TileVariantEntry& v : OutdoorTiles().variants) room->blockSet.FindOrAdd(BlockPath(v.variant));
    if (g.ground) {
      for (int c = kLeft - 4; c <= kRight + 4; ++c)
        for (int r = kTop - 4; r <= kBottom + 4; ++r) Put(c, r, g.ground);
    }
    const TileCategory* house = p.FindCategory("House");
    const TileCategory* inside = p.FindCategory("Inside Walls House");
    const TileCategory* counter = p.FindCategory("Comptoir House");
    ASSERT_TRUE(house && inside && counter);
    for (int r = kTop; r <= kBottom; ++r)
      for (int c = kLeft; c <= kRight; ++c) room->PaintBlock(c, r, house->base, house->key);
    for (int r = kTop + 1; r < kBottom; ++r) room->PaintBlock(kInside, r, inside->base, inside->key);
    for (int c = kRight - 2; c < kRight; ++c) room->PaintBlock(c, kCounterRow, counter->base, counter->key);

    for (int r = kTop; r <= kBottom; ++r) {
      for (int c = kLeft; c <= kRight; ++c) {
        SCOPED_TRACE("cell " + std::to_string(c) + ", " + std::to_string(r));
        const std::string name = NameAt(c, r);
        ASSERT_FALSE(name.empty()) << "a hole";
        const bool north = r == kTop, south = r == kBottom, west = c == kLeft, east = c == kRight;
        if (north || south || west || east) {
          EXPECT_EQ(p.GetRowKind(name), 5) << name;
          std::vector<std::string> walls;
          if (north) walls.push_back("vilN3");
          if (south) walls.push_back("vilS3");
          if (west) walls.push_back("vilO3");
          if (east) walls.push_back("vilE3");
          if (walls.size() == 2) {
            const std::string corner = std::string("vil") + (north ? "N" : "S") + (west ? "O" : "E");
            if (g.cornerRows) walls = {corner};
          }
          EXPECT_NE(std::find(walls.begin(), walls.end(), name), walls.end()) << name << " is not the outer wall";
        } else if (c == kInside) {
          EXPECT_EQ(p.GetRowKind(name), 7) << name;
        } else if (r == kCounterRow && c >= kRight - 2) {
          EXPECT_EQ(p.GetRowKind(name), 6) << name;
        } else {
          EXPECT_EQ(name, "vilsol");
        }
      }
    }
    // The ground around is left as it was.
    if (g.ground) {
      EXPECT_EQ(NameAt(kLeft - 1, kTop - 1), g.ground);
    }
  }
}

TEST_F(TilingTest, OutdoorGrassCornerAndBridges) {
  TilePalette().BuildOutdoor();
  AddBlocks({"sand1", "grass1", "water1", "grassSE1", "grassSE2", "sandN1", "pontNS", "sandS1", "sandE1", "sandW1"});
  // Sand with grass in the north-west corner only: grassSE1.
  for (int c = 9; c <= 11; ++c)
    for (int r = 9; r <= 11; ++r) Put(c, r, "sand1");
  Put(9, 9, "grass1");
  int orientation = -1;
  EXPECT_EQ(room->MatchRule(10, 10, orientation), TilePalette().FindRow("grassSE1"));
  // A bridge is never chosen and painting next to it keeps it.
  room = std::make_unique<CRoom>();
  AddBlocks({"sand1", "grass1", "water1", "pontNS", "sandN1", "sandS1"});
  for (int c = 8; c <= 12; ++c)
    for (int r = 8; r <= 12; ++r) Put(c, r, "water1");
  Put(10, 10, "pontNS");
  const TileCategory* style = TilePalette().FindCategory("Water");
  room->PaintBlock(11, 10, style->base, style->key);
  room->PaintBlock(9, 11, "sand1", 0);
  EXPECT_EQ(NameAt(10, 10), "pontNS");
  for (int c = 0; c < kRoomBlocks; ++c) {
    for (int r = 0; r < kRoomBlocks; ++r) {
      if (c == 10 && r == 10) continue;
      EXPECT_EQ(NameAt(c, r).rfind("pont", 0), std::string::npos);
    }
  }
}

}  // namespace

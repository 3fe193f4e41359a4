// The fixed tables of the tile palette: the auto-tiling rules, the block
// variants of each rule and the paint styles, for dungeon levels and for
// outdoor lands.
#include <array>

#include "quest/tile_palette.h"

namespace {

constexpr int any = -1;
// A centre no kind has: the row can never be chosen, yet its kind counts for
// the cells around it (bridges count as water).
constexpr int kNever = 9999;

const std::array<TileRule, 16> kDungeonRules = {{
    {"a1_p1", {1, 1, 1, /**/ 1, 1, 1, /**/ any, 0, any}, 1, -1},
    {"a3_p1", {1, 1, any, /**/ 1, 1, 0, /**/ any, 0, any}, 1, -1},
    {"a3_p2", {0, 1, 1, /**/ 1, 1, 1, /**/ 1, 1, 1}, 1, -1},
    {"a4_p1", {0, 1, 0, /**/ 1, 1, 1, /**/ 1, 1, 1}, 1, -1},
    {"a4_p2", {1, 1, 0, /**/ 1, 1, 1, /**/ any, 0, any}, 1, -1},
    {"a4_p3", {0, 1, 1, /**/ 1, 1, 1, /**/ any, 0, any}, 1, -1},
    {"a5_p1", {0, 1, 0, /**/ 1, 1, 1, /**/ 1, 1, 0}, 1, -1},
    {"a5_p2", {0, 1, 1, /**/ 1, 1, 1, /**/ 1, 1, 0}, 1, -1},
    {"a6_p1", {1, 1, 1, /**/ 1, 1, 1, /**/ 1, 1, 1}, 1, -1},
    {"a0", {any, 0, any, /**/ 0, 1, 0, /**/ any, 0, any}, 1, -1},
    {"a1", {any, 0, any, /**/ 1, 1, 1, /**/ any, 0, any}, 1, -1},
    {"a2", {any, 0, any, /**/ 1, 1, 0, /**/ any, 0, any}, 1, -1},
    {"a3", {any, 1, any, /**/ 1, 1, 0, /**/ any, 0, any}, 1, -1},
    {"a4", {0, 1, 0, /**/ 1, 1, 1, /**/ any, 0, any}, 1, -1},
    {"a5", {0, 1, 0, /**/ 1, 1, 1, /**/ 0, 1, 0}, 1, -1},
    {"a6", {any, any, any, /**/ any, 0, any, /**/ any, any, any}, 0, -1},
}};

// Outdoor kinds: 1 sand1, 2 grass1, 3 water1, 4 wood1, 5 vilsol (house
// floor), 6 vilcsol (counter), 7 vilMcsol (inside wall). Every rule matches
// in orientation 0 only.
//
// How the masks were designed. Each two-ground family (grass*, sand*, wood*)
// has 14 rows of one centre kind K meeting another ground O: four outer
// corners (O on one diagonal cell only, the opposite corner K so that the
// two-corner rows after them can match), two with O on opposite corners,
// then the eight cells around a square patch: O on one side, or on two
// sides meeting at a corner. In the grass and sand rows the compass letters
// say where K runs on (grassSE1: K to the south-east, O in the north-west
// corner); in the wood rows they say where O lies (woodWN1: O in the
// north-west corner), so the three families line up row for row. grass* is
// sand ground (1) against grass (2), sand* water (3) against sand (1),
// wood* woods (4) against grass (2).
//
// The house rows (vil*, kind 5) are house floor against the ground outside:
// B rows hold the outside on one corner (the two sides beside it house), the
// others on one side or two (N, E, S and O for west). Each is one-sided: it
// looks at the ground outside and at the house cells it needs to tell itself
// from the rows after it, never at the cells further in, so an inside wall or
// a counter touching the outer wall leaves it a wall. The first twelve stand
// on sand. Of the rows sharing a name, the first three copies stand on grass,
// water and woods, accepting any kind inside; the later three stand against
// nothing (a cell outside the grid or without a block), then on sand with
// the kind 6 and the kind 7 on the side the sand row wants as 5. Each
// corner name has one row, on sand; on other grounds a corner takes the wall
// of one of its sides, so it is still wall, not floor. The counter (vilB*,
// 6) and inside-wall (vilM*, 7) rows follow the run of their own kind
// through the house floor: "3" rows end a run (the first of each pair also
// stands alone), "sol" rows carry it on; vilM1sol to vilM4sol are
// T joints missing the north, east, south and west arm, vilMc1sol to
// vilMc4sol corners joining north-east, east-south, south-west and
// west-north. Last come the plain grounds (centre only) and the bridges.
const std::array<TileRule, 137> kOutdoorRules = {{
    {"grassSE1", {2, 1, any, /**/ 1, 1, any, /**/ any, any, 1}, 1, 0},
    {"grassSW1", {any, 1, 2, /**/ any, 1, 1, /**/ 1, any, any}, 1, 0},
    {"grassNW1", {1, any, any, /**/ any, 1, 1, /**/ any, 1, 2}, 1, 0},
    {"grassNE1", {any, any, 1, /**/ 1, 1, any, /**/ 2, 1, any}, 1, 0},
    {"grassNESW1", {2, 1, any, /**/ 1, 1, 1, /**/ any, 1, 2}, 1, 0},
    {"grassNWSE1", {any, 1, 2, /**/ 1, 1, 1, /**/ 2, 1, any}, 1, 0},
    {"grassES1", {any, 2, any, /**/ 2, 1, 1, /**/ any, 1, any}, 1, 0},
    {"grassS1", {any, 2, any, /**/ 1, 1, 1, /**/ any, 1, any}, 1, 0},
    {"grassWS1", {any, 2, any, /**/ 1, 1, 2, /**/ any, 1, any}, 1, 0},
    {"grassE1", {any, 1, any, /**/ 2, 1, 1, /**/ any, 1, any}, 1, 0},
    {"grassW1", {any, 1, any, /**/ 1, 1, 2, /**/ any, 1, any}, 1, 0},
    {"grassEN1", {any, 1, any, /**/ 2, 1, 1, /**/ any, 2, any}, 1, 0},
    {"grassN1", {any, 1, any, /**/ 1, 1, 1, /**/ any, 2, any}, 1, 0},
    {"grassWN1", {any, 1, any, /**/ 1, 1, 2, /**/ any, 2, any}, 1, 0},
    {"sandSE1", {1, 3, any, /**/ 3, 3, any, /**/ any, any, 3}, 3, 0},
    {"sandSW1", {any, 3, 1, /**/ any, 3, 3, /**/ 3, any, any}, 3, 0},
    {"sandNW1", {3, any, any, /**/ any, 3, 3, /**/ any, 3, 1}, 3, 0},
    {"sandNE1", {any, any, 3, /**/ 3, 3, any, /**/ 1, 3, any}, 3, 0},
    {"sandNESW1", {1, 3, any, /**/ 3, 3, 3, /**/ any, 3, 1}, 3, 0},
    {"sandNWSE1", {any, 3, 1, /**/ 3, 3, 3, /**/ 1, 3, any}, 3, 0},
    {"sandES1", {any, 1, any, /**/ 1, 3, 3, /**/ any, 3, any}, 3, 0},
    {"sandS1", {any, 1, any, /**/ 3, 3, 3, /**/ any, 3, any}, 3, 0},
    {"sandWS1", {any, 1, any, /**/ 3, 3, 1, /**/ any, 3, any}, 3, 0},
    {"sandE1", {any, 3, any, /**/ 1, 3, 3, /**/ any, 3, any}, 3, 0},
    {"sandW1", {any, 3, any, /**/ 3, 3, 1, /**/ any, 3, any}, 3, 0},
    {"sandEN1", {any, 3, any, /**/ 1, 3, 3, /**/ any, 1, any}, 3, 0},
    {"sandN1", {any, 3, any, /**/ 3, 3, 3, /**/ any, 1, any}, 3, 0},
    {"sandWN1", {any, 3, any, /**/ 3, 3, 1, /**/ any, 1, any}, 3, 0},
    {"woodWN1", {2, 4, any, /**/ 4, 4, any, /**/ any, any, 4}, 4, 0},
    {"woodEN1", {any, 4, 2, /**/ any, 4, 4, /**/ 4, any, any}, 4, 0},
    {"woodES1", {4, any, any, /**/ any, 4, 4, /**/ any, 4, 2}, 4, 0},
    {"woodWS1", {any, any, 4, /**/ 4, 4, any, /**/ 2, 4, any}, 4, 0},
    {"woodNWSE1", {2, 4, any, /**/ 4, 4, 4, /**/ any, 4, 2}, 4, 0},
    {"woodNESW1", {any, 4, 2, /**/ 4, 4, 4, /**/ 2, 4, any}, 4, 0},
    {"woodNW1", {any, 2, any, /**/ 2, 4, 4, /**/ any, 4, any}, 4, 0},
    {"woodN1", {any, 2, any, /**/ 4, 4, 4, /**/ any, 4, any}, 4, 0},
    {"woodNE1", {any, 2, any, /**/ 4, 4, 2, /**/ any, 4, any}, 4, 0},
    {"woodW1", {any, 4, any, /**/ 2, 4, 4, /**/ any, 4, any}, 4, 0},
    {"woodE1", {any, 4, any, /**/ 4, 4, 2, /**/ any, 4, any}, 4, 0},
    {"woodSW1", {any, 4, any, /**/ 2, 4, 4, /**/ any, 2, any}, 4, 0},
    {"woodS1", {any, 4, any, /**/ 4, 4, 4, /**/ any, 2, any}, 4, 0},
    {"woodSE1", {any, 4, any, /**/ 4, 4, 2, /**/ any, 2, any}, 4, 0},
    {"vilNOB", {1, 5, any, /**/ 5, 5, any, /**/ any, any, 5}, 5, 0},
    {"vilNEB", {any, 5, 1, /**/ any, 5, 5, /**/ 5, any, any}, 5, 0},
    {"vilSEB", {5, any, any, /**/ any, 5, 5, /**/ any, 5, 1}, 5, 0},
    {"vilSOB", {any, any, 5, /**/ 5, 5, any, /**/ 1, 5, any}, 5, 0},
    {"vilNO", {any, 1, any, /**/ 1, 5, any, /**/ any, any, any}, 5, 0},
    {"vilN3", {any, 1, any, /**/ any, 5, 5, /**/ any, any, any}, 5, 0},
    {"vilNE", {any, 1, any, /**/ any, 5, 1, /**/ any, any, any}, 5, 0},
    {"vilO3", {any, any, any, /**/ 1, 5, any, /**/ any, 5, any}, 5, 0},
    {"vilE3", {any, any, any, /**/ any, 5, 1, /**/ any, 5, any}, 5, 0},
    {"vilSO", {any, any, any, /**/ 1, 5, any, /**/ any, 1, any}, 5, 0},
    {"vilS3", {any, any, any, /**/ any, 5, 5, /**/ any, 1, any}, 5, 0},
    {"vilSE", {any, any, any, /**/ any, 5, 1, /**/ any, 1, any}, 5, 0},
    {"vilNOB", {2, 5, any, /**/ 5, 5, any, /**/ any, any, any}, 5, 0},
    {"vilNOB", {3, 5, any, /**/ 5, 5, any, /**/ any, any, any}, 5, 0},
    {"vilNOB", {4, 5, any, /**/ 5, 5, any, /**/ any, any, any}, 5, 0},
    {"vilNEB", {any, 5, 2, /**/ any, 5, 5, /**/ any, any, any}, 5, 0},
    {"vilNEB", {any, 5, 3, /**/ any, 5, 5, /**/ any, any, any}, 5, 0},
    {"vilNEB", {any, 5, 4, /**/ any, 5, 5, /**/ any, any, any}, 5, 0},
    {"vilSEB", {any, any, any, /**/ any, 5, 5, /**/ any, 5, 2}, 5, 0},
    {"vilSEB", {any, any, any, /**/ any, 5, 5, /**/ any, 5, 3}, 5, 0},
    {"vilSEB", {any, any, any, /**/ any, 5, 5, /**/ any, 5, 4}, 5, 0},
    {"vilSOB", {any, any, any, /**/ 5, 5, any, /**/ 2, 5, any}, 5, 0},
    {"vilSOB", {any, any, any, /**/ 5, 5, any, /**/ 3, 5, any}, 5, 0},
    {"vilSOB", {any, any, any, /**/ 5, 5, any, /**/ 4, 5, any}, 5, 0},
    {"vilN3", {any, 2, any, /**/ any, 5, any, /**/ any, any, any}, 5, 0},
    {"vilN3", {any, 3, any, /**/ any, 5, any, /**/ any, any, any}, 5, 0},
    {"vilN3", {any, 4, any, /**/ any, 5, any, /**/ any, any, any}, 5, 0},
    {"vilO3", {any, any, any, /**/ 2, 5, any, /**/ any, any, any}, 5, 0},
    {"vilO3", {any, any, any, /**/ 3, 5, any, /**/ any, any, any}, 5, 0},
    {"vilO3", {any, any, any, /**/ 4, 5, any, /**/ any, any, any}, 5, 0},
    {"vilE3", {any, any, any, /**/ any, 5, 2, /**/ any, any, any}, 5, 0},
    {"vilE3", {any, any, any, /**/ any, 5, 3, /**/ any, any, any}, 5, 0},
    {"vilE3", {any, any, any, /**/ any, 5, 4, /**/ any, any, any}, 5, 0},
    {"vilS3", {any, any, any, /**/ any, 5, any, /**/ any, 2, any}, 5, 0},
    {"vilS3", {any, any, any, /**/ any, 5, any, /**/ any, 3, any}, 5, 0},
    {"vilS3", {any, any, any, /**/ any, 5, any, /**/ any, 4, any}, 5, 0},
    {"vilBNS3", {any, 5, any, /**/ 5, 6, 5, /**/ any, any, any}, 6, 0},
    {"vilBSN3", {any, any, any, /**/ 5, 6, 5, /**/ any, 5, any}, 6, 0},
    {"vilBOE3", {any, 5, any, /**/ 5, 6, any, /**/ any, 5, any}, 6, 0},
    {"vilBEO3", {any, 5, any, /**/ any, 6, 5, /**/ any, 5, any}, 6, 0},
    {"vilcsol", {any, 6, any, /**/ 6, 6, 6, /**/ any, 6, any}, 6, 0},
    {"vilBNSsol", {any, 6, any, /**/ any, 6, any, /**/ any, 6, any}, 6, 0},
    {"vilBEOsol", {any, any, any, /**/ 6, 6, 6, /**/ any, any, any}, 6, 0},
    {"vilNOB", {0, 5, any, /**/ 5, 5, any, /**/ any, any, any}, 5, 0},
    {"vilNOB", {1, 5, any, /**/ 5, 5, any, /**/ any, any, 6}, 5, 0},
    {"vilNOB", {1, 5, any, /**/ 5, 5, any, /**/ any, any, 7}, 5, 0},
    {"vilNEB", {any, 5, 0, /**/ any, 5, 5, /**/ any, any, any}, 5, 0},
    {"vilNEB", {any, 5, 1, /**/ any, 5, 5, /**/ 6, any, any}, 5, 0},
    {"vilNEB", {any, 5, 1, /**/ any, 5, 5, /**/ 7, any, any}, 5, 0},
    {"vilSEB", {any, any, any, /**/ any, 5, 5, /**/ any, 5, 0}, 5, 0},
    {"vilSEB", {6, any, any, /**/ any, 5, 5, /**/ any, 5, 1}, 5, 0},
    {"vilSEB", {7, any, any, /**/ any, 5, 5, /**/ any, 5, 1}, 5, 0},
    {"vilSOB", {any, any, any, /**/ 5, 5, any, /**/ 0, 5, any}, 5, 0},
    {"vilSOB", {any, any, 6, /**/ 5, 5, any, /**/ 1, 5, any}, 5, 0},
    {"vilSOB", {any, any, 7, /**/ 5, 5, any, /**/ 1, 5, any}, 5, 0},
    {"vilN3", {any, 0, any, /**/ any, 5, any, /**/ any, any, any}, 5, 0},
    {"vilN3", {any, 1, any, /**/ any, 5, 6, /**/ any, any, any}, 5, 0},
    {"vilN3", {any, 1, any, /**/ any, 5, 7, /**/ any, any, any}, 5, 0},
    {"vilO3", {any, any, any, /**/ 0, 5, any, /**/ any, any, any}, 5, 0},
    {"vilO3", {any, any, any, /**/ 1, 5, any, /**/ any, 6, any}, 5, 0},
    {"vilO3", {any, any, any, /**/ 1, 5, any, /**/ any, 7, any}, 5, 0},
    {"vilE3", {any, any, any, /**/ any, 5, 0, /**/ any, any, any}, 5, 0},
    {"vilE3", {any, any, any, /**/ any, 5, 1, /**/ any, 6, any}, 5, 0},
    {"vilE3", {any, any, any, /**/ any, 5, 1, /**/ any, 7, any}, 5, 0},
    {"vilS3", {any, any, any, /**/ any, 5, any, /**/ any, 0, any}, 5, 0},
    {"vilS3", {any, any, any, /**/ any, 5, 6, /**/ any, 1, any}, 5, 0},
    {"vilS3", {any, any, any, /**/ any, 5, 7, /**/ any, 1, any}, 5, 0},
    {"vilMNS3", {any, 5, any, /**/ 5, 7, 5, /**/ any, any, any}, 7, 0},
    {"vilMSN3", {any, any, any, /**/ 5, 7, 5, /**/ any, 5, any}, 7, 0},
    {"vilMOE3", {any, 5, any, /**/ 5, 7, any, /**/ any, 5, any}, 7, 0},
    {"vilMEO3", {any, 5, any, /**/ any, 7, 5, /**/ any, 5, any}, 7, 0},
    {"vilMcsol", {any, 7, any, /**/ 7, 7, 7, /**/ any, 7, any}, 7, 0},
    {"vilM3sol", {any, 7, any, /**/ 7, 7, 7, /**/ any, 5, any}, 7, 0},
    {"vilM4sol", {any, 7, any, /**/ 5, 7, 7, /**/ any, 7, any}, 7, 0},
    {"vilM1sol", {any, 5, any, /**/ 7, 7, 7, /**/ any, 7, any}, 7, 0},
    {"vilM2sol", {any, 7, any, /**/ 7, 7, 5, /**/ any, 7, any}, 7, 0},
    {"vilMNSsol", {any, 7, any, /**/ 5, 7, 5, /**/ any, 7, any}, 7, 0},
    {"vilMEOsol", {any, 5, any, /**/ 7, 7, 7, /**/ any, 5, any}, 7, 0},
    {"vilMc3sol", {any, 5, any, /**/ 7, 7, 5, /**/ any, 7, any}, 7, 0},
    {"vilMc4sol", {any, 7, any, /**/ 7, 7, 5, /**/ any, 5, any}, 7, 0},
    {"vilMc1sol", {any, 7, any, /**/ 5, 7, 7, /**/ any, 5, any}, 7, 0},
    {"vilMc2sol", {any, 5, any, /**/ 5, 7, 7, /**/ any, 7, any}, 7, 0},
    {"sand1", {any, any, any, /**/ any, 1, any, /**/ any, any, any}, 1, 0},
    {"grass1", {any, any, any, /**/ any, 2, any, /**/ any, any, any}, 2, 0},
    {"water1", {any, any, any, /**/ any, 3, any, /**/ any, any, any}, 3, 0},
    {"wood1", {any, any, any, /**/ any, 4, any, /**/ any, any, any}, 4, 0},
    {"vilsol", {any, any, any, /**/ any, 5, any, /**/ any, any, any}, 5, 0},
    {"vilcsol", {any, any, any, /**/ any, 6, any, /**/ any, any, any}, 6, 0},
    {"vilMcsol", {any, any, any, /**/ any, 7, any, /**/ any, any, any}, 7, 0},
    {"pontW", {any, any, any, /**/ any, kNever, any, /**/ any, any, any}, 3, 0},
    {"pontS", {any, any, any, /**/ any, kNever, any, /**/ any, any, any}, 3, 0},
    {"pontN", {any, any, any, /**/ any, kNever, any, /**/ any, any, any}, 3, 0},
    {"pontE", {any, any, any, /**/ any, kNever, any, /**/ any, any, any}, 3, 0},
    {"pontNS", {any, any, any, /**/ any, kNever, any, /**/ any, any, any}, 3, 0},
    {"pontEW", {any, any, any, /**/ any, kNever, any, /**/ any, any, any}, 3, 0},
}};

const TileVariantEntry kDungeonVariants[] = {
    {1, "a1", "a1b"},
    {2, "a1", "a1"},
    {2, "a1", "a1_f1"},
    {2, "a1", "a1_f2"},
    {2, "a1", "a1_g1"},
    {2, "a1", "a1_g2"},
    {2, "a1", "a1_t1"},
    {2, "a1", "a1_t2"},
    {3, "a6", "a6"},
    {3, "a6", "a6b"},
    {3, "a6", "a6c"},
    {3, "a6", "a6d"},
    {3, "a6", "a6e"},
    {2, "a1_p1", "a1_t1_p1"},
    {2, "a1_p1", "a1_t2_p1"},
    {4, "a1_p1", "a1_ps1"},
    {4, "a6_p1", "a1_ps2"},
};

const TileCategoryEntry kDungeonCategories[] = {
    {0, "Floor", "a6", "a6"},          {0, "Wall", "a1", "a0"},
    {1, "Open Wall", "a1b", "a0"},     {2, "Decorated Wall", "a1_f1", "a0"},
    {3, "Decorated Floor", "a6d", "a6"}, {4, "secret passage", "a1_ps1", "a0"},
};

// A variant listed more than once is chosen more often.
const TileVariantEntry kOutdoorVariants[] = {
    {0, "sand1", "sand2"},
    {0, "sand1", "sand3"},
    {0, "grass1", "grass2"},
    {0, "grass1", "grass3"},
    {0, "grassN1", "grassN2"},
    {0, "grassE1", "grassE2"},
    {0, "grassW1", "grassW2"},
    {0, "sandSE1", "sandSE2"},
    {0, "sandSE1", "sandSE3"},
    {0, "sandSW1", "sandSW2"},
    {0, "sandSW1", "sandSW3"},
    {0, "sandNW1", "sandNW2"},
    {0, "sandNW1", "sandNW3"},
    {0, "sandNE1", "sandNE2"},
    {0, "sandNE1", "sandNE3"},
    {0, "sandNESW1", "sandNESW2"},
    {0, "sandNWSE1", "sandNWSE2"},
    {0, "sandES1", "sandES2"},
    {0, "sandES1", "sandES3"},
    {0, "sandS1", "sandS2"},
    {0, "sandS1", "sandS3"},
    {0, "sandWS1", "sandWS2"},
    {0, "sandWS1", "sandWS3"},
    {0, "sandE1", "sandE2"},
    {0, "sandE1", "sandE3"},
    {0, "sandW1", "sandW2"},
    {0, "sandW1", "sandW3"},
    {0, "sandEN1", "sandEN2"},
    {0, "sandEN1", "sandEN3"},
    {0, "sandN1", "sandN2"},
    {0, "sandN1", "sandN3"},
    {0, "sandWN1", "sandWN2"},
    {0, "sandWN1", "sandWN3"},
    {0, "woodWN1", "woodWN2"},
    {0, "woodEN1", "woodEN2"},
    {0, "woodES1", "woodES2"},
    {0, "woodWS1", "woodWS2"},
    {0, "woodNWSE1", "woodNWSE2"},
    {0, "woodNESW1", "woodNESW2"},
    {0, "woodNW1", "woodNW2"},
    {0, "woodN1", "woodN2"},
    {0, "woodN1", "woodN3"},
    {0, "woodNE1", "woodNE2"},
    {0, "woodW1", "woodW2"},
    {0, "woodW1", "woodW3"},
    {0, "woodE1", "woodE2"},
    {0, "woodE1", "woodE3"},
    {0, "woodSW1", "woodSW2"},
    {0, "woodS1", "woodS2"},
    {0, "woodS1", "woodS3"},
    {0, "woodSE1", "woodSE2"},
    {1, "sand1", "sarbre2"},
    {1, "sand1", "sarbre2"},
    {1, "sand1", "sarbre2"},
    {1, "sand1", "sarbre2"},
    {1, "sand1", "sarbre1"},
    {1, "sand1", "sarbre1"},
    {1, "sand1", "sarbre1"},
    {1, "sand1", "sarbre1"},
    {1, "sand1", "sSouche"},
    {1, "sand1", "spierre1"},
    {1, "grass1", "garbre1"},
    {1, "grass1", "garbre1"},
    {1, "grass1", "garbre1"},
    {1, "grass1", "garbre1"},
    {1, "grass1", "garbre2"},
    {1, "grass1", "garbre2"},
    {1, "grass1", "garbre2"},
    {1, "grass1", "garbre2"},
    {1, "grass1", "gsouche"},
    {1, "grass1", "spierre2"},
    {1, "grass1", "gpierre1"},
    {1, "grass1", "gpierre2"},
    {1, "sand1", "sand2"},
    {1, "sand1", "sand3"},
    {1, "grass1", "grass2"},
    {1, "grass1", "grass3"},
    {1, "grassN1", "grassN2"},
    {1, "grassE1", "grassE2"},
    {1, "grassW1", "grassW2"},
    {1, "sand1", "sand2"},
    {1, "sand1", "sand3"},
    {1, "grass1", "grass2"},
    {1, "grass1", "grass3"},
    {1, "grassN1", "grassN2"},
    {1, "grassE1", "grassE2"},
    {1, "grassW1", "grassW2"},
    {1, "sand1", "sand2"},
    {1, "sand1", "sand3"},
    {1, "grass1", "grass2"},
    {1, "grass1", "grass3"},
    {1, "grassN1", "grassN2"},
    {1, "grassE1", "grassE2"},
    {1, "grassW1", "grassW2"},
    {1, "vilS3", "vilS0"},
    {1, "vilE3", "vilE0"},
    {1, "vilN3", "vilN0"},
    {1, "vilO3", "vilO0"},
    {1, "vilsol", "vilsol"},
    {1, "vilMNSsol", "vilMeNSsol"},
    {1, "vilMEOsol", "vilMeEOsol"},
    {2, "vilS3", "vilS1"},
    {2, "vilS3", "vilS2"},
    {2, "vilS3", "vilS4"},
    {2, "vilE3", "vilE1"},
    {2, "vilE3", "vilE2"},
    {2, "vilE3", "vilE4"},
    {2, "vilN3", "vilN1"},
    {2, "vilN3", "vilN2"},
    {2, "vilN3", "vilN4"},
    {2, "vilO3", "vilO1"},
    {2, "vilO3", "vilO2"},
    {2, "vilO3", "vilO4"},
    {2, "vilsol", "vilsol"},
    {3, "vilsol", "vilSolPoto"},
};

// The labels and grounds of the first styles are crossed as the game's
// designers know them ("Sand" paints grass1).
const TileCategoryEntry kOutdoorCategories[] = {
    {0, "Sand", "grass1", "grass1"},
    {0, "Grass", "sand1", "sand1"},
    {0, "Water", "sandN2", "water1"},
    {0, "Woods", "woodN1", "wood1"},
    {1, "Decorated Sand", "garbre2", "grass1"},
    {1, "Decorated Grass", "sarbre2", "sand1"},
    {0, "House", "vilN2", "vilsol"},
    {1, "Open wall House", "vilN0", "vilsol"},
    {2, "Decorated wall House", "vilN1", "vilsol"},
    {3, "pillar House", "vilSolPoto", "vilsol"},
    {0, "Comptoir House", "vilbNSSol", "vilbNS3"},
    {0, "Inside Walls House", "vilMNS3", "vilMcsol"},
    {1, "Open Inside Walls House", "vilMNSsol", "vilMcsol"},
};

}  // namespace

const TilePaletteTables& DungeonTiles() {
  static const TilePaletteTables tables{kDungeonRules,       kDungeonVariants,  kDungeonCategories,
                                       {"a6", "a0", "a0", "a0"}, "Wall", "Floor"};
  return tables;
}

const TilePaletteTables& OutdoorTiles() {
  static const TilePaletteTables tables{kOutdoorRules,   kOutdoorVariants, kOutdoorCategories,
                                       {"grass1", "sand1", "water1", "wood1"}, "Grass", "Sand"};
  return tables;
}

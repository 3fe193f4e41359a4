#pragma once
// The demo's room blocks: floors, walls and a pillar for outdoor lands and
// for dungeons, their block sets, and the game's copies in "data.mtf".
#include <string>
#include <vector>

class DemoOutput;

struct DemoBlock {
  std::string set;   // "land" or "dungeon"
  std::string name;  // base name
};

// Every block the demo makes, in block-set order.
const std::vector<DemoBlock>& DemoBlocks();

// The editor's copy of a block ("rozizuzi\o4d\<set>\<name>.o3d", with its
// footprint) and the game's ("data\<set>\<name>.o3d" in the archive).
std::string EditorBlockPath(const DemoBlock& block);
std::string GameBlockPath(const DemoBlock& block);

// Writes the blocks, "rozizuzi\cbs\land.cbs" and "level1a.cbs" to
// "level4a.cbs", and adds the game's copies to the archive.
void AddBlockMeshes(DemoOutput& out);

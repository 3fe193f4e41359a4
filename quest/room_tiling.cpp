// Auto-tiling of a room's blocks from the tile palette's rules, and painting
// with a style.
#include "quest/room.h"
#include "quest/tile_palette.h"

namespace {

int KindAt(const CRoom& room, int column, int row) {
  if (!CRoom::IsBlockInGrid(column, row)) return 0;
  const RoomBlock& block = room.Block(column, row);
  if (!block.HasBlock()) return 0;
  const int kind = TilePalette().GetRowKind(block.fileName);
  return kind < 0 ? 0 : kind;
}

}  // namespace

int CRoom::MatchRule(int column, int row, int& orientation) const {
  int n[3][3];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) n[r][c] = KindAt(*this, column + c - 1, row + r - 1);
  }
  const CTilePalette& palette = TilePalette();
  for (int o = 0; o < 4; ++o) {
    int seen[9];
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        int v = n[r][c];
        if (o == 1) v = n[c][2 - r];
        else if (o == 2) v = n[2 - r][2 - c];
        else if (o == 3) v = n[2 - c][r];
        seen[r * 3 + c] = v;
      }
    }
    for (int i = 0; i < palette.GetRowCount(); ++i) {
      const TilePaletteRow& rule = palette.Row(i);
      if (rule.orientation != -1 && rule.orientation != o) continue;
      bool match = true;
      for (int k = 0; k < 9 && match; ++k) match = rule.mask[k] == -1 || rule.mask[k] == seen[k];
      if (match) {
        orientation = o;
        return i;
      }
    }
  }
  return -1;
}

std::string CRoom::ChooseVariant(int column, int row, int& orientation, int key, int force) const {
  const RoomBlock& block = Block(column, row);
  const CTilePalette& palette = TilePalette();
  const int current = palette.FindRow(block.fileName);
  const int matched = MatchRule(column, row, orientation);
  if (matched < 0) return {};
  if (force == 0 && current == matched) return block.fileName;
  const TileVariant* variant = palette.PickVariant(matched, key);
  if (!variant) return {};
  const int entry = blockSet.FindName(variant->name);
  if (entry < 0) return {};
  return blockSet.GetPath(entry);
}

bool CRoom::AutoTile(int column, int row, int key, int force) {
  if (!IsBlockInGrid(column, row)) return false;
  RoomBlock& block = Block(column, row);
  const CTilePalette& palette = TilePalette();
  const int current = palette.FindRow(block.fileName);
  // A block the palette does not know, or a bridge (which the rules never
  // choose), was put there by hand: re-tiling keeps it.
  if (current < 0 || !palette.IsChoosable(current)) return false;
  int orientation = block.rotation;
  const std::string chosen = ChooseVariant(column, row, orientation, key, force);
  if (chosen.empty()) {
    block.fileName.clear();
    return true;
  }
  if (chosen == block.fileName && orientation == block.rotation) return false;
  block.fileName = chosen;
  block.rotation = orientation;
  return true;
}

void CRoom::PaintBlock(int column, int row, const std::string& base, int key) {
  if (!IsBlockInGrid(column, row)) return;
  RoomBlock& block = Block(column, row);
  const RoomBlock before = block;
  block.fileName = base;
  AutoTile(column, row, key, 1);
  // The same variant drawn again for the cell is no change.
  bool changed = block.fileName != before.fileName || block.rotation != before.rotation;
  static constexpr int kNeighbours[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
  for (const auto& d : kNeighbours) {
    if (!IsBlockInGrid(column + d[0], row + d[1])) continue;
    changed = AutoTile(column + d[0], row + d[1], key, 0) || changed;
  }
  if (changed) ++editCount;
}

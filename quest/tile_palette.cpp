#include "quest/tile_palette.h"

#include <algorithm>
#include <cstdlib>

#include "platform/core/paths.h"

CTilePalette::CTilePalette() : random_([] { return std::rand(); }) {}

void CTilePalette::Build(const TilePaletteTables& tables) {
  rows_.clear();
  rows_.reserve(tables.rules.size());
  for (const TileRule& rule : tables.rules) {
    TilePaletteRow row;
    row.variants.push_back({rule.name, 0});
    std::copy(std::begin(rule.mask), std::end(rule.mask), row.mask);
    row.kind = rule.kind;
    row.orientation = rule.orientation;
    rows_.push_back(std::move(row));
  }
  for (const TileVariantEntry& v : tables.variants) AddVariant(v.key, v.row, v.variant);
  for (int i = 0; i < 4; ++i) defaults_[i] = tables.defaults[i];
  categories_.clear();
  for (const TileCategoryEntry& c : tables.categories) AddCategory(c.key, c.label, c.tile, c.base);
  SetDrawStyle(tables.drawStyle);
  SetEraseStyle(tables.eraseStyle);
}

void CTilePalette::BuildDungeon() { Build(DungeonTiles()); }
void CTilePalette::BuildOutdoor() { Build(OutdoorTiles()); }

void CTilePalette::AddVariant(int key, std::string_view rowName, std::string_view variantName) {
  const int row = FindRow(rowName);
  if (row < 0) return;
  auto& variants = rows_[static_cast<std::size_t>(row)].variants;
  variants.insert(variants.begin(), TileVariant{std::string(variantName), key});
}

void CTilePalette::AddCategory(int key, std::string_view label, std::string_view tile, std::string_view base) {
  categories_.push_back({std::string(label), std::string(base), std::string(tile), key});
}

int CTilePalette::FindRow(std::string_view fileName) const {
  const std::size_t slash = fileName.rfind('\\');
  std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  base = base.substr(0, base.find('.'));
  if (base.empty()) return -1;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    for (const TileVariant& v : rows_[r].variants) {
      if (platform::EqualsNoCase(v.name, base)) return static_cast<int>(r);
    }
  }
  return -1;
}

int CTilePalette::GetRowKind(std::string_view fileName) const {
  const int row = FindRow(fileName);
  return row < 0 ? -1 : rows_[static_cast<std::size_t>(row)].kind;
}

int CTilePalette::GetMask(int row, int index) const {
  if (row < 0 || row >= GetRowCount() || index < 0 || index >= 9) return -1;
  return rows_[static_cast<std::size_t>(row)].mask[index];
}

bool CTilePalette::IsChoosable(int row) const {
  // Kinds run 0 to 7; a centre beyond them is never matched.
  const int centre = GetMask(row, 4);
  return row >= 0 && row < GetRowCount() && centre < 256;
}

const TileVariant* CTilePalette::PickVariant(int row, int key) const {
  if (row < 0 || row >= GetRowCount()) return nullptr;
  const auto& variants = rows_[static_cast<std::size_t>(row)].variants;
  int count = 0;
  for (const TileVariant& v : variants) count += v.key == key;
  if (count == 0) return variants.empty() ? nullptr : &variants.front();
  int place = 0;
  if (count > 1) {
    const int drawn = random_();
    place = static_cast<int>(static_cast<unsigned>(drawn) % static_cast<unsigned>(count));
  }
  for (const TileVariant& v : variants) {
    if (v.key != key) continue;
    if (place-- == 0) return &v;
  }
  return nullptr;
}

const TileCategory* CTilePalette::FindCategory(std::string_view label) const {
  for (const TileCategory& c : categories_) {
    if (c.label == label) return &c;
  }
  return nullptr;
}

const TileCategory* CTilePalette::DrawStyle() const {
  return drawStyle_ < 0 ? nullptr : &categories_[static_cast<std::size_t>(drawStyle_)];
}

const TileCategory* CTilePalette::EraseStyle() const {
  return eraseStyle_ < 0 ? nullptr : &categories_[static_cast<std::size_t>(eraseStyle_)];
}

namespace {

int IndexOf(const std::vector<TileCategory>& categories, const TileCategory* c) {
  return c ? static_cast<int>(c - categories.data()) : -1;
}

}  // namespace

void CTilePalette::SetDrawStyle(std::string_view label) { drawStyle_ = IndexOf(categories_, FindCategory(label)); }
void CTilePalette::SetEraseStyle(std::string_view label) { eraseStyle_ = IndexOf(categories_, FindCategory(label)); }

void CTilePalette::SetRandom(std::function<int()> random) {
  random_ = random ? std::move(random) : std::function<int()>([] { return std::rand(); });
}

CTilePalette& TilePalette() {
  static CTilePalette palette;
  return palette;
}

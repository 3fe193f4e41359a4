#pragma once
// The tile palette of the room editor: blocks are painted by terrain kind,
// and auto-tiling chooses for each cell the block variant (and rotation)
// whose rule matches the kinds around it. The rules and variants are fixed
// tables (tile_rules.cpp); one global palette is built from them when a room
// is opened for editing: the dungeon palette for dungeon levels, the
// outdoor one otherwise.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A static rule: the kinds required around a cell, row after row from the
// row above to the row below, left to right (-1 accepts any kind); the kind
// of the tile; -1 for a rule that may match in all four orientations, else
// the one orientation it may match in.
struct TileRule {
  const char* name;
  std::int32_t mask[9];
  std::int32_t kind;
  std::int32_t orientation;
};

struct TileVariant {
  std::string name;  // block file base name
  std::int32_t key = 0;  // the paint style key it serves
};

struct TilePaletteRow {
  // Newest first: the rule's own name (key 0) is the last.
  std::vector<TileVariant> variants;
  std::int32_t mask[9] = {};
  std::int32_t kind = 0;
  std::int32_t orientation = -1;
};

struct TileCategory {
  std::string label;
  std::string base;  // the block name put into a painted cell
  std::string tile;  // the name shown for the style
  std::int32_t key = 0;  // the variant key used when re-tiling
};

struct TileVariantEntry {
  int key;
  const char* row;  // a name the row holds
  const char* variant;
};

struct TileCategoryEntry {
  int key;
  const char* label;
  const char* tile;
  const char* base;
};

// One palette's fixed tables.
struct TilePaletteTables {
  std::span<const TileRule> rules;
  std::span<const TileVariantEntry> variants;
  std::span<const TileCategoryEntry> categories;
  const char* defaults[4];
  const char* drawStyle;
  const char* eraseStyle;
};

const TilePaletteTables& DungeonTiles();
const TilePaletteTables& OutdoorTiles();

class CTilePalette {
 public:
  CTilePalette();

  void BuildDungeon();
  void BuildOutdoor();
  // Frees the rows and styles and builds them from these tables.
  void Build(const TilePaletteTables& tables);

  // Pushes a variant on the row holding `rowName`; an unknown row adds nothing.
  void AddVariant(int key, std::string_view rowName, std::string_view variantName);
  void AddCategory(int key, std::string_view label, std::string_view tile, std::string_view base);

  // The first row one of whose variants is the file's base name (folder and
  // extension dropped, case ignored); -1 when none or for an empty name.
  int FindRow(std::string_view fileName) const;
  // The kind of that row; -1 when none.
  int GetRowKind(std::string_view fileName) const;
  int GetMask(int row, int index) const;
  int GetRowCount() const { return static_cast<int>(rows_.size()); }
  const TilePaletteRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  // Whether the rules can ever choose the row (bridges cannot).
  bool IsChoosable(int row) const;

  // A variant of the row serving the key: the only one, one drawn at random
  // among several, or the row's first variant when none serves the key.
  const TileVariant* PickVariant(int row, int key) const;

  // Paint categories in creation order; null when the label is unknown.
  const std::vector<TileCategory>& Categories() const { return categories_; }
  const TileCategory* FindCategory(std::string_view label) const;
  const TileCategory* DrawStyle() const;
  const TileCategory* EraseStyle() const;
  void SetDrawStyle(std::string_view label);
  void SetEraseStyle(std::string_view label);
  const std::string& DefaultName(int i) const { return defaults_[static_cast<std::size_t>(i & 3)]; }

  // The source of the random variant choice (std::rand unless replaced).
  void SetRandom(std::function<int()> random);

 private:
  std::vector<TilePaletteRow> rows_;
  std::string defaults_[4];
  std::vector<TileCategory> categories_;
  int drawStyle_ = -1;
  int eraseStyle_ = -1;
  std::function<int()> random_;
};

// The program's palette.
CTilePalette& TilePalette();

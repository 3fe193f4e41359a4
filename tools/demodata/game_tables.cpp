#include "tools/demodata/game_tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "datafiles/common/little_endian.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/texture_banks.h"

namespace {

// Sprite cells are of format 2 (two by two units of 24 texels): 48 x 48.
constexpr int kCellUnit = 24;
constexpr int kCellFormat = 2;
constexpr int kCellTexels = 2 * kCellUnit;
constexpr int kCellsPerRow = 5;
constexpr int kSheet = 256;

// Item kinds and the pickable flag of the objects picker.
constexpr std::int16_t kKindWeapon = 1;
constexpr std::int16_t kKindArmour = 2;
constexpr std::int16_t kKindUses = 3;
constexpr std::int16_t kPickable = 0x80;

struct Bytes {
  std::vector<std::uint8_t> v;
  Bytes& u16(std::uint16_t x) { AppendLe16(v, x); return *this; }
  Bytes& i16(std::int16_t x) { return u16(static_cast<std::uint16_t>(x)); }
  Bytes& u32(std::uint32_t x) { AppendLe32(v, x); return *this; }
  Bytes& i32(std::int32_t x) { return u32(static_cast<std::uint32_t>(x)); }
  Bytes& fixed(std::string_view text, std::size_t size) {
    const std::size_t n = std::min(text.size(), size - 1);
    v.insert(v.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
    v.insert(v.end(), size - n, 0);
    return *this;
  }
  // A language string: its byte count with the terminator, then the text.
  Bytes& counted(std::string_view text) {
    u32(static_cast<std::uint32_t>(text.size() + 1));
    v.insert(v.end(), text.begin(), text.end());
    v.push_back(0);
    return *this;
  }
};

// What each item is, for its description: kind and the values it shows.
struct ItemValues {
  std::int16_t kind = 0;
  std::int16_t a = 0, b = 0;    // weapon damage, armour value, uses
  std::int16_t durability = 0;  // 0: none shown; negative: indestructible
};

ItemValues ValuesOf(std::string_view key) {
  if (key == "ITSWORD") return {kKindWeapon, 4, 9, 40};
  if (key == "ITSHIELD") return {kKindArmour, 5, 0, 30};
  if (key == "ITPOTION") return {kKindUses, 3, 0, 0};
  if (key == "ITKEY") return {kKindUses, 1, 0, 0};
  return {};
}

struct Rgb {
  int r, g, b;
};

bool Inside(float x, float y, float cx, float cy, float rx, float ry) {
  const float dx = (x - cx) / rx, dy = (y - cy) / ry;
  return dx * dx + dy * dy <= 1.0f;
}

// A picture of each sprite in its 48 x 48 cell; black is transparent.
Rgb Picture(std::string_view sprite, int px, int py) {
  const float x = px + 0.5f, y = py + 0.5f;
  const float shade = 0.75f + 0.25f * (1.0f - y / kCellTexels);
  auto lit = [shade](Rgb c) { return Rgb{int(c.r * shade), int(c.g * shade), int(c.b * shade)}; };
  if (sprite == "SPR_CUP") {
    const bool bowl = y >= 8 && y <= 26 && std::fabs(x - 24) <= 15 - (y - 8) * 0.45f;
    const bool stem = y > 26 && y <= 36 && std::fabs(x - 24) <= 2.5f;
    const bool foot = y > 36 && y <= 41 && std::fabs(x - 24) <= 10;
    if (bowl || stem || foot) return lit({235, 190, 40});
  } else if (sprite == "SPR_LETTER") {
    if (x >= 8 && x <= 40 && y >= 10 && y <= 38) {
      const bool line = x >= 12 && x <= 36 && int(y) % 6 == 2 && y >= 16 && y <= 34;
      return line ? Rgb{60, 60, 90} : lit({240, 230, 200});
    }
  } else if (sprite == "SPR_KEY") {
    const bool ring = Inside(x, y, 14, 24, 9, 9) && !Inside(x, y, 14, 24, 4.5f, 4.5f);
    const bool shaft = x >= 22 && x <= 42 && std::fabs(y - 24) <= 2.5f;
    const bool teeth = (std::fabs(x - 36) <= 2 || std::fabs(x - 41) <= 1.5f) && y > 24 && y <= 32;
    if (ring || shaft || teeth) return lit({170, 170, 180});
  } else if (sprite == "SPR_SWORD") {
    const float along = (x + (kCellTexels - y)) * 0.7071f, across = (x - (kCellTexels - y)) * 0.7071f;
    if (along >= 18 && along <= 62 && std::fabs(across) <= 2.5f) return lit({210, 215, 225});
    if (along >= 14 && along < 18 && std::fabs(across) <= 8) return lit({150, 110, 40});
    if (along >= 5 && along < 14 && std::fabs(across) <= 2.5f) return lit({110, 70, 30});
  } else if (sprite == "SPR_SHIELD") {
    const bool body = x >= 10 && x <= 38 && y >= 6 && (y <= 24 || Inside(x, y, 24, 24, 14, 18));
    if (body) {
      const bool cross = std::fabs(x - 24) <= 3 || std::fabs(y - 20) <= 3;
      return cross ? lit({230, 200, 60}) : lit({40, 70, 170});
    }
  } else if (sprite == "SPR_POTION") {
    if (Inside(x, y, 24, 30, 12, 12)) return lit({200, 30, 40});
    if (std::fabs(x - 24) <= 4 && y >= 8 && y < 20) return lit({190, 200, 210});
    if (std::fabs(x - 24) <= 5 && y >= 5 && y < 8) return lit({120, 80, 40});
  }
  return {0, 0, 0};
}

int CellColumn(std::size_t i) { return static_cast<int>(i % kCellsPerRow) * 2; }
int CellRow(std::size_t i) { return static_cast<int>(i / kCellsPerRow) * 2; }

}  // namespace

const std::vector<DemoItem>& DemoItems() {
  static const std::vector<DemoItem> items = {
      {"ITCUP", "ITEM_CUP", "SPR_CUP", "Cup", "Coupe", "Becher"},
      {"ITLETTER", "ITEM_LETTER", "SPR_LETTER", "Letter", "Lettre", "Brief"},
      {"ITKEY", "ITEM_KEY", "SPR_KEY", "Key", "Cl\xe9", "Schl\xfcssel"},
      {"ITSWORD", "ITEM_SWORD", "SPR_SWORD", "Sword", "\xc9p\xe9" "e", "Schwert"},
      {"ITSHIELD", "ITEM_SHIELD", "SPR_SHIELD", "Shield", "Bouclier", "Schild"},
      {"ITPOTION", "ITEM_POTION", "SPR_POTION", "Healing potion", "Potion de soin", "Heiltrank"},
  };
  return items;
}

std::vector<std::uint8_t> DemoSpriteSheet() {
  std::vector<std::uint8_t> out = SquareTgaHeader(kSheet);
  const std::vector<DemoItem>& items = DemoItems();
  for (int y = kSheet - 1; y >= 0; --y) {  // bottom row first
    for (int x = 0; x < kSheet; ++x) {
      Rgb c{0, 0, 0};
      for (std::size_t i = 0; i < items.size(); ++i) {
        const int left = CellColumn(i) * kCellUnit, top = CellRow(i) * kCellUnit;
        if (x >= left && x < left + kCellTexels && y >= top && y < top + kCellTexels) {
          c = Picture(items[i].sprite, x - left, y - top);
          // Only the pictures' own black is the key: keep their texels visible.
          if (c.r != 0 || c.g != 0 || c.b != 0) c = {std::max(c.r, 1), std::max(c.g, 1), std::max(c.b, 1)};
        }
      }
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.b, 0, 255)));
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.g, 0, 255)));
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.r, 0, 255)));
    }
  }
  return out;
}

std::vector<std::uint8_t> DemoItemObjectTable() {
  const std::vector<DemoItem>& items = DemoItems();
  Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(items.size()));
  std::int16_t number = 1;
  for (const DemoItem& item : items) {
    const ItemValues v = ValuesOf(item.key);
    b.u16(1).i16(number++).fixed(item.key, 32).i32(0).i32(0);
    b.fixed(item.displayKey, 32).fixed(item.sprite, 32);
    b.i16(0).i16(v.kind).i16(0).i16(0);  // value 96, kind, values 100, 134
    b.i32(0).i32(v.kind == kKindUses ? v.a : 0);  // value 168, kind-3 value
    b.i16(v.kind == kKindWeapon ? v.a : 0).i16(v.kind == kKindArmour ? v.a : 0).i16(v.kind == kKindWeapon ? v.b : 0);
    // special, flags, then 23 more values of the run, all 0
    b.i16(0).i16(kPickable);
    for (int k = 0; k < 23; ++k) b.i16(0);
    b.i16(0).i16(0);                               // values 234, 236
    b.i16(v.durability).i16(v.durability);         // durability maximum and durability
    for (int k = 0; k < 4; ++k) b.i32(0);          // four values 244
    b.i16(0).i16(0).i32(0);                        // values 260, 262, 388
  }
  return b.v;
}

std::vector<std::uint8_t> DemoTrispriteTable() {
  const std::vector<DemoItem>& items = DemoItems();
  Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(items.size()));
  for (std::size_t i = 0; i < items.size(); ++i) {
    b.u16(1).fixed(items[i].sprite, 32);
    b.i16(static_cast<std::int16_t>(CellColumn(i))).i16(static_cast<std::int16_t>(CellRow(i)));
    b.i16(kDemoSpriteBank).i16(kCellFormat).i16(kCellUnit).i32(9);
  }
  return b.v;
}

std::vector<std::uint8_t> DemoLanguageTable() {
  struct Entry {
    const char* key;
    const char* french;
    const char* english;
    const char* german;
  };
  std::vector<Entry> entries = {
      {"MONSTER_ORC", "Orque", "Orc", "Ork"},
      {"MONSTER_WOLF", "Loup", "Wolf", "Wolf"},
      // The description lines of the demo's items (format texts).
      {"STR50", "D\xe9g\xe2ts %d-%d, usure %d/%d", "Damage %d-%d, durability %d/%d", "Schaden %d-%d, Haltbarkeit %d/%d"},
      {"STR63", "Armure %d, usure %d/%d", "Armour %d, durability %d/%d", "R\xfcstung %d, Haltbarkeit %d/%d"},
      {"STR66", "Un seul usage", "Single use", "Einmal verwendbar"},
      {"STR67", "%d usages", "%d uses", "%d Anwendungen"},
  };
  for (const DemoItem& item : DemoItems()) entries.push_back({item.displayKey, item.french, item.english, item.german});
  Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(entries.size()));
  for (const Entry& e : entries) {
    // Version 1: the key, then French, English and German; the other
    // languages are left without a string.
    b.u16(1).counted(e.key).u32(3).counted(e.french).counted(e.english).counted(e.german);
  }
  return b.v;
}

void AddGameTables(DemoOutput& out) {
  out.DataArchive().Add("data\\itemobject.dat", DemoItemObjectTable(), MtfStorage::kAuto);
  out.DataArchive().Add("data\\trisprite.dat", DemoTrispriteTable(), MtfStorage::kAuto);
  out.DataArchive().Add("data\\text\\language.dat", DemoLanguageTable(), MtfStorage::kAuto);
  out.DataArchive().Add("DATA\\bankdatabase\\brimvault\\k0100_sprites.tga", DemoSpriteSheet(), MtfStorage::kAuto);
}

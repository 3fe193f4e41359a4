#pragma once
// The demo's game tables, of our own: the item objects the quest objects
// come from, the sprite cells they are shown with (and the sheet of our
// pictures those cells cut), and the language table that names them, the
// monster classes and the lines of item descriptions.
#include <cstdint>
#include <string>
#include <vector>

class DemoOutput;

struct DemoItem {
  const char* key;         // the item-object key ("ITCUP")
  const char* displayKey;  // its language key
  const char* sprite;      // its sprite cell
  const char* english;
  const char* french;
  const char* german;
};

const std::vector<DemoItem>& DemoItems();

// The texture bank of the sprite sheet, and the sheet itself: 256 x 256,
// 24 bits, black (the colour key) around the pictures.
inline constexpr int kDemoSpriteBank = 100;
std::vector<std::uint8_t> DemoSpriteSheet();

std::vector<std::uint8_t> DemoItemObjectTable();
std::vector<std::uint8_t> DemoTrispriteTable();
std::vector<std::uint8_t> DemoLanguageTable();

void AddGameTables(DemoOutput& out);

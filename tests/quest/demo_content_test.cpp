// The demo start directory holds what a user needs to try every feature:
// valid keys, item objects with sprites and names, language texts, generic
// traps with meshes, meshes on the ground and auto-tiling that shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "datafiles/file_utils.h"
#include "datafiles/game_data.h"
#include "datafiles/item_object_table.h"
#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "datafiles/mtf_archive.h"
#include "datafiles/trisprite_table.h"
#include "doc_fixture.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/machine.h"
#include "quest/machine_def.h"
#include "quest/mesh_banks.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "render/mesh.h"
#include "render/tga_image.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_content.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/demo_skeletons.h"
#include "tools/demodata/game_tables.h"
#include "tools/demodata/sample_quest.h"
#include "tools/demodata/texture_banks.h"

namespace {

class DemoContent : public questtest::DocTest {
 protected:
  void SetUp() override {
    {
      DemoOutput out;
      AddEditorDemo(out);
      out.Finish();
    }
    ASSERT_EQ(MountGameArchives(), 1);
    ASSERT_EQ(g_trispriteTable.Load(), 1);
    ASSERT_EQ(g_monsterClassTable.Load(), 1);
    ASSERT_EQ(g_languageTable.Load(), 1);
    ASSERT_EQ(g_itemObjectTable.Load(), 1);
    g_trispriteTable.Sort();
    g_languageTable.Sort();
    ASSERT_GT(Quest().library.LoadFolder("rozizuzi\\stateMachine"), 0);
    ASSERT_TRUE(doc.OnOpenDocument(kSampleQuestPath));
    ASSERT_TRUE(ui.boxes.empty());
  }
  void TearDown() override {
    g_trispriteTable.Free();
    g_monsterClassTable.Free();
    g_languageTable.Free();
    g_itemObjectTable.Free();
  }

  static int FindItem(std::string_view key) {
    for (std::size_t i = 0; i < g_itemObjectTable.Count(); ++i)
      if (platform::EqualsNoCase(FieldText(g_itemObjectTable.Row(i).name), key)) return static_cast<int>(i);
    return -1;
  }
  static float LowestY(const CMesh& mesh) {
    float lowest = 1e9f;
    for (const CMeshVertex& v : mesh.vertices) lowest = std::min(lowest, v.y);
    return lowest;
  }
  CRoom* RoomNamed(std::string_view name) {
    for (CRoom* r = Quest().rooms; r; r = r->next)
      if (FieldText(r->name) == name) return r;
    return nullptr;
  }
};

TEST_F(DemoContent, EveryKeyOfTheQuestIsLettersAndDigits) {
  int keys = 0;
  for (const CQuestObject* o = Quest().questObjects; o; o = o->next, ++keys) EXPECT_TRUE(IsAlphanumeric(o->key)) << o->key;
  for (const CMonster* m = Quest().monsters; m; m = m->next, ++keys) EXPECT_TRUE(IsAlphanumeric(m->key)) << m->key;
  for (const CMachine* m = Quest().machines; m; m = m->next, ++keys) EXPECT_TRUE(IsAlphanumeric(m->name)) << m->name;
  EXPECT_EQ(keys, 3 + 2 + 2);
}

TEST_F(DemoContent, QuestObjectsComeFromItemObjectsWithSpritesAndNames) {
  ASSERT_EQ(g_itemObjectTable.Count(), DemoItems().size());
  for (const CQuestObject* o = Quest().questObjects; o; o = o->next) {
    SCOPED_TRACE(o->key);
    EXPECT_GE(FindItem(FieldText(o->parent)), 0) << "its origin " << o->parent;
  }
  CTgaImage sheet;
  ASSERT_EQ(sheet.Load("DATA\\bankdatabase\\brimvault\\k0100_sprites.tga"), 1);
  sheet.FlipRows();  // top row first, as textures are made
  for (const DemoItem& item : DemoItems()) {
    SCOPED_TRACE(item.key);
    const int row = FindItem(item.key);
    ASSERT_GE(row, 0);
    const CItemObject& object = g_itemObjectTable.Row(static_cast<std::size_t>(row));
    EXPECT_EQ(object.flags & 0x80, 0x80) << "the objects picker lists it";
    // Its name through the language table, and a description of it.
    EXPECT_STREQ(g_languageTable.Translate(object.displayKey), item.english);
    std::string description;
    object.Describe(description, false);
    EXPECT_EQ(description.rfind(item.english, 0), 0u) << description;
    EXPECT_EQ(description.find("STR"), std::string::npos) << description;
    // Its sprite cell, a picture on the sheet.
    const TrispriteRecord& sprite = g_trispriteTable.Get(FieldText(object.text3));
    ASSERT_STREQ(sprite.name, item.sprite);
    EXPECT_EQ(sprite.valueA, kDemoSpriteBank);
    const int left = sprite.column * sprite.cellSize, top = sprite.row * sprite.cellSize;
    ASSERT_LE(left + sprite.GetFootprintWidth(), sheet.GetWidth());
    ASSERT_LE(top + sprite.GetFootprintHeight(), sheet.GetHeight());
    int lit = 0;
    for (int y = top; y < top + sprite.GetFootprintHeight(); ++y)
      for (int x = left; x < left + sprite.GetFootprintWidth(); ++x) {
        const TgaPixel p = sheet.GetPixel(x, y);
        lit += p.r != 0 || p.g != 0 || p.b != 0;
      }
    EXPECT_GT(lit, 100) << "the cell shows a picture";
    EXPECT_LT(lit, sprite.GetFootprintWidth() * sprite.GetFootprintHeight()) << "with the key colour around it";
  }
}

TEST_F(DemoContent, MonsterClassNamesResolveThroughTheLanguageTable) {
  ASSERT_GT(g_monsterClassTable.Count(), 0u);
  for (std::size_t i = 0; i < g_monsterClassTable.Count(); ++i) {
    const char* key = g_monsterClassTable.Row(i).displayKey;
    EXPECT_STRNE(g_languageTable.Translate(key), key);
  }
  EXPECT_STREQ(g_languageTable.Translate("MONSTER_ORC"), "Orc");
}

TEST_F(DemoContent, GenericTrapsAreEditableWithMeshesOnTheGround) {
  int offered = 0;
  for (const GenericDef* def = Quest().generics; def; def = def->next) {
    if (!def->editable || !def->mesh) continue;
    ++offered;
    SCOPED_TRACE(def->key);
    const CMesh* mesh = GenericMeshBank().GetMesh(*def->mesh);
    ASSERT_NE(mesh, nullptr);
    ASSERT_GT(mesh->FaceCount(), 0);
    EXPECT_EQ(LowestY(*mesh), -256.0f);
  }
  EXPECT_GE(offered, 1) << "Add Generic Trap has something to offer";
  const CRoom* crypt = RoomNamed("crypt");
  ASSERT_NE(crypt, nullptr);
  ASSERT_NE(crypt->traps, nullptr);
  const GenericDef* placed = nullptr;
  for (const GenericDef* def = Quest().generics; def; def = def->next)
    if (def->type == crypt->traps->type) placed = def;
  ASSERT_NE(placed, nullptr);
  EXPECT_TRUE(placed->mesh) << "the crypt's trap is drawn";
}

TEST_F(DemoContent, CustomMeshesStandOnTheGround) {
  for (const char* name : {"demo_door", "demo_chest", "demo_cup"}) {
    CMesh mesh;
    ASSERT_EQ(mesh.Load((std::string("rozizuzi\\customMeshes\\") + name + ".o3d").c_str()), 1) << name;
    EXPECT_EQ(LowestY(mesh), -256.0f) << name;
  }
}

TEST_F(DemoContent, TransitionTilesEachHaveTheirOwnPicture) {
  std::set<int> banks;
  std::set<std::uint64_t> pictures;
  int transitions = 0;
  for (const TileRule& rule : OutdoorTiles().rules) {
    if (!IsGroundTransition(rule)) continue;
    ++transitions;
    SCOPED_TRACE(rule.name);
    CMesh mesh;
    ASSERT_EQ(mesh.Load(EditorBlockPath({"land", rule.name}).c_str()), 1);
    ASSERT_EQ(mesh.FaceCount(), 1);
    const int bank = mesh.faces[0].depth;
    EXPECT_TRUE(banks.insert(bank).second) << "bank " << bank << " is another tile's";
    const std::vector<std::uint8_t> image = DemoBankImage({bank, rule.name});
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint8_t b : image) h = (h ^ b) * 1099511628211ull;
    EXPECT_TRUE(pictures.insert(h).second) << "the same picture as another tile";
  }
  EXPECT_EQ(transitions, 42);
}

TEST_F(DemoContent, TheMeadowIsPaintedWithThePaletteAndShowsItsTransitions) {
  CRoom* meadow = RoomNamed("meadow");
  ASSERT_NE(meadow, nullptr);
  meadow->LoadBlockSet();
  TilePalette().BuildOutdoor();
  std::set<int> kinds;
  int transitions = 0, outside = 0;
  for (int c = 26; c <= 37; ++c) {
    for (int r = 26; r <= 37; ++r) {
      const std::string& name = meadow->Block(c, r).fileName;
      const int row = TilePalette().FindRow(name);
      if (row < 0) {
        ++outside;  // the menhir
        continue;
      }
      kinds.insert(TilePalette().Row(row).kind);
      transitions += IsGroundTransition(OutdoorTiles().rules[static_cast<std::size_t>(row)]);
      // Each block is the one the palette chooses for its place: re-tiling
      // changes nothing.
      int orientation = 0;
      EXPECT_EQ(meadow->ChooseVariant(c, r, orientation, 0, 0), name) << c << "," << r;
    }
  }
  EXPECT_LE(outside, 1);
  EXPECT_EQ(kinds, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_GT(transitions, 10);
}

}  // namespace

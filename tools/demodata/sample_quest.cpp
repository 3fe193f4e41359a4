#include "tools/demodata/sample_quest.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/language_table.h"
#include "datafiles/multi_lang_text.h"
#include "platform/core/profile.h"
#include "platform/core/services.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/game_tables.h"
#include "tools/demodata/o3d_builder.h"
#include "tools/demodata/texture_banks.h"

namespace {

// Definitions of our own; the file is written with CR LF lines.
constexpr const char* kDefinitions = R"(/* Machines of the demo quest. */
STATE_MACHINE
{
	KEY { demo_door }
	COMMENT [ A door that opens with a key. ]
	PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} COMMENT [ Door mesh ] DEFAULT { demo_door } }
	PARAM { KEY { 2 } TYPE { OBJECT } IN {} COMMENT [ Key that opens it ] }
	PARAM { KEY { 3 } TYPE { TEXT } COMMENT [ What the door says while locked ] }
	CODE
	[
	STATE %0
	{
		MESH {%1}
		NEEDS {%2}
		LOCKED %3 
	}
	]
}
STATE_MACHINE
{
	KEY { demo_chest }
	COMMENT [ A chest with a reward, guarded. ]
	PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} COMMENT [ Chest mesh ] DEFAULT { demo_chest } }
	PARAM { KEY { 2 } TYPE { OBJECT } OUT {} COMMENT [ Reward ] }
	PARAM { KEY { 3 } TYPE { INT } COMMENT [ Gold ] DEFAULT { 10 } }
	PARAM { KEY { 4 } TYPE { LIST } COMMENT [ Starts ] LIST { open=OPEN } LIST { locked=LOCKED } DEFAULT { open } }
	PARAM { KEY { 5 } TYPE { MONSTER } OUT {} COMMENT [ Guardian ] }
	CODE
	[
	STATE %0
	{
		MESH {%1}
		GIVE {%2}
		GOLD {%3}
		START {%4}
		GUARD {%5}
	}
	]
}
GENERIC { KEY { spikes } TYPE { 1 } INDEX { 1 } EDIT { 1 } MESH { rozizuzi\traps\spikes.o3d } LABEL { SPIKES } DATA { 3,10 } }
GENERIC { KEY { pit } TYPE { 2 } INDEX { 2 } EDIT { 1 } MESH { rozizuzi\traps\pit.o3d } LABEL { PIT } DATA { 0,20 } }
)";

std::vector<std::uint8_t> Crlf(std::string_view text) {
  std::vector<std::uint8_t> out;
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(static_cast<std::uint8_t>(c));
  }
  return out;
}

// French, English and German; the other languages read the English text.
void Say(CMultiLangText& text, const char* french, const char* english, const char* german) {
  text.Set(0, french);
  text.Set(1, english);
  text.Set(2, german);
}

// Meshes drawn in rooms stand on the room's ground, at y = -256.
constexpr float kGround = -256.0f;

// A custom mesh: a box on the ground, in the raw form.
std::vector<std::uint8_t> BoxMesh(float half, float height, std::uint16_t bank) {
  O3dBuilder b;
  b.AddBox({-half, kGround, -half}, {half, kGround + height, half}, bank, bank);
  return b.Raw();
}

// The trap meshes: a stone plate with a grid of spikes, and a dark pit rim.
std::vector<std::uint8_t> SpikesMesh() {
  O3dBuilder b;
  b.AddBox({-120.0f, kGround, -120.0f}, {120.0f, kGround + 8.0f, 120.0f}, 4, 4);
  for (int i = -1; i <= 1; ++i) {
    for (int k = -1; k <= 1; ++k) {
      const float x = i * 72.0f, z = k * 72.0f;
      b.AddBox({x - 10.0f, kGround + 8.0f, z - 10.0f}, {x + 10.0f, kGround + 70.0f, z + 10.0f}, 8, 8);
    }
  }
  return b.Raw();
}

std::vector<std::uint8_t> PitMesh() {
  O3dBuilder b;
  b.AddBox({-150.0f, kGround, -150.0f}, {150.0f, kGround + 12.0f, -110.0f}, 6, 6);
  b.AddBox({-150.0f, kGround, 110.0f}, {150.0f, kGround + 12.0f, 150.0f}, 6, 6);
  b.AddBox({-150.0f, kGround, -110.0f}, {-110.0f, kGround + 12.0f, 110.0f}, 6, 6);
  b.AddBox({110.0f, kGround, -110.0f}, {150.0f, kGround + 12.0f, 110.0f}, 6, 6);
  b.AddQuad({-110.0f, kGround + 1.0f, -110.0f}, {-110.0f, kGround + 1.0f, 110.0f}, {110.0f, kGround + 1.0f, 110.0f},
            {110.0f, kGround + 1.0f, -110.0f}, {0, 1, 0}, 3);
  return b.Raw();
}

// Fills a rectangle of blocks with one block-set entry.
void Fill(CRoom& room, std::string_view block, int c0, int r0, int c1, int r1) {
  const int index = room.blockSet.FindName(block);
  if (index < 0) throw std::runtime_error("the demo block sets have no block " + std::string(block));
  for (int c = c0; c <= c1; ++c) {
    for (int r = r0; r <= r1; ++r) {
      RoomBlock& b = room.Block(c, r);
      b.fileName = room.blockSet.GetPath(index);
      b.id = index;
      b.rotation = (c + r) % 4;
    }
  }
}

// A square of floor inside a ring of walls, blocks c0..c1 by r0..r1.
void WalledSquare(CRoom& room, std::string_view floor, std::string_view wall, int c0, int r0, int c1, int r1) {
  Fill(room, wall, c0, r0, c1, r1);
  Fill(room, floor, c0 + 1, r0 + 1, c1 - 1, r1 - 1);
}

// Paints a rectangle of blocks with a style of the tile palette, as the
// room editor's Draw tool does.
void Paint(CRoom& room, const char* style, int c0, int r0, int c1, int r1) {
  const TileCategory* category = TilePalette().FindCategory(style);
  if (!category) throw std::runtime_error(std::string("the tile palette has no style ") + style);
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) room.PaintBlock(c, r, category->base, category->key);
  }
}

// The meadow: a hedge round grass of the outdoor palette, painted with its
// styles so that the transitions show: a sand path, a pond in sand, a wood,
// and a house on sand with an inside wall and a counter.
void PaintMeadow(CRoom& room) {
  CTilePalette& palette = TilePalette();
  palette.BuildOutdoor();
  // The same meadow on every run.
  unsigned seed = 29;
  palette.SetRandom([&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) & 0x7FFF);
  });
  Fill(room, "hedge", 25, 25, 38, 38);
  for (int c = 26; c <= 37; ++c) {
    for (int r = 26; r <= 37; ++r) {
      RoomBlock& b = room.Block(c, r);
      b.fileName = room.blockSet.GetPath(room.blockSet.FindName("grass1"));
      b.rotation = 0;
    }
  }
  // "Grass" paints sand: a path, the sand a house stands on, a pond's shore.
  Paint(room, "Grass", 26, 31, 37, 32);
  Paint(room, "Grass", 31, 26, 37, 30);
  Paint(room, "Grass", 32, 33, 36, 36);
  Paint(room, "Water", 33, 34, 35, 35);
  Paint(room, "Woods", 26, 34, 29, 36);
  // The house: an inside wall from its north wall to its south wall and a
  // counter against its east wall.
  Paint(room, "House", 32, 27, 36, 30);
  Paint(room, "Inside Walls House", 34, 28, 34, 29);
  Paint(room, "Comptoir House", 35, 28, 35, 28);
  Fill(room, "menhir", 28, 27, 28, 27);
  palette.SetRandom(nullptr);
  for (int c = 0; c < kRoomBlocks; ++c) {
    for (int r = 0; r < kRoomBlocks; ++r) {
      RoomBlock& b = room.Block(c, r);
      b.id = b.fileName.empty() ? -1 : room.blockSet.FindPath(b.fileName);
    }
  }
}

// The first node of a kind holding a key of the instance.
GraphNode* NodeOf(int kind, std::string_view instance) {
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    if (n->kind != kind) continue;
    for (GraphKey* k = n->keys; k; k = k->next) {
      if (FieldText(k->name) == instance) return n;
    }
  }
  throw std::runtime_error("the sample quest lost the node of " + std::string(instance));
}

void Place(GraphNode* node, int x, int y, int cellX, int cellY, int rotation = 0) {
  node->x = x;
  node->y = y;
  node->cellX = cellX;
  node->cellY = cellY;
  node->rotation = rotation;
}

void BuildQuest() {
  QuestState& q = Quest();

  CRoom* crypt = NewRoom(q.rooms);
  SetField(crypt->name, "crypt");
  crypt->land = 0;
  crypt->level = 1;
  crypt->levelFlag = 1;
  crypt->left = 800;
  crypt->right = 1400;
  crypt->bottom = 400;
  Say(crypt->text, "Crypte", "Crypt", "Gruft");
  crypt->LoadBlockSet();
  WalledSquare(*crypt, "flagstone", "wall", 27, 27, 36, 36);
  Fill(*crypt, "pillar", 31, 31, 31, 31);
  Fill(*crypt, "rubble", 34, 29, 34, 29);
  RoomTrap* spikes = NewRoomTrap(crypt->traps);
  spikes->type = 1;
  spikes->cellX = 91;
  spikes->cellY = 100;

  CRoom* meadow = NewRoom(q.rooms);
  SetField(meadow->name, "meadow");
  meadow->entrance = 1;
  meadow->right = 600;
  meadow->bottom = 400;
  Say(meadow->text, "Prairie", "Meadow", "Wiese");
  meadow->LoadBlockSet();
  PaintMeadow(*meadow);
  RoomMonster* wolf = NewRoomMonster(meadow->monsters);
  SetField(wolf->name, "wolf");
  wolf->cellX = 94;
  wolf->cellY = 100;
  wolf->rotation = 2;

  CQuestObject* cup = NewQuestObject(q.questObjects);
  SetField(cup->key, "goldcup");
  SetField(cup->parent, "ITCUP");
  SetField(cup->mesh, "demo_cup");
  Say(cup->name, "Coupe d'or", "Golden cup", "Goldener Becher");
  CQuestObject* letter = NewQuestObject(q.questObjects);
  SetField(letter->key, "oldletter");
  SetField(letter->parent, "ITLETTER");
  letter->isVirtual = 1;
  Say(letter->name, "Vieille lettre", "Old letter", "Alter Brief");
  Say(letter->comment, "La clef est chez le garde.", "The guard keeps the key.", "Der W\xe4" "chter hat den Schl\xfcssel.");
  CQuestObject* key = NewQuestObject(q.questObjects);
  SetField(key->key, "rustykey");
  SetField(key->parent, "ITKEY");
  key->questFlag = 32;
  Say(key->name, "Cl\xe9 rouill\xe9" "e", "Rusty key", "Rostiger Schl\xfcssel");

  CMonster* guardian = NewMonster(q.monsters);
  SetField(guardian->key, "cryptwolf");
  SetField(guardian->monsterClass, "wolf");
  guardian->life = 30;
  guardian->damage1 = 2;
  guardian->damage2 = 6;
  Say(guardian->name, "Loup de la crypte", "Crypt wolf", "Gruftwolf");
  guardian->AddInstance();
  CMonster* guard = NewMonster(q.monsters);
  SetField(guard->key, "oldguard");
  SetField(guard->monsterClass, "orc");
  SetField(guard->gift, "rustykey");
  guard->life = 60;
  guard->damage1 = 3;
  guard->damage2 = 8;
  Say(guard->name, "Vieux garde", "Old guard", "Alter W\xe4" "chter");
  Say(guard->text, "Prends cette cl\xe9.", "Take this key.", "Nimm diesen Schl\xfcssel.");
  guard->AddInstance();

  CMachine* door = CreateMachine(q.machines, kMachineStateMachine, "demo_door", "cryptdoor");
  door->FindParam(2)->SetText("rustykey");
  Say(static_cast<CMachineParamText*>(door->FindParam(3))->value, "Ferm\xe9" "e \xe0 clef.", "Locked.",
      "Verschlossen.");
  door->AddInstance("", 0, 0, nullptr);
  CMachine* chest = CreateMachine(q.machines, kMachineStateMachine, "demo_chest", "treasure");
  chest->FindParam(2)->SetText("goldcup");
  chest->FindParam(3)->SetText("50");
  chest->FindParam(4)->SetText("locked");
  chest->FindParam(5)->SetText("cryptwolf");
  chest->AddInstance("", 0, 0, "cryptdoor:cryptdoor_0");

  // Machine and monster nodes in their rooms on free cells; the rest of the map below.
  Place(NodeOf(kNodeMachine, "cryptdoor_0"), 900, 100, 94, 100, 1);
  Place(NodeOf(kNodeMachine, "treasure_0"), 1000, 100, 97, 88);
  Place(NodeOf(kNodeMonster, "cryptwolf_0"), 1100, 200, 100, 97, 3);
  Place(NodeOf(kNodeMonster, "oldguard_0"), 100, 100, 85, 85);
  Place(NodeOf(kNodeObject, "oldguard_0"), 100, 600, 96, 96);
  Place(NodeOf(kNodeObject, "treasure_0"), 1000, 600, 96, 96);
  Place(NodeOf(kNodeMonsterParam, "treasure_0"), 1200, 600, 96, 96);

  Marker* start = NewMarker(q.markers);
  SetField(start->name, "Start");
  q.markerCounter = 1;
  Say(QuestAuthorText(), "L'\xe9quipe de d\xe9monstration", "The demo team", "Das Demo-Team");
  Say(QuestInfoText(), "Retrouvez la coupe d'or dans la crypte.", "Find the golden cup in the crypt.",
      "Finde den goldenen Becher in der Gruft.");
}

}  // namespace

void AddSampleQuest(DemoOutput& out) {
  out.WriteFile("rozizuzi\\stateMachine\\demo.qsm", Crlf(kDefinitions));
  out.WriteFile("rozizuzi\\k0830_sprite.tga", DemoSpriteSheet());
  const char* paints[] = {"stone", "wall", "grass", "road"};
  for (int i = 0; i < 16; ++i) {
    const std::string path = "rozizuzi\\bank\\k0" + std::to_string(800 + i) + "_OBJ.tga";
    out.WriteFile(path, DemoBankImage(DemoBank{800 + i, paints[i % 4]}));
  }
  out.WriteFile("rozizuzi\\customMeshes\\demo_door.o3d", BoxMesh(200.0f, 400.0f, 4));
  out.WriteFile("rozizuzi\\customMeshes\\demo_chest.o3d", BoxMesh(120.0f, 120.0f, 6));
  out.WriteFile("rozizuzi\\customMeshes\\demo_cup.o3d", BoxMesh(30.0f, 60.0f, 8));
  out.WriteFile("rozizuzi\\traps\\spikes.o3d", SpikesMesh());
  out.WriteFile("rozizuzi\\traps\\pit.o3d", PitMesh());

  // The document remembers what it saves in the profile: keep that out of the user's.
  const std::string profile =
      (std::filesystem::temp_directory_path() / ("demodata-profile-" + std::to_string(::getpid()) + ".ini")).string();
  platform::SetProfilePath(profile);
  ResetQuestState();
  Quest().library.LoadFolder();
  // The quest keeps the language it was saved in and opens in it: English.
  g_languageTable.SetLanguage(1);
  {
    CKelvarDoc doc;
    doc.SetTitle(kSampleQuestPath);
    doc.OnNewDocument();
    BuildQuest();
    const bool saved = doc.OnSaveDocument(kSampleQuestPath);
    doc.OnCloseDocument();
    if (!saved) throw std::runtime_error("cannot save the sample quest");

    // It must read back as it was written, without a message.
    platform::ScriptedServices boxes;
    if (!doc.OnOpenDocument(kSampleQuestPath) || !boxes.boxes.empty()) {
      throw std::runtime_error("the sample quest does not read back cleanly");
    }
    doc.OnCloseDocument();
  }
  ResetQuestState();
  std::error_code ignored;
  std::filesystem::remove(profile, ignored);
}

#include "tools/demodata/sample_quest.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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
#include "tools/demodata/demo_output.h"
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
GENERIC { KEY { spikes } TYPE { 1 } INDEX { 1 } LABEL { SPIKES } DATA { 3,10 } }
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

// A custom mesh: a box on the ground, in the raw form.
std::vector<std::uint8_t> BoxMesh(float half, float height, std::uint16_t bank) {
  O3dBuilder b;
  b.AddBox({-half, 0.0f, -half}, {half, height, half}, bank, bank);
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
  WalledSquare(*meadow, "grass", "hedge", 25, 25, 38, 38);
  Fill(*meadow, "road", 26, 31, 37, 31);
  Fill(*meadow, "menhir", 30, 28, 30, 28);
  RoomMonster* wolf = NewRoomMonster(meadow->monsters);
  SetField(wolf->name, "wolf");
  wolf->cellX = 100;
  wolf->cellY = 88;
  wolf->rotation = 2;

  CQuestObject* cup = NewQuestObject(q.questObjects);
  SetField(cup->key, "gold_cup");
  SetField(cup->parent, "ITCUP");
  SetField(cup->mesh, "demo_cup");
  Say(cup->name, "Coupe d'or", "Golden cup", "Goldener Becher");
  CQuestObject* letter = NewQuestObject(q.questObjects);
  SetField(letter->key, "old_letter");
  SetField(letter->parent, "ITLETTER");
  letter->isVirtual = 1;
  Say(letter->name, "Vieille lettre", "Old letter", "Alter Brief");
  Say(letter->comment, "La clef est chez le garde.", "The guard keeps the key.", "Der W\xe4" "chter hat den Schl\xfcssel.");
  CQuestObject* key = NewQuestObject(q.questObjects);
  SetField(key->key, "rusty_key");
  SetField(key->parent, "ITKEY");
  key->questFlag = 32;
  Say(key->name, "Cl\xe9 rouill\xe9" "e", "Rusty key", "Rostiger Schl\xfcssel");

  CMonster* guardian = NewMonster(q.monsters);
  SetField(guardian->key, "crypt_wolf");
  SetField(guardian->monsterClass, "wolf");
  guardian->life = 30;
  guardian->damage1 = 2;
  guardian->damage2 = 6;
  Say(guardian->name, "Loup de la crypte", "Crypt wolf", "Gruftwolf");
  guardian->AddInstance();
  CMonster* guard = NewMonster(q.monsters);
  SetField(guard->key, "old_guard");
  SetField(guard->monsterClass, "orc");
  SetField(guard->gift, "rusty_key");
  guard->life = 60;
  guard->damage1 = 3;
  guard->damage2 = 8;
  Say(guard->name, "Vieux garde", "Old guard", "Alter W\xe4" "chter");
  Say(guard->text, "Prends cette cl\xe9.", "Take this key.", "Nimm diesen Schl\xfcssel.");
  guard->AddInstance();

  CMachine* door = CreateMachine(q.machines, kMachineStateMachine, "demo_door", "crypt_door");
  door->FindParam(2)->SetText("rusty_key");
  Say(static_cast<CMachineParamText*>(door->FindParam(3))->value, "Ferm\xe9" "e \xe0 clef.", "Locked.",
      "Verschlossen.");
  door->AddInstance("", 0, 0, nullptr);
  CMachine* chest = CreateMachine(q.machines, kMachineStateMachine, "demo_chest", "treasure");
  chest->FindParam(2)->SetText("gold_cup");
  chest->FindParam(3)->SetText("50");
  chest->FindParam(4)->SetText("locked");
  chest->FindParam(5)->SetText("crypt_wolf");
  chest->AddInstance("", 0, 0, "crypt_door:crypt_door_0");

  // Machine and monster nodes in their rooms on free cells; the rest of the map below.
  Place(NodeOf(kNodeMachine, "crypt_door_0"), 900, 100, 94, 100, 1);
  Place(NodeOf(kNodeMachine, "treasure_0"), 1000, 100, 97, 88);
  Place(NodeOf(kNodeMonster, "crypt_wolf_0"), 1100, 200, 100, 97, 3);
  Place(NodeOf(kNodeMonster, "old_guard_0"), 100, 100, 85, 85);
  Place(NodeOf(kNodeObject, "old_guard_0"), 100, 600, 96, 96);
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
  out.WriteFile("rozizuzi\\k0830_sprite.tga", DemoBankImage(DemoBank{830, "pillar"}));
  const char* paints[] = {"stone", "wall", "grass", "road"};
  for (int i = 0; i < 16; ++i) {
    const std::string path = "rozizuzi\\bank\\k0" + std::to_string(800 + i) + "_OBJ.tga";
    out.WriteFile(path, DemoBankImage(DemoBank{800 + i, paints[i % 4]}));
  }
  out.WriteFile("rozizuzi\\customMeshes\\demo_door.o3d", BoxMesh(200.0f, 400.0f, 4));
  out.WriteFile("rozizuzi\\customMeshes\\demo_chest.o3d", BoxMesh(120.0f, 120.0f, 6));
  out.WriteFile("rozizuzi\\customMeshes\\demo_cup.o3d", BoxMesh(30.0f, 60.0f, 8));

  // The document remembers what it saves in the profile: keep that out of the user's.
  const std::string profile =
      (std::filesystem::temp_directory_path() / ("demodata-profile-" + std::to_string(::getpid()) + ".ini")).string();
  platform::SetProfilePath(profile);
  ResetQuestState();
  Quest().library.LoadFolder();
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

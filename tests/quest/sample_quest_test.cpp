// The demo's sample quest, made through the document's operations, reads
// back and generates a package the game can open.
#include "tools/demodata/sample_quest.h"

#include <gtest/gtest.h>

#include <string>

#include "datafiles/game_data.h"
#include "datafiles/item_object_table.h"
#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "datafiles/mtf_archive.h"
#include "datafiles/trisprite_table.h"
#include "platform/core/trace.h"
#include "doc_fixture.h"
#include "quest/generation_log.h"
#include "quest/machine.h"
#include "quest/mesh_banks.h"
#include "quest/room.h"
#include "render/mesh.h"
#include "render/tga_image.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/texture_banks.h"

namespace {

class SampleQuest : public questtest::DocTest {};

TEST_F(SampleQuest, ReadsBackAndGenerates) {
  ASSERT_TRUE(OpenDemoQuestAsTheEditorStarts());
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(doc.CountItems(), 2 + 3 + 2 + 2);
  ASSERT_NE(Quest().rooms, nullptr);
  EXPECT_STREQ(Quest().rooms->name, "meadow");
  EXPECT_STREQ(Quest().rooms->text.Get(2), "Wiese");

  doc.SetPathName(kSampleQuestPath);
  doc.OnGenerateQuest();
  EXPECT_EQ(GenerationLog(), "");
  EXPECT_TRUE(genUi.reports.empty());
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Congratulation ! Quest Generation competed successfully."});

  ASSERT_EQ(MtfOpenArchive("quest\\demoquest.mtf", 0), 1);
  for (const char* entry : {"data\\customQuest\\_CUST_meadow.cdf", "data\\customQuest\\_CUST_crypt.cdf",
                            "data\\customQuest\\quest0.spt", "data\\customQuest\\demo_door.o3d",
                            "data\\customQuest\\demo_chest.o3d", "data\\customQuest\\demo_cup.o3d",
                            "data\\bankdatabase\\brimvault\\k0830_sprite.tga"}) {
    MtfFilePtr f(MtfOpen(entry, "rb"));
    EXPECT_NE(f, nullptr) << entry;
  }
  const std::string script = dir.Read("data/customQuest/demoquest/quest0.spt");
  EXPECT_NE(script.find("\tENTRANCE { _CUST_meadow }\r\n"), std::string::npos);
  EXPECT_NE(script.find("\t\tGIVE {_CUST_rustykey}\r\n"), std::string::npos);
  EXPECT_NE(script.find("GUARD {_CUST_cryptwolfwolf}"), std::string::npos);

  // Each room exports the same again without the node index generation used.
  for (CRoom* room = Quest().rooms; room; room = room->next) {
    const std::string path = "data/customQuest/demoquest/_CUST_" + std::string(room->name) + ".cdf";
    const std::vector<std::uint8_t> generated = ReadBytes(path);
    ASSERT_FALSE(generated.empty()) << path;
    ASSERT_EQ(room->ExportCdf("_CUST_", "demoquest"), 1);
    EXPECT_EQ(ReadBytes(path), generated) << path;
  }
  EXPECT_EQ(GenerationLog(), "");
}

// Loading as the editor starts, then the quest and what its rooms draw with:
// only what really fails to open may trace; nothing traces an over-read.
TEST_F(SampleQuest, LoadingTheDemoTracesNoOverrun) {
  {
    DemoOutput out;
    AddBlockMeshes(out);
    AddTextureBanks(out);
    AddSampleQuest(out);
    out.Finish();
  }
  MtfCloseAllArchives();
  platform::TraceCapture trace;
  ASSERT_EQ(MountGameArchives(), 1);
  g_trispriteTable.Load();
  g_monsterClassTable.Load();
  g_languageTable.Load();
  g_itemObjectTable.Load();
  CustomMeshBank().Scan("data\\custom\\meshes", "o3d");
  CustomMeshBank().ScanMore("rozizuzi\\customMeshes", "o3d");
  ObjectMeshBank().Scan("rozizuzi\\customMeshes", "o3d");
  EXPECT_GT(Quest().library.LoadFolder("rozizuzi\\stateMachine"), 0);
  ASSERT_TRUE(doc.OnOpenDocument(kSampleQuestPath));
  for (const DemoBlock& block : DemoBlocks()) {
    for (const std::string& path : {EditorBlockPath(block), GameBlockPath(block)}) {
      CMesh mesh;
      EXPECT_EQ(mesh.Load(path.c_str()), 1) << path;
      EXPECT_GT(mesh.FaceCount(), 0) << path;
    }
  }
  for (const DemoBank& bank : DemoBanks()) {
    CTgaImage image;
    EXPECT_EQ(image.Load(DemoBankPath(bank).c_str()), 1) << DemoBankPath(bank);
  }
  EXPECT_EQ(trace.text().find("DEPASSEMENT"), std::string::npos) << trace.text();
  MtfCloseAllArchives();
}

}  // namespace

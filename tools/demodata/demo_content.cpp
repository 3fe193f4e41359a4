#include "tools/demodata/demo_content.h"

#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/demo_skeletons.h"
#include "tools/demodata/game_tables.h"
#include "tools/demodata/sample_quest.h"
#include "tools/demodata/texture_banks.h"

void AddEditorDemo(DemoOutput& out) {
  AddBlockMeshes(out);
  AddTextureBanks(out);
  AddDemoSkeletons(out);
  AddGameTables(out);
  AddSampleQuest(out);
}

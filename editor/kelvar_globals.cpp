#include "editor/kelvar_globals.h"

#include "audio/music_stream.h"
#include "editor/edit_modes.h"
#include "editor/quest_tree_ctrl.h"
#include "quest/generation_log.h"
#include "quest/kelvar_doc.h"
#include "quest/mesh_banks.h"
#include "quest/quest_lists.h"
#include "quest/tile_palette.h"
#include "render/engine_state.h"

namespace kelvar {

bool ConstructGlobals() {
  // The game tables are objects of their own files, made before any of these.
  Engine();                     // rendering state and scratch tables
  Quest();                      // machine library, quest lists, world-map graph, merge staging
  for (int c = 0; c < kTreeCount; ++c) QuestTree(c);  // the left view's trees
  CustomMeshBank();
  ObjectMeshBank();
  MusicStream();                // the music player, stopped and unbound
  MapEditMode();                // the slots of the two edit modes
  GenericMeshBank();
  TilePalette();
  GenerationLog();
  ContextInstanceName();
  MapClick();
  QuestAuthorText();
  QuestInfoText();
  return true;
}

}  // namespace kelvar

#pragma once
// The program's global mesh banks, filled at start-up and read by the room
// export and quest generation.
#include "render/bank_list.h"

// "data\custom\meshes" then "rozizuzi\customMeshes".
CBankList& CustomMeshBank();
// "rozizuzi\customMeshes" alone.
CBankList& ObjectMeshBank();
// The meshes named by the generic trap definitions.
CBankList& GenericMeshBank();

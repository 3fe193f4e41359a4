#pragma once
// The demo's sample quest "demoquest.qst", made through the quest document's
// own operations: state-machine definitions of our own, an outdoor land and
// a dungeon level built from the demo's block sets, quest objects, monsters,
// machines, traps and texts in several languages, with the quest sprite, the
// object textures and two custom meshes that generation copies. Needs the
// demo's block sets (AddBlockMeshes) first.
class DemoOutput;

inline constexpr const char* kSampleQuestPath = "demoquest.qst";

void AddSampleQuest(DemoOutput& out);

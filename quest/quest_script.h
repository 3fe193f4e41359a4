#pragma once
// The texts of the seven quest scripts "quest%d.spt" (one per land) that
// Generate Quest writes: rooms, objects, agents and the machines' code with
// their parameter references substituted. Every line ends with CR LF.
#include <functional>
#include <string>
#include <string_view>

class CMachine;
struct MachineDef;

// Put before every exported key and room file name.
inline constexpr const char* kQuestNamePrefix = "_CUST_";

struct ScriptJob {
  std::string questName;
  std::string prefix = kQuestNamePrefix;
  bool debugMode = true;
  // Called after each object and each monster of script 0.
  std::function<void()> step;
};

// Script `land` (0..6). Script 0 also holds the author and information
// texts, the quest objects (copying their custom meshes into the quest
// folder and marking those with a sprite or mesh as quest objects) and the
// monsters; faults go to the generation log.
std::string QuestScriptText(int land, const ScriptJob& job);

// The machine's code with each "%<n>" replaced by its parameter value as
// its type says; faults go to the generation log.
std::string MachineCodeText(const CMachine& machine, const MachineDef& definition, std::string_view prefix);

// Copies into the quest folder the custom meshes that the machines' FRAME
// values name (those of the editor's own mesh folder).
void CopyMachineMeshes(const std::string& questName);

// Copies with overwriting; a failure (or a name that is no plain file name)
// is logged. True when the copy was made.
bool CopyCustomMesh(std::string_view meshName, const std::string& questName);

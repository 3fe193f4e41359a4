#pragma once
// The pickers the element dialogs call for an origin, a gift, a sprite, a mesh
// or a parameter value. Each is a replaceable function: the program installs
// its picker dialogs, tests install their own. A picker that is not installed
// is not offered (its button is disabled, its parameter type has no editor).
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "datafiles/trisprite_table.h"

struct MachineParamDef;

namespace kelvar {

// Chooses a name, preselecting `current`; nothing on Cancel.
using NamePicker = std::function<std::optional<std::string>(std::string_view current)>;

struct ElementPickers {
  NamePicker itemObject;     // an item object of the game (object origin)
  NamePicker questObject;    // a quest object or item object (gifts, OBJECT values)
  NamePicker objectMesh;     // a mesh of the object-mesh bank
  NamePicker monsterClass;   // a monster class (monster origin)
  NamePicker skeletonClass;  // a monster class; the answer is its skeleton name (SKELNAME values)
  NamePicker questMonster;   // a quest monster or monster class (MONSTER values)
  NamePicker linkedMonster;  // the same, monsters only (the map re-pointing MONSTER values)
  NamePicker frame;          // a mesh of the custom-mesh bank (FRAME values)
  NamePicker sound;          // a sound of the sound table (SOUND values)
  // A choice of the definition's list (LIST values).
  std::function<std::optional<std::string>(const MachineParamDef& definition, std::string_view current)> choice;
  // A cell of the sprite sheet, starting from `current`; nothing on Cancel.
  std::function<std::optional<TrispriteRecord>(const TrispriteRecord& current)> sprite;
};

ElementPickers& Pickers();
// Every picker uninstalled.
void ResetPickers();

}  // namespace kelvar

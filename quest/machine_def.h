#pragma once
// The records of the state-machine library: machine definitions with their
// typed parameters and choice lists, and generic trap definitions.
#include <optional>
#include <string>
#include <string_view>

#include "quest/quest_list.h"

// Parameter types; 0 is a type word the parser did not know.
enum MachineParamType : int {
  kParamNone = 0,
  kParamFrame = 1,
  kParamObject = 2,
  kParamSound = 3,
  kParamInt = 4,
  kParamAlpha = 5,
  kParamSkelFile = 6,
  kParamSkelName = 7,
  kParamSkelAnim = 8,
  kParamEffect = 9,
  kParamMonster = 10,
  kParamText = 11,
  kParamList = 12,
};
inline constexpr int kParamTypeCount = 12;

// Connector bits of MachineParamDef::flags.
inline constexpr int kParamFlagIn = 0x1;
inline constexpr int kParamFlagOut = 0x2;

// The type code of a type word, ignoring case; 0 when unknown.
int ParamTypeFromWord(std::string_view word);

struct ParamChoice {
  ParamChoice* next = nullptr;
  char key[80] = {};
  char label[80] = {};
};

struct MachineParamDef {
  MachineParamDef() = default;
  MachineParamDef(const MachineParamDef&) = delete;
  MachineParamDef& operator=(const MachineParamDef&) = delete;
  ~MachineParamDef() { FreeList(choices); }

  bool IsIn() const { return (flags & kParamFlagIn) != 0; }
  bool IsOut() const { return (flags & kParamFlagOut) != 0; }

  int number = 0;
  int type = kParamNone;
  std::optional<std::string> comment;
  std::optional<std::string> defaultText;
  int display = 0;
  int flags = 0;
  ParamChoice* choices = nullptr;
  MachineParamDef* next = nullptr;
};

struct MachineDef {
  MachineDef() = default;
  MachineDef(const MachineDef&) = delete;
  MachineDef& operator=(const MachineDef&) = delete;
  ~MachineDef() { FreeList(params); }

  // The parameter definition of that number, null when none.
  const MachineParamDef* FindParam(int number) const;

  char key[80] = {};
  MachineDef* next = nullptr;
  MachineParamDef* params = nullptr;
  std::string code;  // the script code; empty when none
  int codeLength = 0;
  std::optional<std::string> comment;
  int paramCount = 0;
};

struct GenericDef {
  GenericDef* next = nullptr;
  int type = 0;
  char key[80] = {};
  std::optional<std::string> mesh;
  int editable = 0;
  char label[32] = {};
  int data[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
  int index = 0;
};

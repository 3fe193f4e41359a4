#pragma once
// A machine of the quest: one state machine of the library, its typed
// parameter values and its placed instances.
#include <string_view>

#include "quest/element_instance.h"
#include "quest/machine_param.h"
#include "quest/quest_list.h"

namespace platform {
class File;
}

inline constexpr int kMachineStateMachine = 1;

class CMachine {
 public:
  CMachine() = default;
  // Takes the instances' nodes off the map, deletes the values, frees the instances.
  ~CMachine();
  CMachine(const CMachine&) = delete;
  CMachine& operator=(const CMachine&) = delete;

  // Name and type key (cut to 79 characters) and kind; a state-machine
  // instance whose definition exists gets one value per typed parameter.
  void Init(int machineKind, std::string_view machineTypeKey, std::string_view machineName);
  // Binds the values to the running library's definition after a load,
  // dropping or resetting those that no longer fit, with a message for each.
  // 1 when a value was dropped for missing from the definition, else 0.
  int CheckAgainstLibrary();
  CMachineParam* FindParam(int paramNumber) const;
  // A new value (with its default) for each parameter of the definition
  // that has none. Returns the number created.
  int CreateMissingValues(const MachineDef& definition);
  // Unlinks and deletes one value, taking its keys and links off the map.
  void DeleteParam(CMachineParam* value);

  // A new instance "<name>_<counter>" at the head of the list, with its nodes.
  // The link text (may be null) goes into the first empty link slot.
  ElementInstance* AddInstance(std::string_view secondName, int value1, int value2, const char* linkText);
  ElementInstance* FindInstance(std::string_view instanceName) const;
  void DeleteInstance(std::string_view instanceName);

  // World-map graph of the instances.
  void CreateInstanceNodes(ElementInstance* instance);
  void LinkAllInstances();
  void RemoveInstanceNodes(ElementInstance* instance);
  void SnapshotPositions();
  void RestorePositions(int dx, int dy);
  void OffsetPositions(int dx, int dy);

  // The ".qst" machine record (throws platform::FileException). Saving takes
  // the instances' position snapshot from the world map first; loading ends
  // with the check against the running library (which may show its messages).
  void Save(platform::File& file);
  void Load(platform::File& file);

  // The library's definition of the type key, or null.
  const MachineDef* Definition() const;
  // The value that names the instances' main nodes: the first FRAME or
  // SKELNAME value shown on the map; null when none.
  CMachineParam* DisplayValue() const;

  CMachine* next = nullptr;
  int kind = 0;
  char name[80] = {};
  char typeKey[80] = {};
  CMachineParam* params = nullptr;
  int paramCount = 0;  // always the length of params
  int instanceCounter = 0;  // only grows
  ElementInstance* instances = nullptr;
};

// A new machine at the head of the list, initialised.
CMachine* CreateMachine(CMachine*& head, int kind, std::string_view typeKey, std::string_view name);
CMachine* FindMachineNamed(CMachine* head, std::string_view machineName);
// Empties every link slot of the quest's machine and monster instances that
// names the machine ("<machine>:<instance>"), when the machine is deleted.
void DropLinksToMachine(std::string_view machineName);

// Brings the machine's nodes in line with its values after an edit.
void SyncMachineGraph(CMachine* machine);

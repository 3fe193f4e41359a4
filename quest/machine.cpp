#include "quest/machine.h"

#include <cstdio>
#include <string>

#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/world_graph.h"

namespace {

constexpr const char* kNoName = "__NONAME__";

// Keys of an instance's chain for one value.
struct ValueKey {
  const CMachineParam* value;
  bool operator()(const GraphKey& k) const { return k.value == value; }
};

bool AnyKey(const GraphKey&) { return true; }

bool IsMainType(int type) { return type == kParamFrame || type == kParamSkelName; }

void ShowBox(const char* format, const char* a, int n, const char* b) {
  char text[512];
  std::snprintf(text, sizeof text, format, a, n, b);
  platform::MessageBox(text, "", platform::kMbOk);
}

// The object node name of a connector value: its text, or one made from the
// machine's name when the text is empty.
std::string ConnectorName(const CMachine& machine, const CMachineParam& value) {
  std::string text = value.GetText();
  if (!text.empty()) return text;
  char made[128];
  std::snprintf(made, sizeof made, (value.Flags() & kParamFlagIn) ? "__%s_IN" : "__%s_OUT", machine.name);
  return made;
}

std::string MonsterNodeName(const CMachineParam& value) {
  std::string text = value.GetText();
  return text.empty() ? std::string(kNoName) : text;
}

// The gift of the quest monster a MONSTER value names, when it names one
// (and not a monster class) that has a gift; else empty.
std::string_view GiftOfNamedMonster(std::string_view monsterName) {
  if (IsMonsterClassName(monsterName)) return {};
  const CMonster* monster = FindMonster(Quest().monsters, monsterName);
  if (!monster || FieldEmpty(monster->gift)) return {};
  return FieldText(monster->gift);
}

CMachineParam* NewValueFor(const MachineParamDef& pd) {
  std::unique_ptr<CMachineParam> value = NewMachineParam(pd.type);
  if (!value) return nullptr;
  value->number = pd.number;
  value->def = &pd;
  if (pd.defaultText) value->SetText(*pd.defaultText);
  return value.release();
}

}  // namespace

CMachine* CreateMachine(CMachine*& head, int kind, std::string_view typeKey, std::string_view name) {
  CMachine* machine = PushHead(head, new CMachine);
  machine->Init(kind, typeKey, name);
  return machine;
}

CMachine* FindMachineNamed(CMachine* head, std::string_view machineName) {
  for (CMachine* m = head; m; m = m->next) {
    if (SameName(m->name, machineName)) return m;
  }
  return nullptr;
}

void DropLinksToMachine(std::string_view machineName) {
  auto drop = [machineName](ElementInstance* instances) {
    for (ElementInstance* i = instances; i; i = i->next) {
      for (auto& link : i->links) {
        const std::string_view text = FieldText(link);
        if (platform::EqualsNoCase(text.substr(0, text.find(':')), machineName)) SetField(link, "");
      }
    }
  };
  for (CMachine* m = Quest().machines; m; m = m->next) drop(m->instances);
  for (CMonster* m = Quest().monsters; m; m = m->next) drop(m->instances);
}

CMachine::~CMachine() {
  while (instances) RemoveInstanceNodes(instances);
  while (params) DeleteParam(params);
}

void CMachine::Init(int machineKind, std::string_view machineTypeKey, std::string_view machineName) {
  while (params) DeleteParam(params);
  SetField(name, machineName);
  SetField(typeKey, machineTypeKey);
  kind = machineKind;
  if (kind != kMachineStateMachine) return;
  const MachineDef* def = Definition();
  if (!def) return;
  for (const MachineParamDef* pd = def->params; pd; pd = pd->next) {
    if (CMachineParam* value = NewValueFor(*pd)) {
      PushHead(params, value);
      ++paramCount;
    }
  }
}

const MachineDef* CMachine::Definition() const { return Quest().library.FindMachine(FieldText(typeKey)); }

CMachineParam* CMachine::FindParam(int paramNumber) const {
  for (CMachineParam* v = params; v; v = v->next) {
    if (v->number == paramNumber) return v;
  }
  return nullptr;
}

CMachineParam* CMachine::DisplayValue() const {
  for (CMachineParam* v = params; v; v = v->next) {
    if (IsMainType(v->type) && v->IsDisplayed()) return v;
  }
  return nullptr;
}

int CMachine::CreateMissingValues(const MachineDef& definition) {
  int created = 0;
  for (const MachineParamDef* pd = definition.params; pd; pd = pd->next) {
    if (FindParam(pd->number)) continue;
    if (CMachineParam* value = NewValueFor(*pd)) {
      PushHead(params, value);
      ++paramCount;
      ++created;
    }
  }
  return created;
}

void CMachine::DeleteParam(CMachineParam* value) {
  for (ElementInstance* i = instances; i; i = i->next) {
    RemoveInstanceKeys(i, ValueKey{value});
    RemoveInstanceLinks(i, [value](const GraphLink& l) { return l.owner == value; });
  }
  if (UnlinkRecord(params, value)) {
    --paramCount;
    delete value;
  }
}

int CMachine::CheckAgainstLibrary() {
  if (kind != kMachineStateMachine) return 0;
  const MachineDef* def = Definition();
  if (!def) {
    char text[512];
    std::snprintf(text, sizeof text, "Error! Machine %s not found. You should erase %s before continuing.", typeKey,
                  name);
    platform::MessageBox(text, "", platform::kMbOk);
    return 0;
  }
  int result = 0;
  for (CMachineParam* value : Each(params)) {
    const MachineParamDef* pd = def->FindParam(value->number);
    if (pd && pd->type == value->type) {
      value->def = pd;
    } else if (pd) {
      ShowBox("Error in %s! Parameter %d of machine %s has a new type. Kelvr has reseted it to default.", name,
              value->number, typeKey);
      DeleteParam(value);
    } else {
      ShowBox("Error in %s! Parameter %d not found in machine %s. Kelvr has deleted this parameter.", name,
              value->number, typeKey);
      DeleteParam(value);
      result = 1;
    }
  }
  CreateMissingValues(*def);
  return result;
}

ElementInstance* CMachine::AddInstance(std::string_view secondName, int value1, int value2, const char* linkText) {
  ElementInstance* instance = NewNamedInstance(instances, name, instanceCounter);
  SetField(instance->name2, secondName);
  instance->value1 = value1;
  instance->value2 = value2;
  if (linkText) instance->AddLink(linkText);
  CreateInstanceNodes(instance);
  return instance;
}

ElementInstance* CMachine::FindInstance(std::string_view instanceName) const {
  return FindInstanceNamed(instances, instanceName);
}

void CMachine::DeleteInstance(std::string_view instanceName) {
  if (ElementInstance* instance = FindInstance(instanceName)) RemoveInstanceNodes(instance);
}

void CMachine::CreateInstanceNodes(ElementInstance* instance) {
  QuestState& q = Quest();
  CMachineParam* main = DisplayValue();
  if (!main) return;

  const MapPoint base = PlacementBase(true);
  const std::string mainName = MonsterNodeName(*main);  // "__NONAME__" when empty
  GraphNode* mainNode = NewGraphNode(q.graphNodes);
  mainNode->Set(main->type == kParamFrame ? kNodeMachine : kNodeSkeleton, mainName, base.x, base.y, this);
  mainNode->AddKey(instance, main, this);

  const MachineDef* def = Definition();
  if (q.view && def && def->comment && !def->comment->empty()) {
    q.view->AddInstanceTooltip(instance, BuildToolText(*def->comment));
  }

  MapPoint in = base;
  MapPoint out = base;
  for (CMachineParam* value = params; value; value = value->next) {
    const int flags = value->Flags();
    if (!(flags & (kParamFlagIn | kParamFlagOut))) continue;
    if (value->type != kParamObject && value->type != kParamMonster) continue;
    const bool isIn = (flags & kParamFlagIn) != 0;
    MapPoint& cursor = isIn ? in : out;
    cursor.y += isIn ? -128 : 128;

    GraphNode* node;
    GraphNode* giftNode = nullptr;
    if (value->type == kParamObject) {
      node = ReuseOrCreateObjectNode(ConnectorName(*this, *value), cursor.x, cursor.y);
      node->AddKey(instance, value, this);
    } else {
      const std::string monsterName = MonsterNodeName(*value);
      node = NewGraphNode(q.graphNodes);
      node->Set(kNodeMonsterParam, monsterName, cursor.x, cursor.y, nullptr);
      node->AddKey(instance, value, this);
      const std::string_view gift = GiftOfNamedMonster(monsterName);
      if (!gift.empty()) {
        out.y += 100;
        giftNode = ReuseOrCreateObjectNode(gift, node->x, out.y);
        giftNode->AddKey(instance, value, this);
      }
    }
    if (isIn) {
      AddInstanceLink(node, mainNode, value, instance, this);
    } else {
      AddInstanceLink(mainNode, node, value, instance, this);
    }
    if (giftNode) AddInstanceLink(node, giftNode, value, instance, this);
    cursor.x += 64;
  }
}

void CMachine::LinkAllInstances() {
  for (ElementInstance* i = instances; i; i = i->next) CreateInstanceNodes(i);
}

void CMachine::RemoveInstanceNodes(ElementInstance* instance) {
  RemoveInstanceKeys(instance, AnyKey);
  RemoveInstanceLinks(instance, [](const GraphLink&) { return true; });
  if (IWorldMapView* view = Quest().view) view->RemoveInstanceTooltip(instance);
  RemoveElementInstance(instances, instance);
}

void CMachine::SnapshotPositions() {
  for (ElementInstance* i = instances; i; i = i->next) {
    i->FreePositions();
    for (GraphNode* n : NodesOfInstanceWhere(i, AnyKey)) {
      // The parameter of the node's first key of this instance.
      const GraphKey* key = nullptr;
      for (const GraphKey* k = n->keys; k && !key; k = k->next) {
        if (k->instance == i) key = k;
      }
      InstancePosition* p = NewInstancePosition(i->positions);
      p->paramNumber = key->value ? key->value->number : 0;
      StoreNodePosition(*p, *n);
    }
  }
}

void CMachine::RestorePositions(int dx, int dy) {
  for (ElementInstance* i = instances; i; i = i->next) {
    for (InstancePosition* p = i->positions; p; p = p->next) {
      const int paramNumber = p->paramNumber;
      for (const GraphKey* k = i->graphKeys; k; k = k->instanceNext) {
        GraphNode* n = k->node;
        if (n->kind != p->nodeType || !k->value || k->value->number != paramNumber) continue;
        RestoreNodePosition(*n, *p, dx, dy);
      }
    }
  }
}

void CMachine::OffsetPositions(int dx, int dy) { OffsetInstancePositions(instances, dx, dy); }

namespace {

// The first node of the list holding a key of the value, through the instances' chains.
GraphNode* FirstNodeOfValue(const CMachine& machine, const CMachineParam* value) {
  GraphNode* first = nullptr;
  for (const ElementInstance* i = machine.instances; i; i = i->next) {
    GraphNode* n = FirstNodeOfInstance(i, 0, ValueKey{value});
    if (n && (!first || n->sequence > first->sequence)) first = n;
  }
  return first;
}

}  // namespace

void SyncMachineGraph(CMachine* machine) {
  // Main nodes follow their value's text.
  for (CMachineParam* value = machine->params; value; value = value->next) {
    if (!IsMainType(value->type) || !value->IsDisplayed()) continue;
    const std::string text = value->GetText();
    if (text.empty()) continue;
    for (const ElementInstance* i = machine->instances; i; i = i->next) {
      for (const GraphKey* k = i->graphKeys; k; k = k->instanceNext) {
        if (k->value == value) k->node->SetName(text);
      }
    }
  }

  const MapPoint base = SyncBase();
  CMachineParam* display = machine->DisplayValue();
  auto mainNodeOf = [&](const ElementInstance* i) -> GraphNode* {
    return display ? FirstNodeOfInstance(i, 0, ValueKey{display}) : nullptr;
  };

  // Object connectors: rename the node in place when only this value uses
  // it, else move the keys to the node of the new name and link again.
  for (CMachineParam* value = machine->params; value; value = value->next) {
    if (value->type != kParamObject) continue;
    const int flags = value->Flags();
    if (!(flags & (kParamFlagIn | kParamFlagOut))) continue;
    const bool isIn = (flags & kParamFlagIn) != 0;
    const std::string wanted = ConnectorName(*machine, *value);
    GraphNode* node = FirstNodeOfValue(*machine, value);
    if (node) {
      if (FieldText(node->name) == wanted) continue;
      const bool onlyThisValue = !NodeHasKey(node, [value](const GraphKey& k) { return k.value != value; });
      if (onlyThisValue && !FirstNodeNamed(wanted, node)) {
        node->SetName(wanted);
        continue;
      }
    }
    for (ElementInstance* i = machine->instances; i; i = i->next) {
      RemoveInstanceKeys(i, ValueKey{value});
      RemoveInstanceLinks(i, [value](const GraphLink& l) { return l.owner == value; });
    }
    for (ElementInstance* i = machine->instances; i; i = i->next) {
      GraphNode* main = mainNodeOf(i);
      if (!main) continue;  // no main node: nothing to connect to
      GraphNode* objectNode = ReuseOrCreateObjectNode(wanted, base.x, base.y);
      objectNode->AddKey(i, value, machine);
      if (isIn) {
        AddInstanceLink(objectNode, main, value, i, machine);
      } else {
        AddInstanceLink(main, objectNode, value, i, machine);
      }
    }
  }

  // Monster connectors: the gift node of the named monster is rebuilt.
  for (CMachineParam* value = machine->params; value; value = value->next) {
    if (value->type != kParamMonster) continue;
    const std::string wanted = MonsterNodeName(*value);
    const DetachedGifts detached = DetachGiftNodes(machine->instances, value);
    if (!(value->Flags() & (kParamFlagIn | kParamFlagOut))) continue;
    for (ElementInstance* i = machine->instances; i; i = i->next) {
      GraphNode* node = FirstNodeOfInstance(i, kNodeMonsterParam, ValueKey{value});
      if (node && FieldText(node->name) != wanted) node->SetName(wanted);
    }
    const std::string_view gift = GiftOfNamedMonster(wanted);
    if (!gift.empty()) AttachGiftNodes(machine->instances, kNodeMonsterParam, value, machine, gift, detached);
  }
}

#include "quest/monster.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/quest_lists.h"
#include "quest/world_graph.h"

namespace {

// Monster keys carry no value; keys and links are found through the
// instance's own chains, so nothing of a machine (or of a staged monster)
// with a like-named instance is ever touched.
bool MonsterKey(const GraphKey& k) { return k.value == nullptr; }

}  // namespace

CMonster* NewMonster(CMonster*& head) { return PushHead(head, new CMonster); }

namespace {

// The quest's monsters by folded key, the first of each key; in use while a MonsterKeyIndex lives.
std::unordered_map<std::string, CMonster*> g_keyIndex;
bool g_keyIndexActive = false;

}  // namespace

MonsterKeyIndex::MonsterKeyIndex() {
  if (g_keyIndexActive) return;  // an outer index serves
  for (CMonster* m = Quest().monsters; m; m = m->next) g_keyIndex.emplace(FoldNodeName(FieldText(m->key)), m);
  g_keyIndexActive = true;
  owner_ = true;
}

MonsterKeyIndex::~MonsterKeyIndex() {
  if (!owner_) return;
  g_keyIndex.clear();
  g_keyIndexActive = false;
}

CMonster* FindMonster(CMonster* head, std::string_view monsterKey) {
  if (g_keyIndexActive && head == Quest().monsters) {
    const auto it = g_keyIndex.find(FoldNodeName(monsterKey));
    return it == g_keyIndex.end() ? nullptr : it->second;
  }
  for (CMonster* m = head; m; m = m->next) {
    if (SameName(m->key, monsterKey)) return m;
  }
  return nullptr;
}

CMonster::~CMonster() {
  while (instances) RemoveInstanceNodes(instances);
}

ElementInstance* CMonster::AddInstance() {
  ElementInstance* instance = NewNamedInstance(instances, key, instanceCounter);
  CreateInstanceNodes(instance);
  return instance;
}

ElementInstance* CMonster::FindInstance(std::string_view instanceName) const {
  return FindInstanceNamed(instances, instanceName);
}

void CMonster::DeleteInstance(std::string_view instanceName) {
  if (ElementInstance* instance = FindInstance(instanceName)) RemoveInstanceNodes(instance);
}

void CMonster::CreateInstanceNodes(ElementInstance* instance) {
  QuestState& q = Quest();
  const MapPoint base = PlacementBase(false);
  GraphNode* node = NewGraphNode(q.graphNodes);
  node->Set(kNodeMonster, FieldText(key), base.x, base.y, this);
  node->AddKey(instance, nullptr, this);
  if (FieldEmpty(gift)) return;
  GraphNode* giftNode = ReuseOrCreateObjectNode(FieldText(gift), base.x, base.y + 100);
  giftNode->AddKey(instance, nullptr, this);
  AddInstanceLink(node, giftNode, nullptr, instance, this);
}

void CMonster::LinkAllInstances() {
  for (ElementInstance* i = instances; i; i = i->next) CreateInstanceNodes(i);
}

void CMonster::RemoveInstanceNodes(ElementInstance* instance) {
  RemoveInstanceKeys(instance, MonsterKey);
  RemoveInstanceLinks(instance, [](const GraphLink&) { return true; });
  RemoveElementInstance(instances, instance);
}

void CMonster::SnapshotPositions() {
  for (ElementInstance* i = instances; i; i = i->next) {
    i->FreePositions();
    for (GraphNode* n : NodesOfInstanceWhere(i, MonsterKey)) {
      InstancePosition* p = NewInstancePosition(i->positions);
      p->paramNumber = 0;
      StoreNodePosition(*p, *n);
    }
  }
}

void CMonster::RestorePositions(int dx, int dy) {
  for (ElementInstance* i = instances; i; i = i->next) {
    const std::vector<GraphNode*> nodes = NodesOfInstanceWhere(i, MonsterKey);
    for (InstancePosition* p = i->positions; p; p = p->next) {
      for (GraphNode* n : nodes) {
        if (n->kind == p->nodeType) RestoreNodePosition(*n, *p, dx, dy);
      }
    }
  }
}

void CMonster::OffsetPositions(int dx, int dy) { OffsetInstancePositions(instances, dx, dy); }

void SyncMonsterGraph(CMonster* monster) {
  // The gift may have changed: take each instance off its gift node.
  const DetachedGifts detached = DetachGiftNodes(monster->instances, nullptr);

  // The key may have changed.
  for (ElementInstance* i = monster->instances; i; i = i->next) {
    GraphNode* node = FirstNodeOfInstance(i, kNodeMonster, MonsterKey);
    if (node && FieldText(node->name) != FieldText(monster->key)) node->SetName(FieldText(monster->key));
  }

  if (!FieldEmpty(monster->gift)) {
    AttachGiftNodes(monster->instances, kNodeMonster, nullptr, monster, FieldText(monster->gift), detached);
  }
}

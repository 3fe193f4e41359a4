#include "quest/world_graph.h"

#include <algorithm>
#include <vector>

#include "datafiles/monster_class_table.h"
#include "quest/machine.h"
#include "quest/machine_param.h"
#include "quest/monster.h"

GraphNode* NewGraphNode(GraphNode*& head) {
  GraphNode* node = PushHead(head, new GraphNode);
  if (&head == &Quest().graphNodes) node->JoinNameIndex();
  return node;
}

GraphNode* FirstNodeNamed(std::string_view name, const GraphNode* except) {
  const auto& index = Quest().nodeNames;
  auto it = index.find(FoldNodeName(name));
  if (it == index.end()) return nullptr;
  GraphNode* first = nullptr;
  for (GraphNode* n : it->second) {
    if (n != except && (!first || n->sequence > first->sequence)) first = n;
  }
  return first;
}

void RemoveGraphNode(GraphNode*& head, GraphNode* node) {
  if (!UnlinkRecord(head, node)) return;
  RemoveLinksWhere([node](const GraphLink& l) { return l.from == node || l.to == node; });
  delete node;
}

GraphLink* AddGraphLink(GraphNode* from, GraphNode* to, CMachineParam* owner, std::string_view name) {
  GraphLink* link = NewGraphLink(Quest().graphLinks);
  link->from = from;
  link->to = to;
  link->owner = owner;
  SetField(link->name, name);
  return link;
}

GraphLink* AddInstanceLink(GraphNode* from, GraphNode* to, CMachineParam* owner, ElementInstance* instance,
                           const void* element) {
  GraphLink* link = AddGraphLink(from, to, owner, FieldText(instance->name));
  link->element = element;
  link->AttachToInstance(instance);
  return link;
}

std::vector<GraphNode*> NodesOfInstance(const ElementInstance* instance, bool (*pred)(const GraphKey&, const void*),
                                        const void* context) {
  std::vector<GraphNode*> nodes;
  for (const GraphKey* k = instance->graphKeys; k; k = k->instanceNext) {
    if (pred(*k, context)) nodes.push_back(k->node);
  }
  std::sort(nodes.begin(), nodes.end(), [](const GraphNode* a, const GraphNode* b) { return a->sequence > b->sequence; });
  nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
  return nodes;
}

namespace {

bool LinkMatches(const GraphLink& l, int kind, const CMachineParam* owner, std::string_view name) {
  return l.owner == owner && SameName(l.name, name) &&
         ((l.from && l.from->kind == kind) || (l.to && l.to->kind == kind));
}

}  // namespace

GraphLink* FindGraphLink(int kind, const CMachineParam* owner, std::string_view name) {
  for (GraphLink* l = Quest().graphLinks; l; l = l->next) {
    if (LinkMatches(*l, kind, owner, name)) return l;
  }
  return nullptr;
}

void RemoveGraphLinks(int kind, const CMachineParam* owner, std::string_view name) {
  RemoveLinksWhere([&](const GraphLink& l) { return LinkMatches(l, kind, owner, name); });
}

GraphNode* FindNodeWithValue(const CMachineParam* value) {
  return FindNodeWithKey(0, [value](const GraphKey& k) { return k.value == value; });
}

void MoveSelectedGraphNodes(int dx, int dy) {
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    if (n->flags & kNodeSelected) {
      n->x += dx;
      n->y += dy;
    }
  }
}

void BuildQuestGraph() {
  QuestState& q = Quest();
  const MonsterKeyIndex monsterKeys;  // machines look up the monsters their values name
  for (CMonster* m = q.monsters; m; m = m->next) m->LinkAllInstances();
  for (CMonster* m = q.monsters; m; m = m->next) m->RestorePositions(0, 0);
  for (CMachine* m = q.machines; m; m = m->next) m->LinkAllInstances();
  for (CMachine* m = q.machines; m; m = m->next) m->RestorePositions(0, 0);
}

void RebuildQuestGraph() {
  FreeGraph();
  BuildQuestGraph();
}

void SyncAllGraphs() {
  QuestState& q = Quest();
  for (CMachine* m = q.machines; m; m = m->next) SyncMachineGraph(m);
  for (CMonster* m = q.monsters; m; m = m->next) SyncMonsterGraph(m);
}

bool RetargetNodeLinks(const GraphNode* node, std::string_view name, int valueType, bool withGifts) {
  if (!node) return false;
  QuestState& q = Quest();
  // Gathered first: nothing of the graph changes until the sync at the end.
  std::vector<CMachineParam*> values;
  std::vector<CMonster*> givers;
  for (const GraphLink* l = q.graphLinks; l; l = l->next) {
    const GraphNode* other = l->from == node ? l->to : l->to == node ? l->from : nullptr;
    if (!other) continue;
    if (other->kind == kNodeMachine || other->kind == kNodeSkeleton) {
      if (l->owner && l->owner->type == valueType) values.push_back(l->owner);
    } else if (withGifts && (other->kind == kNodeMonsterParam || other->kind == kNodeMonster) &&
               !IsMonsterClassName(other->name)) {
      if (CMonster* m = FindMonster(q.monsters, other->name)) givers.push_back(m);
    }
  }
  bool changed = false;
  for (CMachineParam* v : values) {
    if (v->GetText() == name) continue;
    v->SetText(name);
    changed = true;
  }
  for (CMonster* m : givers) {
    if (FieldText(m->gift) == name) continue;
    SetField(m->gift, name);
    changed = true;
  }
  if (changed) SyncAllGraphs();
  return changed;
}

MapPoint PlacementBase(bool forMachine) {
  IWorldMapView* view = Quest().view;
  MapRect rect;
  if (!view || !view->GetViewRect(rect)) return {128, 128};
  int cx = 0;
  int cy = 0;
  if (view->TakeClickPoint(cx, cy)) return {rect.left + cx, rect.top + cy};
  if (forMachine) return {rect.left + 128, rect.top + 128};
  return {rect.left, rect.top};
}

MapPoint SyncBase() {
  IWorldMapView* view = Quest().view;
  MapRect rect;
  if (!view || !view->GetViewRect(rect)) return {128, 128};
  return {rect.left, rect.top};
}

GraphNode* ReuseOrCreateObjectNode(std::string_view name, int x, int y) {
  GraphNode* first = FirstNodeNamed(name);
  if (first && first->kind == kNodeObject) return first;
  GraphNode* node = NewGraphNode(Quest().graphNodes);
  node->Set(kNodeObject, name, x, y, nullptr);
  return node;
}

std::string BuildToolText(std::string_view comment) {
  std::string text;
  text.reserve(comment.size());
  bool pendingSpace = false;
  for (char c : comment) {
    // Bytes 128 to 255 are letters of the game's code page, not control characters.
    if (static_cast<unsigned char>(c) < 32) {
      pendingSpace = true;
      continue;
    }
    if (pendingSpace) text += ' ';
    pendingSpace = false;
    text += c;
  }
  return text;
}

bool IsMonsterClassName(std::string_view name) { return g_monsterClassTable.Find(name) >= 0; }

DetachedGifts DetachGiftNodes(ElementInstance* instances, CMachineParam* value) {
  DetachedGifts detached;
  auto ofValue = [value](const GraphKey& k) { return k.value == value; };
  for (ElementInstance* i = instances; i; i = i->next) {
    GraphNode* giftNode = FirstNodeOfInstance(i, kNodeObject, ofValue);
    if (!giftNode) continue;
    RemoveInstanceLinks(i, [value](const GraphLink& l) {
      return l.owner == value && ((l.from && l.from->kind == kNodeObject) || (l.to && l.to->kind == kNodeObject));
    });
    detached.at = {giftNode->x, giftNode->y};
    if (RemoveKeysFromNode(giftNode, [i, value](const GraphKey& k) { return k.instance == i && k.value == value; })) {
      detached.nodeRemoved = true;
    }
  }
  return detached;
}

void AttachGiftNodes(ElementInstance* instances, int monsterKind, CMachineParam* value, const void* element,
                     std::string_view gift, const DetachedGifts& detached) {
  const MapPoint base = SyncBase();
  for (ElementInstance* i = instances; i; i = i->next) {
    GraphNode* node = FirstNodeOfInstance(i, monsterKind, [value](const GraphKey& k) { return k.value == value; });
    if (!node) continue;  // no monster node: nothing to connect to
    GraphNode* giftNode = ReuseOrCreateObjectNode(gift, base.x, base.y);
    if (detached.nodeRemoved) {
      giftNode->x = detached.at.x;
      giftNode->y = detached.at.y;
    }
    giftNode->AddKey(i, value, element);
    AddInstanceLink(node, giftNode, value, i, element);
  }
}
